// The failure line for a game file that could not be used: which file, as the player finds it, and why.
#include "platform/file_failure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/failure.h"
#include "platform/file.h"
#include "platform/file_roots.h"

namespace {
// Why a file that failed to load could not be used, judged from a fresh attempt to open it.
std::string FileProblem(const char* gamePath) {
    // Opened, a folder reads as nothing at all on some systems and is refused as forbidden on others.
    const std::string native = PlatformNativePath(gamePath);
    std::error_code notThere;
    if (!native.empty() &&
        std::filesystem::is_directory(std::u8string(native.begin(), native.end()), notThere))
        return "it is a folder, not a file";
    const std::filesystem::file_type type =
        native.empty() ? std::filesystem::file_type::none
                       : std::filesystem::status(std::u8string(native.begin(), native.end()), notThere).type();
    if (type == std::filesystem::file_type::fifo) return "it is a pipe, not a file";
    if (type == std::filesystem::file_type::socket) return "it is a socket, not a file";
    errno = 0;
    // Opened as the game opens it: on Windows a narrow name would be read in the local code page.
    FILE* file = PlatformOpenFile(gamePath, "rb");
    if (file) {
        std::fclose(file);
        return "the file is damaged or not the kind of file the game needs";
    }
    // An empty name is refused before any attempt, which leaves errno alone.
    const int error = errno ? errno : ENOENT;
    if (error == ENOENT || error == ENOTDIR) {
        std::error_code ignored;
        const std::u8string folderName = std::filesystem::current_path(ignored).u8string();
        const std::string folder(folderName.begin(), folderName.end());
        // The usual cause is starting the game from another folder than the one holding its files.
        if (!fileRoots.installedFolder.empty())
            return "the file is missing (the game looks for it in the folder it was started from, " + folder +
                   ", and in the installed game's folder, " + fileRoots.installedFolder + ")";
        return "the file is missing (the game looks for it in the folder it was started from, " + folder +
               ")";
    }
    if (error == EACCES || error == EPERM) return "permission to read the file is refused";
    return std::strerror(error);
}
} // namespace

void NoteFileFailure(const char* what, const char* gamePath) {
    // A knock-on failure would not be kept anyway: the file is not even looked at again.
    if (NotedFailure()) return;
    // Named the same way everywhere, with forward slashes, which Windows accepts too.
    std::string path = gamePath ? gamePath : "";
    for (char& c : path)
        if (c == '\\') c = '/';
    NoteFailure(
        ("cannot read " + std::string(what ? what : "the file") + " " + path + ": " + FileProblem(gamePath))
            .c_str());
}
