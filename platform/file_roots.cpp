// Where the game's files live: its working directory, or an installed game's folders and the player's home.
#include "platform/file_roots.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#if defined(__linux__)
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

FileRoots fileRoots;

namespace {
constexpr const char* GAME_FOLDER = "quillmarsh";
constexpr const char* SCREENSHOT_SUBFOLDER = "Quillmarsh";

bool IsFolder(const std::string& path) {
    std::error_code ignored;
    return !path.empty() && fs::is_directory(fs::path(path), ignored);
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The XDG rule: a variable that is unset, empty or not an absolute path is ignored.
std::string XdgFolder(const char* value, const std::string& home, const char* fallback) {
    if (value && value[0] == '/') return WithoutTrailingSlash(value);
    return home + "/" + fallback;
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string();
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

bool HoldsAssetTree(const std::string& folder) {
    const std::string base = folder.empty() ? std::string(".") : folder;
    return IsFolder(base + "/bmp") && IsFolder(base + "/wave") && IsFolder(base + "/data");
}

std::string PicturesFolderFromUserDirs(const std::string& text, const std::string& home) {
    std::string found;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        line.erase(0, first);
        const std::string key = "XDG_PICTURES_DIR=\"";
        if (line.compare(0, key.size(), key) != 0) continue;
        const size_t close = line.find('"', key.size());
        if (close == std::string::npos) continue;
        const std::string value = line.substr(key.size(), close - key.size());
        // The file's own format: a path under $HOME or an absolute one; anything else is not a folder.
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
            found = WithoutTrailingSlash(home + value.substr(5));
        else if (!value.empty() && value[0] == '/')
            found = WithoutTrailingSlash(value);
    }
    return found;
}

bool ChooseFileRoots(const FileRootsQuery& query, FileRoots* roots, std::string* why) {
    *roots = FileRoots{};
    if (HoldsAssetTree(query.workingFolder)) return true;
    roots->installedFolder = query.installedFolder;
    if (query.installedFolder.empty() || !HoldsAssetTree(query.installedFolder)) return true;

    const std::string home = WithoutTrailingSlash(query.home ? query.home : "");
    if (home.empty() || home[0] != '/') {
        *roots = FileRoots{};
        *why = "there is no home folder to keep the record and settings in (HOME is not set to a folder)";
        return false;
    }
    const std::string config = XdgFolder(query.xdgConfigHome, home, ".config");
    const std::string data = XdgFolder(query.xdgDataHome, home, ".local/share");
    std::string pictures = PicturesFolderFromUserDirs(ReadSmallFile(config + "/user-dirs.dirs"), home);
    if (pictures.empty()) pictures = home + "/Pictures";

    roots->assets = WithoutTrailingSlash(query.installedFolder);
    roots->settings = config + "/" + GAME_FOLDER;
    roots->userData = data + "/" + GAME_FOLDER;
    roots->screenshots = pictures + "/" + SCREENSHOT_SUBFOLDER;
    return true;
}

std::string RootedGamePath(const std::string& gamePath) {
    std::string path = gamePath;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || path[0] == '/') return gamePath;
    const size_t slash = path.find('/');
    const std::string first = path.substr(0, slash);
    const std::string rest = slash == std::string::npos ? std::string() : path.substr(slash);
    const std::string* root = nullptr;
    if (first == "bmp" || first == "wave" || first == "data")
        root = &fileRoots.assets;
    else if (first == "Setting.ini" && rest.empty())
        root = &fileRoots.settings;
    else if (first == "user_data")
        root = &fileRoots.userData;
    else if (first == "screenshots")
        return fileRoots.screenshots.empty() ? gamePath : fileRoots.screenshots + rest;
    if (!root || root->empty()) return gamePath;
    return *root + "/" + path;
}

bool PlatformChooseFileRoots(const char* dataFromExecutable, std::string* why) {
    FileRootsQuery query;
    std::error_code error;
    query.workingFolder = fs::current_path(error).string();
    std::string home;
#if defined(__linux__)
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error && dataFromExecutable && *dataFromExecutable)
        query.installedFolder = (executable.parent_path() / dataFromExecutable).lexically_normal().string();
    const char* fromEnvironment = std::getenv("HOME");
    if (fromEnvironment && *fromEnvironment) {
        home = fromEnvironment;
    } else if (const passwd* user = getpwuid(getuid())) {
        // A session without HOME (a service, env -i) still belongs to someone.
        if (user->pw_dir) home = user->pw_dir;
    }
#else
    (void)dataFromExecutable;
#endif
    query.home = home.empty() ? nullptr : home.c_str();
    query.xdgConfigHome = std::getenv("XDG_CONFIG_HOME");
    query.xdgDataHome = std::getenv("XDG_DATA_HOME");
    return ChooseFileRoots(query, &fileRoots, why);
}
