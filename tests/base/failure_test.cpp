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
