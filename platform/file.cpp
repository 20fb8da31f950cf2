// Opening the game's files by their game-style relative paths.
#include "platform/file.h"
// Before <windows.h>: its macros would rewrite the message and box constants this declares.
#include "platform/backend.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/file_roots.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
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

// A pipe or socket in a file's place would hold a read open until some other program wrote to it, so the
// game would hang at start; opened without waiting, it is turned away (errno ENXIO) and anything else is
// read as before.
FILE* OpenForReading(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) {
        ::close(fd);
        errno = ENXIO;
        return nullptr;
    }
    const int flags = fcntl(fd, F_GETFL);
    FILE* file = flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ? nullptr : fdopen(fd, "rb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
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

// A file's name as the player finds it on disk, with forward slashes (which Windows accepts too).
std::string Shown(const std::string& gamePath) {
    std::string path = gamePath;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// Why a step of writing failed, in plain words where the usual causes have them.
std::string Reason(const std::error_code& error) {
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
        return "permission to write there is refused";
    if (error == std::errc::no_space_on_device) return "the disk is full";
    if (error == std::errc::read_only_file_system) return "the disk is read-only";
    return error.message();
}

std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}

bool WriteThroughTemporary(const char* gamePath, const void* bytes, size_t size, std::string* why) {
    if (!gamePath || !*gamePath) {
        *why = "the file has no name";
        return false;
    }
    // Named where it really is: an installed game keeps it in the player's home.
    const std::string shown = Shown(PlatformNativePath(gamePath));
    const std::string shownTemporary = shown + ".tmp";
    fs::path target;
    // Renamed over, a device or a link would be gone; a folder could not be anyway.
    if (!ReplacedPath(NativeFsPath(PlatformNativePath(gamePath)), &target, why)) return false;
    const fs::path folder = target.parent_path();
    std::error_code error;
    if (!folder.empty()) {
        const std::string shownFolder = shown.substr(0, shown.rfind('/'));
        if (fs::exists(folder, error) && !fs::is_directory(folder, error)) {
            *why = shownFolder + " is a file, not a folder";
            return false;
        }
        fs::create_directories(folder, error);
        if (error) {
            *why = "cannot make the folder " + shownFolder + ": " + Reason(error);
            return false;
        }
    }
    fs::path temporary = target;
    temporary += ".tmp";
    errno = 0;
    FILE* file = OpenNative(temporary, "wb");
    if (!file) {
        const std::error_code openError = LastError();
        // Not ours to remove, whatever it is.
        *why = fs::is_directory(temporary, error)
                   ? shownTemporary + " is a folder"
                   : "cannot write " + shownTemporary + ": " + Reason(openError);
        return false;
    }
    errno = 0;
    bool written = std::fwrite(bytes, 1, size, file) == size && std::fflush(file) == 0 && SyncFile(file);
    std::error_code writeError = LastError();
    const bool closed = std::fclose(file) == 0;
    if (written && !closed) writeError = LastError();
    written = closed && written;
    if (!written) {
        *why = "cannot write " + shownTemporary + ": " + Reason(writeError);
    } else {
        fs::rename(temporary, target, error);
        written = !error;
        if (!written) *why = "cannot put " + shownTemporary + " in place of " + shown + ": " + Reason(error);
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
} // namespace

std::string PlatformReplaceRefusal(const char* gamePath) {
    if (!gamePath || !*gamePath) return "the name is empty";
    fs::path real;
    std::string refusal;
    ReplacedPath(NativeFsPath(PlatformNativePath(gamePath)), &real, &refusal);
    return refusal;
}

std::string PlatformNativePath(const char* gamePath) {
    std::string path = RootedGamePath(gamePath ? gamePath : "");
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
    return PlatformOpenNative(PlatformNativePath(gamePath), mode);
}

FILE* PlatformOpenNative(const std::string& native, const char* mode) {
    const fs::path path = NativeFsPath(native);
#if !defined(_WIN32)
    if (mode && (std::string(mode) == "rb" || std::string(mode) == "r")) return OpenForReading(path);
#endif
    return OpenNative(path, mode);
}

bool PlatformReplaceFile(const char* gamePath, const void* bytes, size_t size, std::string* why) {
    std::string reason;
    const bool replaced = WriteThroughTemporary(gamePath, bytes, size, &reason);
    if (why) *why = replaced ? std::string() : reason;
    return replaced;
}
