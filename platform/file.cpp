// Opening the game's files by their game-style relative paths.
#include "platform/file.h"

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
