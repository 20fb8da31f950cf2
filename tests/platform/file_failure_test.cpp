// The failure line for a game file: named as the player finds it, with why it could not be used.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "base/failure.h"
#include "platform/file.h"
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

#if !defined(_WIN32)
// A pipe in a file's place would hold the game at start until another program wrote to it.
TEST_F(FileFailure, APipeInAFilesPlaceIsTurnedAwayAtOnceWhileDevicesAndFilesStillOpen) {
    std::filesystem::create_directories("data");
    ASSERT_EQ(mkfifo("data/ステージ３.bgd", 0600), 0);
    errno = 0;
    EXPECT_EQ(PlatformOpenFile("data\\ステージ３.bgd", "rb"), nullptr);
    EXPECT_EQ(errno, ENXIO);
    NoteFileFailure("the stage file", "data\\ステージ３.bgd");
    EXPECT_STREQ(NotedFailure(), "cannot read the stage file data/ステージ３.bgd: it is a pipe, not a file");

    // Read back whole once opened: the open without waiting must not leave the file non-blocking or cut.
    WriteFileBytes("data\\ステージ４.bgd", {4, 0, 9});
    FILE* file = PlatformOpenFile("data\\ステージ４.bgd", "rb");
    ASSERT_NE(file, nullptr);
    unsigned char bytes[4] = {};
    EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, file), 3u);
    EXPECT_EQ(bytes[0] * 100 + bytes[1] * 10 + bytes[2], 409);
    std::fclose(file);

    // A device is read as before (every reader caps what it takes from one).
    if (std::filesystem::exists("/dev/zero")) {
        std::filesystem::create_symlink("/dev/zero", "zero.bgd");
        file = PlatformOpenFile("zero.bgd", "rb");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(std::fread(bytes, 1, 2, file), 2u);
        std::fclose(file);
    }
}
#endif
