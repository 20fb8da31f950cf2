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

// What is at the path, in words, when it is not a plain file (empty when it is one or nothing is there).
std::string SpecialKind(fs::file_type type) {
    switch (type) {
    case fs::file_type::regular:
    case fs::file_type::not_found:
        return std::string();
    case fs::file_type::directory:
        return "a folder";
    case fs::file_type::character:
    case fs::file_type::block:
        return "a device";
    case fs::file_type::fifo:
        return "a pipe";
    case fs::file_type::socket:
        return "a socket";
    default:
        return "not a plain file";
    }
}

// The file a replacement writes: the path itself, or the plain file a link at the path points to.
bool ReplacedPath(const fs::path& target, fs::path* real, std::string* refusal) {
    std::error_code error;
    const fs::file_status own = fs::symlink_status(target, error);
    if (error && own.type() != fs::file_type::not_found) {
        *refusal = "it cannot be looked at: " + error.message();
        return false;
    }
    *real = target;
    if (own.type() != fs::file_type::symlink) {
        const std::string kind = SpecialKind(own.type());
        if (kind.empty()) return true;
        *refusal = "it is " + kind + ", not a plain file";
        return false;
    }
    const fs::file_status pointed = fs::status(target, error);
    if (pointed.type() == fs::file_type::not_found) {
        *refusal = "it is a link to a missing file";
        return false;
    }
    const std::string kind = SpecialKind(pointed.type());
    if (!kind.empty() || error) {
        *refusal = "it is a link to " + (kind.empty() ? std::string("something unreadable") : kind) +
                   ", not to a plain file";
        return false;
    }
    *real = fs::canonical(target, error);
    if (error) {
        *refusal = "it is a link that cannot be followed: " + error.message();
        return false;
    }
    return true;
}
} // namespace

std::string PlatformReplaceRefusal(const char* gamePath) {
    if (!gamePath || !*gamePath) return "the name is empty";
    fs::path real;
    std::string refusal;
    ReplacedPath(NativeFsPath(PlatformNativePath(gamePath)), &real, &refusal);
    return refusal;
}

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
    fs::path target;
    std::string refusal;
    // Renamed over, a device or a link would be gone; a folder could not be anyway.
    if (!ReplacedPath(NativeFsPath(PlatformNativePath(gamePath)), &target, &refusal)) return false;
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
