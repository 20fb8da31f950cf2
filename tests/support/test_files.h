// Helpers for tests: temporary working folders and small hand-made BMP files.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh folder that becomes the working directory for the test's lifetime; the old one comes back after.
struct ScopedWorkDir {
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;
    std::filesystem::path path;
    std::filesystem::path previous;
};

struct BmpOptions {
    bool topDown = false;     // store rows top-down (negative height)
    int32_t colorCount = 256; // entries in the colour table (0 writes the field as 0 = all 256)
    int32_t bitCount = 8;
    int32_t compression = 0;
};

// An 8-bit BMP of width x height with the given top-down indices; colour i is (r, g, b) = (i, 255 - i, i / 2)
// unless a table is given (blue, green, red, reserved per entry).
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, const std::vector<uint8_t>& pixels,
                             const BmpOptions& options = {}, const std::vector<uint8_t>& table = {});
// Writes bytes to a game-style path (backslashes allowed), creating folders.
void WriteFileBytes(const std::string& gamePath, const std::vector<uint8_t>& bytes);
// A file path from its UTF-8 name, the same characters on every platform and code page.
std::filesystem::path Utf8Path(const std::string& name);
// The path's name as UTF-8 text, as Utf8Path takes it.
std::string Utf8Name(const std::filesystem::path& path);
// Indices 0, 1, 2, ... wrapping at 256, row after row.
std::vector<uint8_t> RampPixels(int32_t width, int32_t height);
// The minimum a start-up and the title's first frame need: the text sheet, the palette (parts) sheet, the
// title picture, a blend table and the sound effects.
void WriteStartupAssets();
