// The game's own generated asset tree for tests that play on it, made at most once per test program.
#include "tests/support/generated_assets.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "tools/assets/make_assets.h"

namespace fs = std::filesystem;

namespace {
// Taken before any test moves into a folder of its own.
const fs::path startFolder = fs::current_path();

constexpr const char* TREE_FOLDERS[] = {"bmp", "data", "wave"};

// A tree made here, removed when the program ends.
struct MadeTree {
    fs::path path;
    ~MadeTree() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
};

// Making the tree writes every file durably (synced to disk), which is slow; copying it is not.
const fs::path* Tree(std::string* error) {
    static MadeTree made;
    static bool tried = false;
    static bool ready = false;
    static fs::path tree;
    if (!tried) {
        tried = true;
        std::error_code ec;
        // The build lays its tree out beside the test program and marks it done with assets.stamp.
        if (fs::exists(startFolder / "assets.stamp", ec)) {
            tree = startFolder;
            ready = true;
        } else {
            made.path = fs::temp_directory_path() / ("quillmarsh-assets-" + std::to_string(getpid()));
            fs::remove_all(made.path, ec);
            fs::create_directories(made.path, ec);
            ready = !ec && assets::MakeAssets(made.path.string(), error);
            tree = made.path;
        }
    }
    if (!ready && error->empty()) *error = "the generated asset tree could not be made";
    return ready ? &tree : nullptr;
}
} // namespace

bool CopyGeneratedAssets(std::string* error) {
    const fs::path* tree = Tree(error);
    if (!tree) return false;
    for (const char* folder : TREE_FOLDERS) {
        std::error_code ec;
        fs::copy(*tree / folder, fs::current_path() / folder,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        if (ec) {
            *error = "cannot copy " + (*tree / folder).string() + ": " + ec.message();
            return false;
        }
    }
    // As the tool lays it out: the record's folder is there, empty.
    std::error_code ec;
    fs::create_directories(fs::current_path() / "user_data", ec);
    return true;
}
