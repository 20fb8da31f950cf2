// Opening the game's files by their game-style relative paths.
#include "platform/file.h"
// Before <windows.h>: its macros would rewrite the message and box constants this declares.
#include "platform/backend.h"

#include <filesystem>
#include <string>
#include <system_error>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
bool SyncFile(FILE* file) {
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// Makes a rename inside the folder durable too; where folders cannot be synced this is a no-op.
void SyncFolder(const fs::path& folder) {
#if !defined(_WIN32)
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
#else
    (void)folder;
#endif
}
#if defined(_WIN32)
// The game's names are UTF-8; the narrow Windows functions would read them in the local code page.
std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

fs::path NativeFsPath(const std::string& native) {
    return fs::path(Wide(native));
}

FILE* OpenNative(const fs::path& path, const char* mode) {
    return _wfopen(path.c_str(), Wide(mode).c_str());
}
#else
fs::path NativeFsPath(const std::string& native) {
    return fs::path(native);
}

FILE* OpenNative(const fs::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}
#endif
} // namespace

std::string PlatformNativePath(const char* gamePath) {
    std::string path = gamePath ? gamePath : "";
#if defined(_WIN32)
    // Windows takes either separator; '\\' is its own.
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
#else
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
#endif
    return path;
}

FILE* PlatformOpenFile(const char* gamePath, const char* mode) {
    if (!gamePath || !*gamePath) return nullptr;
    return OpenNative(NativeFsPath(PlatformNativePath(gamePath)), mode);
}

bool PlatformReplaceFile(const char* gamePath, const void* bytes, size_t size) {
    if (!gamePath || !*gamePath) return false;
    const fs::path target = NativeFsPath(PlatformNativePath(gamePath));
    const fs::path folder = target.parent_path();
    std::error_code error;
    if (!folder.empty()) {
        fs::create_directories(folder, error);
        if (error) return false;
    }
    fs::path temporary = target;
    temporary += ".tmp";
    FILE* file = OpenNative(temporary, "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes, 1, size, file) == size && std::fflush(file) == 0 && SyncFile(file);
    written = std::fclose(file) == 0 && written;
    if (written) {
        fs::rename(temporary, target, error);
        written = !error;
    }
    if (!written) {
        fs::remove(temporary, error);
        return false;
    }
    SyncFolder(folder);
    // As UTF-8: a narrow string() would need the Windows code page to hold every character.
    const std::u8string written8 = target.u8string();
    BackendFileReplaced(reinterpret_cast<const char*>(written8.c_str()));
    return true;
}
