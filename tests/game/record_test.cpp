// The record file: reading whole records only, and replacing it without ever losing the old one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/asset_paths.h"
#include "base/failure.h"
#include "game/game_vars.h"
#include "game/record.h"
#include "game/title_scene.h"
#include "tests/support/game_fixture.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {
class RecordFile : public testing::Test {
  protected:
    void SetUp() override { ResetGameProcess(); }
    void TearDown() override { ResetGameProcess(); }
    static std::vector<uint8_t> Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static std::vector<std::string> FolderEntries() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator("user_data"))
            names.push_back(entry.path().filename().string());
        return names;
    }
    ScopedWorkDir dir;
};

const fs::path RECORD = "user_data/Record.dat";
const std::vector<uint8_t> OLD = {0x2A, 0x01, 0x00, 0x00}; // 298
} // namespace

TEST_F(RecordFile, ReadsOneLittleEndianIntegerFromAWholeRecord) {
    struct Case {
        std::vector<uint8_t> bytes;
        bool read;
        int32_t value;
    };
    const Case cases[] = {
        {{0x2A, 0x01, 0x00, 0x00}, true, 298},
        {{0xFE, 0xFF, 0xFF, 0xFF}, true, -2},
        {{0x07, 0x00, 0x00, 0x00, 0x09}, true, 7}, // only the first four bytes count
        {{0x05, 0x00, 0x00}, false, 77},           // cut short: no record at all
        {{}, false, 77},
    };
    for (const Case& c : cases) {
        WriteFileBytes(ASSET_RECORD, c.bytes);
        bestRecord = 77;
        SCOPED_TRACE(c.bytes.size());
        EXPECT_EQ(LoadRecord(ASSET_RECORD), c.read);
        EXPECT_EQ(bestRecord, c.value);
    }
    fs::remove(RECORD);
    bestRecord = 77;
    EXPECT_FALSE(LoadRecord(ASSET_RECORD));
    EXPECT_EQ(bestRecord, 77);
}

TEST_F(RecordFile, WritesStagesClearedOnlyWhenTheyBeatTheRecord) {
    WriteFileBytes(ASSET_RECORD, OLD);
    stage = 300;
    bestRecord = 300; // equal: not beaten
    EXPECT_TRUE(SaveRecord(ASSET_RECORD));
    EXPECT_EQ(Bytes(RECORD), OLD);
    bestRecord = 301;
    EXPECT_TRUE(SaveRecord(ASSET_RECORD));
    EXPECT_EQ(Bytes(RECORD), OLD);

    bestRecord = 299;
    EXPECT_TRUE(SaveRecord(ASSET_RECORD));
    EXPECT_EQ(Bytes(RECORD), (std::vector<uint8_t>{0x2B, 0x01, 0x00, 0x00}));
    EXPECT_EQ(bestRecord, 299); // the title re-reads the file instead
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Record.dat"});
    EXPECT_TRUE(LoadRecord(ASSET_RECORD));
    EXPECT_EQ(bestRecord, 299);
}

TEST_F(RecordFile, CreatesTheMissingFolder) {
    ASSERT_FALSE(fs::exists("user_data"));
    stage = 4;
    bestRecord = 0;
    EXPECT_TRUE(SaveRecord(ASSET_RECORD));
    EXPECT_EQ(Bytes(RECORD), (std::vector<uint8_t>{3, 0, 0, 0}));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Record.dat"});
}

TEST_F(RecordFile, AFailedWriteKeepsTheOldRecordAndSaysWhyInOneLine) {
    stage = 10;
    bestRecord = 0;
    // A plain file where the folder should be: nothing can be written, whoever runs the game.
    WriteFileBytes("user_data", {1});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveRecord(ASSET_RECORD));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quillmarsh: cannot save the record user_data/Record.dat: user_data is a file, not a folder\n");
    EXPECT_EQ(Bytes("user_data"), std::vector<uint8_t>{1});
    EXPECT_EQ(NotedFailure(), nullptr); // the game goes on: this is no reason to end it
    fs::remove("user_data");

    // A folder in the temporary file's place: it cannot be opened for writing.
    WriteFileBytes(ASSET_RECORD, OLD);
    fs::create_directory("user_data/Record.dat.tmp");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveRecord(ASSET_RECORD));
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "quillmarsh: cannot save the record user_data/Record.dat: user_data/Record.dat.tmp is a folder\n");
    EXPECT_EQ(Bytes(RECORD), OLD);
    EXPECT_TRUE(fs::is_directory("user_data/Record.dat.tmp")); // not ours to remove
    fs::remove("user_data/Record.dat.tmp");

    // Nothing to write says nothing, even where the write would fail.
    WriteFileBytes("elsewhere", {1});
    bestRecord = 10;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(SaveRecord("elsewhere\\Record.dat"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    bestRecord = 0;

    // A disk that fills up while the bytes go out: the open succeeds, the write does not.
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    fs::create_symlink("/dev/full", "user_data/Record.dat.tmp");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveRecord(ASSET_RECORD));
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "quillmarsh: cannot save the record user_data/Record.dat: cannot write user_data/Record.dat.tmp: "
        "the disk is full\n");
    EXPECT_EQ(Bytes(RECORD), OLD);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Record.dat"});
    bestRecord = 77;
    EXPECT_TRUE(LoadRecord(ASSET_RECORD));
    EXPECT_EQ(bestRecord, 298);
}

using TitleRecord = StartedGame;

TEST_F(TitleRecord, TheTitleCountsAMissingOrCutShortRecordAsZero) {
    bestRecord = 77;
    ASSERT_TRUE(LoadTitle());
    EXPECT_EQ(bestRecord, 0);
    WriteFileBytes(ASSET_RECORD, {9, 0, 0});
    bestRecord = 77;
    ASSERT_TRUE(LoadTitle());
    EXPECT_EQ(bestRecord, 0);
    WriteFileBytes(ASSET_RECORD, {9, 0, 0, 0});
    ASSERT_TRUE(LoadTitle());
    EXPECT_EQ(bestRecord, 9);
}
