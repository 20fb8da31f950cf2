// Half-transparent drawing and smearing through the precomputed blend table.
#include "video/blend.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/file.h"

uint8_t halfBlendTable[HALF_BLEND_TABLE_SIZE] = {};

namespace {
typedef uint8_t ByteBlock __attribute__((vector_size(8)));
typedef int8_t MaskBlock __attribute__((vector_size(8)));
typedef uint16_t IndexBlock __attribute__((vector_size(16)));

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the blend forms its table indices from byte pairs");

inline void BlendPixel(uint8_t* d, uint8_t s, bool keyed, const uint8_t* table) {
    if (!keyed || (s != 0 && *d != 0)) *d = table[*d * 256 + s];
}

// A whole block: the eight table indices are formed together, the eight reads follow, and the keyed
// choice between blended and kept pixels is made for the block at once.
inline void BlendBlock(uint8_t* d, const uint8_t* s, bool keyed, const uint8_t* table) {
    ByteBlock dv, sv;
    std::memcpy(&dv, d, 8);
    std::memcpy(&sv, s, 8);
    // A block of a sprite's transparent surround changes nothing in keyed mode.
    uint64_t spriteBits;
    std::memcpy(&spriteBits, &sv, 8);
    if (keyed && spriteBits == 0) return;
    // Interleaved, the pair (s, d) read as one little-endian 16-bit number is d * 256 + s.
    const auto index = reinterpret_cast<IndexBlock>(
        __builtin_shufflevector(sv, dv, 0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15));
    ByteBlock blended = {table[index[0]], table[index[1]], table[index[2]], table[index[3]],
                         table[index[4]], table[index[5]], table[index[6]], table[index[7]]};
    if (keyed) {
        const ByteBlock live = reinterpret_cast<ByteBlock>(MaskBlock(dv != 0) & MaskBlock(sv != 0));
        blended = (blended & live) | (dv & ~live);
    }
    std::memcpy(d, &blended, 8);
}

// An empty rectangle reads and writes no pixel, so it fits anywhere; one with pixels must lie inside.
bool FitsSurface(int32_t x, int32_t y, int32_t width, int32_t height, const SurfaceDesc& desc) {
    if (width <= 0 || height <= 0) return true;
    return x >= 0 && y >= 0 && x <= desc.width - width && y <= desc.height - height;
}
} // namespace

bool LoadHalfBlendTable(uint8_t* table, const char* path) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (!file) return false;
    // A short file leaves the rest of the table as it was; one that cannot be read at all (a folder, which
    // opens here but not on Windows) is refused like one that cannot be opened.
    (void)std::fread(table, 1, HALF_BLEND_TABLE_SIZE, file);
    const bool unreadable = std::ferror(file) != 0;
    std::fclose(file);
    return !unreadable;
}

bool HalfBlendBlt(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t height, Surface* src,
                  int32_t srcX, int32_t srcY, int32_t mode, const uint8_t* table) {
    SurfaceDesc dd, sd;
    uint8_t *dp, *sp;
    if (!DDLockSurface(dest, &dd, &dp, 8)) return false;
    if (!DDLockSurface(src, &sd, &sp, 8)) {
        DDUnlockSurface(dest);
        return false;
    }
    // The sprite sheet is read unclipped, so a rectangle outside it (a sheet too small for its cells)
    // draws nothing rather than reading past the sheet.
    if (!FitsSurface(srcX, srcY, width, height, sd)) {
        DDUnlockSurface(src);
        DDUnlockSurface(dest);
        return false;
    }
    const bool keyed = mode == BLEND_KEYED;
    const int32_t dw = dd.width, dh = dd.height;
    for (int32_t i = 0; i < height; ++i) {
        const int32_t row = y + i;
        if (row < 0 || row >= dh) continue;
        uint8_t* drow = dp + static_cast<ptrdiff_t>(row) * dd.pitch;
        const uint8_t* srow = sp + static_cast<ptrdiff_t>(srcY + i) * sd.pitch + srcX;
        // Right to left in whole blocks of eight; a width that is not a multiple of 8 leaves its
        // leftmost columns alone.
        for (int32_t c = width - 8; c >= 0; c -= 8) {
            const int32_t X = x + c;
            if (X >= dw) continue;
            if (X < 0) {
                if (X + 7 < 0) continue;
                for (int32_t k = 7; X + k >= 0; --k) {
                    // Only a destination narrower than a block can end inside it on both sides.
                    if (X + k < dw) BlendPixel(drow + X + k, srow[c + k], keyed, table);
                }
            } else if (X + 7 >= dw) {
                for (int32_t k = 0; X + k < dw; ++k)
                    BlendPixel(drow + X + k, srow[c + k], keyed, table);
            } else {
                BlendBlock(drow + X, srow + c, keyed, table);
            }
        }
    }
    DDUnlockSurface(src);
    DDUnlockSurface(dest);
    return true;
}

bool HalfBlendSmear(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                    const uint8_t* table) {
    SurfaceDesc desc;
    uint8_t* pixels;
    if (!DDLockSurface(surface, &desc, &pixels, 8)) return false;
    if (!FitsSurface(x, y, width, height, desc)) {
        DDUnlockSurface(surface);
        return false;
    }
    const ptrdiff_t pitch = desc.pitch;
    uint8_t* origin = pixels + static_cast<ptrdiff_t>(y) * pitch + x;
    for (int32_t j = 0; j < height; ++j) {
        uint8_t* row = origin + j * pitch;
        for (int32_t i = 0; i < width; ++i) {
            uint32_t c = row[i];
            if (j >= 1) c = table[c * 256 + row[i - pitch]];
            if (j + 1 < height) c = table[c * 256 + row[i + pitch]];
            if (i >= 1) c = table[c * 256 + row[i - 1]];
            if (i + 1 < width) c = table[c * 256 + row[i + 1]];
            row[i] = static_cast<uint8_t>(c);
        }
    }
    DDUnlockSurface(surface);
    return true;
}
