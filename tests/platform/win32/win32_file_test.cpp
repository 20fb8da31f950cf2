// Windows file names: the game's UTF-8 names reach the disk as the same characters on any code page.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file.h"

namespace fs = std::filesystem;

namespace {
class Win32Files : public ::testing::Test {
  protected:
    void SetUp() override { fs::remove_all(L"win32_file_test"); }
    void TearDown() override { fs::remove_all(L"win32_file_test"); }
};
} // namespace

TEST_F(Win32Files, NativePathUsesBackslashes) {
    EXPECT_EQ(PlatformNativePath("data/ステージ１.bgd"), "data\\ステージ１.bgd");
    EXPECT_EQ(PlatformNativePath("bmp\\a/b"), "bmp\\a\\b");
}

TEST_F(Win32Files, JapaneseNameIsWrittenAndReadAsItsOwnCharacters) {
    const std::vector<uint8_t> bytes{3, 1, 4, 1, 5, 9, 2, 6};
    ASSERT_TRUE(PlatformReplaceFile("win32_file_test\\ステージ９.bgd", bytes.data(), bytes.size()));
    // Exactly one file, named in UTF-16 as the UTF-8 said: not the local code page's reading of the bytes.
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(L"win32_file_test"))
        names.push_back(entry.path().filename().wstring());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], L"ステージ９.bgd");

    for (const char* path : {"win32_file_test\\ステージ９.bgd", "win32_file_test/ステージ９.bgd"}) {
        FILE* file = PlatformOpenFile(path, "rb");
        ASSERT_NE(file, nullptr) << path;
        std::vector<uint8_t> read(16);
        read.resize(std::fread(read.data(), 1, read.size(), file));
        std::fclose(file);
        EXPECT_EQ(read, bytes) << path;
    }
    EXPECT_EQ(PlatformOpenFile("win32_file_test\\ステージ８.bgd", "rb"), nullptr);
}

TEST_F(Win32Files, ReplacingKeepsOneFileWithTheNewBytes) {
    const std::vector<uint8_t> first{1, 2, 3}, second{9, 8, 7, 6, 5};
    ASSERT_TRUE(PlatformReplaceFile("win32_file_test\\記録.dat", first.data(), first.size()));
    ASSERT_TRUE(PlatformReplaceFile("win32_file_test\\記録.dat", second.data(), second.size()));
    EXPECT_EQ(fs::file_size(L"win32_file_test\\記録.dat"), second.size());
    EXPECT_FALSE(fs::exists(L"win32_file_test\\記録.dat.tmp"));
}
