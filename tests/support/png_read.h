// Reading pictures back in tests: the PNG files the game and its tools write, as 8-bit RGB.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct RgbPicture {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb; // red, green, blue per pixel, rows from the top
    const uint8_t* At(uint32_t x, uint32_t y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// The file at a UTF-8 path: through libpng where the build has it, else through DecodePngRgb. False with the
// reason when it cannot be read or decoded.
bool ReadPngRgb(const std::string& path, RgbPicture* out, std::string* why = nullptr);

// A reader over zlib for builds without libpng. It takes what our writers make: 8-bit indexed or RGB
// pixels, no interlace, rows unfiltered, and checks every chunk's checksum. False with the reason otherwise.
bool DecodePngRgb(const std::vector<uint8_t>& file, RgbPicture* out, std::string* why);
