// An in-memory file with a path, for the readers that open files by name: each fuzz input becomes one.
#pragma once
#include <cstddef>
#include <cstdint>

// Replaces the in-memory file's bytes with these and returns a path that opens them (no '\', so a game
// path too). The file lives as long as the process; the path stays the same on every call.
const char* MemoryFilePath(const uint8_t* data, size_t size);

// For a reader with a fixed file name in the working folder: the first call makes a fresh folder in the
// temporary folder with a link named name to the in-memory file (removed when the process ends). Each
// call then enters that folder, and LeaveLinkFolder goes back, so libFuzzer's own relative paths (the
// corpus, the dictionary) keep their meaning. A crash in between writes its input into that folder
// unless -artifact_prefix names another.
void EnterLinkFolder(const char* name);
void LeaveLinkFolder();
