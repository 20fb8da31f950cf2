// The failure line for a game file: named as the player finds it, with why it could not be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/failure.h"
#include "platform/file_failure.h"
#include "tests/support/test_files.h"

namespace {
struct FileFailure : testing::Test {
    void SetUp() override { ClearFailure(); }
    void TearDown() override { ClearFailure(); }
    ScopedWorkDir dir;
};
} // namespace

TEST_F(FileFailure, AFileIsNamedWithSlashesAndWhyItCouldNotBeUsed) {
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

    // A folder where the file should be.
    ClearFailure();
    std::filesystem::create_directories(Utf8Path("data/ステージ２.bgd"));
    NoteFileFailure("the stage file", "data\\ステージ２.bgd");
    EXPECT_STREQ(NotedFailure(),
                 "cannot read the stage file data/ステージ２.bgd: it is a folder, not a file");

    // A path that runs through a file as if it were a folder counts as missing too.
    ClearFailure();
    WriteFileBytes("bmp\\x.bmp", {0});
    NoteFileFailure("the picture", "bmp\\x.bmp\\inner.bmp");
    EXPECT_EQ(std::string(NotedFailure())
                  .rfind("cannot read the picture bmp/x.bmp/inner.bmp: the file is missing", 0),
              0u)
        << NotedFailure();
}
