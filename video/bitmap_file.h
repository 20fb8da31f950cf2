// Reading 8-bit BMP files: palette indices top-down, and the colour table.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct BitmapFile {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
    std::vector<uint8_t> pixels; // width * height indices, top row first
    uint8_t colorTable[256][4];  // blue, green, red, reserved, as stored in the file
    int32_t colorCount;          // entries the file really holds (0..256); the rest are zero
};

// Refuses (false, *out unspecified) anything that is not an uncompressed 8-bit BMP whose headers agree
// with its length; never reads outside the bytes given.
bool DecodeBitmapFile(const uint8_t* bytes, size_t size, BitmapFile* out);
// The same for a file named by its game path; false when it cannot be read.
bool ReadBitmapFile(const char* path, BitmapFile* out);
// The whole file as bytes; false when it cannot be opened or read. Refuses files over maxBytes.
bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes, size_t maxBytes);
