// Laying out the asset tree: the checker passes it, and every run writes the same bytes.
#include "tests/support/test_files.h"
#include "tests/tools/assets/temp_tree.h"
#include "tools/assets/check_assets.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/make_assets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace assets;

TEST(MakeAssets, LaysOutATreeTheCheckerPassesTheSameEveryTime) {
    TempTree first("first"), second("second");
    std::string error;
    ASSERT_TRUE(MakeAssets(first.path.string(), &error)) << error;
    ASSERT_TRUE(MakeAssets(second.path.string(), &error)) << error;
    std::vector<AssetProblem> problems = CheckAssets(first.path.string());
    EXPECT_TRUE(problems.empty()) << Describe(problems);
    EXPECT_TRUE(std::filesystem::is_directory(first.path / "user_data"));
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first.path)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        std::vector<uint8_t> a, b;
        ASSERT_TRUE(ReadBytesFromFile(entry.path().string(), &a));
        ASSERT_TRUE(ReadBytesFromFile(
            (second.path / std::filesystem::relative(entry.path(), first.path)).string(), &b));
        EXPECT_EQ(a, b) << entry.path();
    }
    EXPECT_EQ(files, 8 + 1 + 11 + 5);
}
