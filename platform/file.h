// Opening the game's files by their game-style relative paths.
#pragma once
#include <cstdio>
#include <string>

// Game paths use '\' as the separator; on this platform it becomes '/'.
std::string PlatformNativePath(const char* gamePath);
FILE* PlatformOpenFile(const char* gamePath, const char* mode);
// Writes the whole file through a temporary one beside it, made durable and then renamed over the old
// file, so a crash or power cut part-way leaves the old file whole. A missing folder is created. False,
// with the old file untouched and no temporary left, when any step fails; why, when given, then says
// which file or folder was in the way and what the system said ("user_data is a file, not a folder").
bool PlatformReplaceFile(const char* gamePath, const void* bytes, size_t size, std::string* why = nullptr);
