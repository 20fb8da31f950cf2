// Opening the game's files by their game-style relative paths.
#pragma once
#include <cstdio>
#include <string>

// Game paths use '\' as the separator; on this platform it becomes '/'.
std::string PlatformNativePath(const char* gamePath);
FILE* PlatformOpenFile(const char* gamePath, const char* mode);
