// The failure line: the first reason wins, a file's failure included, and a run with no recorded reason still
// says something useful.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/failure.h"
#include "platform/file_failure.h"
#include "tests/support/test_files.h"

namespace {
struct Failure : testing::Test {
    void SetUp() override { ClearFailure(); }
    void TearDown() override { ClearFailure(); }
    ScopedWorkDir dir;
};
} // namespace

TEST_F(Failure, TheFirstReasonIsKeptAndLaterKnockOnFailuresAreNot) {
    EXPECT_EQ(NotedFailure(), nullptr);
    NoteFailure("");
    EXPECT_EQ(NotedFailure(), nullptr); // an empty reason is no reason
    NoteFailure("no display to show the game on: DISPLAY is not set");
    NoteFailure("no display to show the game on");
    NoteFileFailure("the picture", "bmp\\文字.bmp");
    EXPECT_STREQ(NotedFailure(), "no display to show the game on: DISPLAY is not set");
    EXPECT_STREQ(FailureLine(), "quillmarsh: no display to show the game on: DISPLAY is not set");

    ClearFailure();
    EXPECT_EQ(NotedFailure(), nullptr);
    NoteFailure("cannot read the stage file data/ステージ１.bgd");
    EXPECT_STREQ(NotedFailure(), "cannot read the stage file data/ステージ１.bgd");
}

TEST_F(Failure, WithoutAReasonTheLinePointsAtTheTrace) {
    EXPECT_STREQ(FailureLine(),
                 "quillmarsh: the game stopped because something it needs failed; start it with "
                 "QUILLMARSH_TRACE=1 to see the details");
}

// Bad input in a message: short, and nothing in it a terminal would act on or that would cut the line.
TEST(QuoteInput, ShowsPlainTextAsItIsAndEscapesTheRest) {
    EXPECT_EQ(QuoteInput("lft"), "'lft'");
    EXPECT_EQ(QuoteInput(""), "''");
    EXPECT_EQ(QuoteInput("ステージ"), "'ステージ'"); // UTF-8 stays readable
    EXPECT_EQ(QuoteInput("a\x1b[2Jb"), "'a\\x1B[2Jb'");
    EXPECT_EQ(QuoteInput(std::string("x\0y", 3)), "'x\\x00y'");
    EXPECT_EQ(QuoteInput("\t\r\n\\\x7f"), "'\\t\\r\\n\\\\\\x7F'");
    // Not UTF-8: a lone continuation byte, a cut sequence, an overlong '/', a surrogate, past U+10FFFF,
    // and U+009B (a terminal's control sequence introducer) spelt correctly.
    EXPECT_EQ(QuoteInput("\x80"), "'\\x80'");
    EXPECT_EQ(QuoteInput("\xE3\x82"), "'\\xE3\\x82'");
    EXPECT_EQ(QuoteInput("\xC0\xAF"), "'\\xC0\\xAF'");
    EXPECT_EQ(QuoteInput("\xED\xA0\x80"), "'\\xED\\xA0\\x80'");
    EXPECT_EQ(QuoteInput("\xF4\x90\x80\x80"), "'\\xF4\\x90\\x80\\x80'");
    EXPECT_EQ(QuoteInput("\xC2\x9B"), "'\\xC2\\x9B'");
    // The edges of what is kept: U+00A0, U+FFFF, U+10FFFF.
    EXPECT_EQ(QuoteInput("\xC2\xA0\xEF\xBF\xBF\xF4\x8F\xBF\xBF"), "'\xC2\xA0\xEF\xBF\xBF\xF4\x8F\xBF\xBF'");

    // At most 40 characters, then how long the whole was.
    const std::string forty(QUOTE_MAX_CHARACTERS, 'w');
    EXPECT_EQ(QuoteInput(forty), "'" + forty + "'");
    EXPECT_EQ(QuoteInput(forty + "w"), "'" + forty + "'... (41 bytes)");
    EXPECT_EQ(QuoteInput(std::string(1 << 20, '\x1b')).size(),
              2 + 40 * 4 + std::string("... (1048576 bytes)").size());
    // Characters, not bytes: 41 three-byte characters show 40 of them.
    std::string kana;
    for (int i = 0; i < 41; ++i)
        kana += "ス";
    const std::string shownKana = kana.substr(0, 120);
    EXPECT_EQ(QuoteInput(kana), "'" + shownKana + "'... (123 bytes)");
}

namespace {
std::vector<std::string> said;
void Hear(const char* line) {
    said.push_back(line);
}
} // namespace

TEST_F(Failure, AFailureThatLetsTheGameGoOnIsSaidAtOnceAndNotNoted) {
    testing::internal::CaptureStderr();
    SayFailure("cannot save the record user_data/Record.dat: the disk is full");
    SayFailure(""); // no reason, no line
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quillmarsh: cannot save the record user_data/Record.dat: the disk is full\n");
    EXPECT_EQ(NotedFailure(), nullptr);

    said.clear();
    SetSayFailureSink(Hear);
    testing::internal::CaptureStderr();
    SayFailure("one");
    SayFailure("two");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // the sink has it instead
    SetSayFailureSink(nullptr);
    EXPECT_EQ(said, (std::vector<std::string>{"quillmarsh: one", "quillmarsh: two"}));
}
