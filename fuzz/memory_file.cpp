// An in-memory file with a path, for the readers that open files by name: each fuzz input becomes one.
#include "fuzz/memory_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
int memoryFile = -1;
std::string memoryPath;
std::filesystem::path linkFolder;
int startFolder = -1;

[[noreturn]] void Stop(const char* what) {
    std::perror(what);
    std::abort();
}

void OpenMemoryFile() {
    if (memoryFile >= 0) return;
    memoryFile = memfd_create("quillmarsh-fuzz-input", 0);
    if (memoryFile < 0) Stop("memfd_create");
    memoryPath = "/proc/self/fd/" + std::to_string(memoryFile);
}

void RemoveLinkFolder() {
    std::error_code ignored;
    if (!linkFolder.empty()) std::filesystem::remove_all(linkFolder, ignored);
}
} // namespace

const char* MemoryFilePath(const uint8_t* data, size_t size) {
    OpenMemoryFile();
    // Every open of the path starts a new description at offset 0, so only the contents need replacing.
    if (ftruncate(memoryFile, 0) != 0) Stop("ftruncate");
    size_t written = 0;
    while (written < size) {
        const ssize_t wrote = pwrite(memoryFile, data + written, size - written, static_cast<off_t>(written));
        if (wrote <= 0) Stop("pwrite");
        written += static_cast<size_t>(wrote);
    }
    return memoryPath.c_str();
}

void EnterLinkFolder(const char* name) {
    if (linkFolder.empty()) {
        OpenMemoryFile();
        std::error_code error;
        const std::filesystem::path base = std::filesystem::temp_directory_path(error);
        std::string pattern =
            ((error ? std::filesystem::path("/tmp") : base) / "quillmarsh-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) Stop("mkdtemp");
        linkFolder = pattern;
        std::atexit(RemoveLinkFolder);
        std::filesystem::create_symlink(memoryPath, linkFolder / name, error);
        if (error) Stop("symlink");
        startFolder = open(".", O_RDONLY | O_DIRECTORY);
        if (startFolder < 0) Stop("open .");
    }
    if (chdir(linkFolder.c_str()) != 0) Stop("chdir");
}

void LeaveLinkFolder() {
    if (startFolder >= 0 && fchdir(startFolder) != 0) Stop("fchdir");
}
