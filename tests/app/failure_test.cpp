// The failure line: the first reason wins, files are named as the player finds them, and a run with no
// recorded reason still says something useful.
#include <gtest/gtest.h>

#include <string>

#include "app/failure.h"
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

TEST_F(Failure, AFileIsNamedWithSlashesAndWhyItCouldNotBeUsed) {
    NoteFileFailure("the stage file", "data\\ステージ１.bgd");
    EXPECT_STREQ(NotedFailure(),
                 ("cannot read the stage file data/ステージ１.bgd: the file is missing (the game "
                  "looks for it in the folder it was started from, " +
                  dir.path.string() + ")")
                     .c_str());

    // Present but refused by its reader.
    ClearFailure();
    WriteFileBytes("data\\ステージ１.bgd", {1, 2, 3});
    NoteFileFailure("the stage file", "data\\ステージ１.bgd");
    EXPECT_STREQ(NotedFailure(),
                 "cannot read the stage file data/ステージ１.bgd: the file is damaged or not the "
                 "kind of file the game needs");

    // A path that runs through a file as if it were a folder counts as missing too.
    ClearFailure();
    WriteFileBytes("bmp\\x.bmp", {0});
    NoteFileFailure("the picture", "bmp\\x.bmp\\inner.bmp");
    EXPECT_EQ(std::string(NotedFailure())
                  .rfind("cannot read the picture bmp/x.bmp/inner.bmp: the file is missing", 0),
              0u)
        << NotedFailure();
}

TEST_F(Failure, WithoutAReasonTheLinePointsAtTheTrace) {
    EXPECT_STREQ(FailureLine(),
                 "quillmarsh: the game stopped because something it needs failed; start it with "
                 "QUILLMARSH_TRACE=1 to see the details");
}
