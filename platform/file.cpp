// Opening the game's files by their game-style relative paths.
#include "platform/file.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
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
} // namespace

std::string PlatformNativePath(const char* gamePath) {
    std::string path = gamePath ? gamePath : "";
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

FILE* PlatformOpenFile(const char* gamePath, const char* mode) {
    if (!gamePath || !*gamePath) return nullptr;
    return std::fopen(PlatformNativePath(gamePath).c_str(), mode);
}

bool PlatformReplaceFile(const char* gamePath, const void* bytes, size_t size) {
    if (!gamePath || !*gamePath) return false;
    const fs::path target = PlatformNativePath(gamePath);
    const fs::path folder = target.parent_path();
    std::error_code error;
    if (!folder.empty()) {
        fs::create_directories(folder, error);
        if (error) return false;
    }
    fs::path temporary = target;
    temporary += ".tmp";
    FILE* file = std::fopen(temporary.string().c_str(), "wb");
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
    return true;
}
