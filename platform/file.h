// Opening the game's files by their game-style relative paths.
#pragma once
#include <cstdio>
#include <string>

// Game paths use '\' as the separator; on this platform it becomes '/'. They are relative to the working
// directory, or to the folders an installed game uses (platform/file_roots.h).
std::string PlatformNativePath(const char* gamePath);
// Opened for reading ("rb"), a pipe or socket is refused with errno ENXIO rather than waited on.
FILE* PlatformOpenFile(const char* gamePath, const char* mode);
// The same for a path already in this platform's form, as UTF-8 (the tools' paths).
FILE* PlatformOpenNative(const std::string& native, const char* mode);
// Why the path may not be replaced, or empty when it may: only a plain file (or a link to one) is
// replaced, so a folder, a device or a link to either or to nothing is never touched.
std::string PlatformReplaceRefusal(const char* gamePath);
// Writes the whole file through a temporary one beside it, made durable and then renamed over the old
// file, so a crash or power cut part-way leaves the old file whole. A missing folder is created. False,
// with the old file untouched and no temporary left, when any step fails or the path is refused as above;
// why, when given, then says which file or folder was in the way and what the system said ("user_data is a
// file, not a folder"). A link to a plain file stays a link: the file it points to is replaced.
bool PlatformReplaceFile(const char* gamePath, const void* bytes, size_t size, std::string* why = nullptr);
