// Pictures of the game written as PNG files: screenshots, replays' pictures, whole stages for modders.
#include "platform/png_file.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "base/png_encode.h"
#include "platform/file.h"

bool WriteIndexedPng(const char* path, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                     const PaletteEntry palette[256]) {
    if (!path || !palette) return false;
    // A missing folder fails the write: callers make the folders they want, and a mistyped one is not made.
    const std::string name(path);
    const std::filesystem::path target(std::u8string(name.begin(), name.end()));
    std::error_code error;
    if (target.has_parent_path() && !std::filesystem::is_directory(target.parent_path(), error)) return false;
    uint8_t colours[256 * 3];
    for (int i = 0; i < 256; ++i) {
        colours[i * 3] = palette[i].red;
        colours[i * 3 + 1] = palette[i].green;
        colours[i * 3 + 2] = palette[i].blue;
    }
    std::vector<uint8_t> png;
    if (!EncodeIndexedPng(pixels, width, height, pitch, colours, &png)) return false;
    // Written whole or not at all.
    return PlatformReplaceFile(path, png.data(), png.size());
}
