// Reading 8-bit BMP files: palette indices top-down, and the colour table.
#include "video/bitmap_file.h"

#include <cstdio>
#include <cstring>

#include "platform/file.h"

namespace {
constexpr size_t FILE_HEADER_SIZE = 14;
constexpr int64_t MAX_SIDE = 16384;
constexpr size_t MAX_BITMAP_FILE = 64u << 20;

uint32_t U16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t S32(const uint8_t* p) {
    return static_cast<int32_t>(U32(p));
}
} // namespace

bool DecodeBitmapFile(const uint8_t* bytes, size_t size, BitmapFile* out) {
    if (!bytes || !out || size < FILE_HEADER_SIZE + 4) return false;
    if (bytes[0] != 'B' || bytes[1] != 'M') return false;
    const uint32_t declaredSize = U32(bytes + 2);
    const uint32_t pixelOffset = U32(bytes + 10);
    // Writers disagree on whether the size field is filled in; only one that claims more than exists is
    // wrong.
    if (declaredSize != 0 && declaredSize > size) return false;

    const uint8_t* info = bytes + FILE_HEADER_SIZE;
    const uint32_t infoSize = U32(info);
    int64_t width, height;
    uint32_t planes, bitCount, compression = 0, colorsUsed = 0;
    size_t entrySize;
    if (infoSize == 12) { // the old core header: 16-bit sizes, three-byte colour entries
        if (size < FILE_HEADER_SIZE + 12) return false;
        width = U16(info + 4);
        height = static_cast<int16_t>(U16(info + 6));
        planes = U16(info + 8);
        bitCount = U16(info + 10);
        entrySize = 3;
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 || infoSize == 108 ||
               infoSize == 124) {
        if (size < FILE_HEADER_SIZE + infoSize) return false;
        width = S32(info + 4);
        height = S32(info + 8);
        planes = U16(info + 12);
        bitCount = U16(info + 14);
        compression = U32(info + 16);
        colorsUsed = U32(info + 32);
        entrySize = 4;
    } else {
        return false;
    }
    if (planes != 1 || bitCount != 8 || compression != 0) return false;
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE) return false;
    if (colorsUsed > 256) return false;
    const uint32_t colorCount = colorsUsed == 0 ? 256 : colorsUsed;

    const size_t tableOffset = FILE_HEADER_SIZE + infoSize;
    const size_t tableBytes = colorCount * entrySize;
    // The table may be cut short by the pixels (or the file); what is there is used, the rest is black.
    size_t tableEnd = tableOffset + tableBytes;
    if (pixelOffset < tableOffset) return false;
    if (tableEnd > pixelOffset) tableEnd = pixelOffset;
    if (tableEnd > size) return false;
    const size_t presentEntries = (tableEnd - tableOffset) / entrySize;

    const int64_t stride = ((width * 8 + 31) / 32) * 4;
    if (static_cast<int64_t>(pixelOffset) + stride * height > static_cast<int64_t>(size)) return false;

    out->width = static_cast<int32_t>(width);
    out->height = static_cast<int32_t>(height);
    out->bitsPerPixel = 8;
    std::memset(out->colorTable, 0, sizeof out->colorTable);
    for (size_t i = 0; i < presentEntries; ++i) {
        const uint8_t* e = bytes + tableOffset + i * entrySize;
        out->colorTable[i][0] = e[0];
        out->colorTable[i][1] = e[1];
        out->colorTable[i][2] = e[2];
        out->colorTable[i][3] = entrySize == 4 ? e[3] : 0;
    }
    out->colorCount = static_cast<int32_t>(presentEntries);
    out->pixels.resize(static_cast<size_t>(width * height));
    // Files store rows bottom-up unless the height is negative; surfaces are top-down.
    for (int64_t row = 0; row < height; ++row) {
        const int64_t fileRow = topDown ? row : height - 1 - row;
        std::memcpy(&out->pixels[static_cast<size_t>(row * width)], bytes + pixelOffset + fileRow * stride,
                    static_cast<size_t>(width));
    }
    return true;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes, size_t maxBytes) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (!file) return false;
    bytes->clear();
    uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (got > 0) {
            if (bytes->size() + got > maxBytes) {
                ok = false;
                break;
            }
            bytes->insert(bytes->end(), chunk, chunk + got);
        }
        if (got < sizeof chunk) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    return ok;
}

bool ReadBitmapFile(const char* path, BitmapFile* out) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes, MAX_BITMAP_FILE)) return false;
    return DecodeBitmapFile(bytes.data(), bytes.size(), out);
}
