// A fresh folder for an asset tree under the test's temporary folder, and the checker's findings as text.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "tools/assets/check_assets.h"
#include "tools/assets/make_assets.h"

// A fresh folder under the test's temp dir, removed afterwards.
struct TempTree {
    std::filesystem::path path;
    explicit TempTree(const std::string& name) {
        path = std::filesystem::path(testing::TempDir()) /
               ("quillmarsh_assets_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string File(const char* gamePath) const { return assets::AssetPathIn(path.string(), gamePath); }
};

// One line per problem the checker found, for a failed expectation's message.
inline std::string Describe(const std::vector<assets::AssetProblem>& problems) {
    std::string out;
    for (const assets::AssetProblem& p : problems)
        out += p.file + ": " + p.reason + "\n";
    return out;
}
