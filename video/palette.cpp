// The game's palettes: loading, tinting toward a colour, and the sine-shaped fades.
#include "video/palette.h"

#include <cstring>

#include "base/failure.h"
#include "platform/file_failure.h"
#include "video/bitmap_file.h"
#include "video/degree_sine.h"

PaletteEntry basePalette[256] = {};
PaletteEntry workPalette[256] = {};
uint8_t paletteFadeActive = 0;
double fadeOutAngle = 90.0;
double fadeInAngle = 0.0;

namespace {
int32_t SineWeight(double angle) {
    return static_cast<int32_t>(DegreeSine(angle) * 256.0);
}
} // namespace

bool DDLoadPaletteFromFile(PaletteEntry* palette, const char* path, int32_t reserve) {
    BitmapFile bitmap;
    if (!ReadBitmapFile(path, &bitmap)) {
        NoteFileFailure("the palette picture", path);
        return false;
    }
    for (int32_t i = 0; i < 256; ++i) {
        if (reserve == 1 && (i < 10 || i > 245)) {
            palette[i] = PaletteEntry{static_cast<uint8_t>(i), 0, 0, PC_EXPLICIT};
        } else {
            // A short colour table leaves the missing entries black (the decoder zeroes them).
            const uint8_t* e = bitmap.colorTable[i];
            palette[i] = PaletteEntry{e[2], e[1], e[0], PC_RESERVED};
        }
    }
    PlatformDisplaySetEntries(0, 256, palette);
    return true;
}

void DDTintPalette(PaletteEntry* dest, int32_t first, int32_t last, int32_t weight, int32_t red,
                   int32_t green, int32_t blue, const PaletteEntry* src) {
    std::memmove(dest, src, sizeof(PaletteEntry) * 256);
    if (first > last) return;
    const int32_t r = red & 0xFF, g = green & 0xFF, b = blue & 0xFF;
    const int32_t inverse = 256 - weight;
    for (int32_t i = first; i <= last; ++i) {
        if (i < 0 || i > 255) continue;
        dest[i].red = static_cast<uint8_t>((src[i].red * weight + r * inverse) >> 8);
        dest[i].green = static_cast<uint8_t>((src[i].green * weight + g * inverse) >> 8);
        dest[i].blue = static_cast<uint8_t>((src[i].blue * weight + b * inverse) >> 8);
        dest[i].flags = PC_RESERVED;
    }
}

bool DDFadeOut(PaletteEntry* dest, int32_t first, int32_t last, int32_t red, int32_t green, int32_t blue,
               double step, const PaletteEntry* src) {
    if (fadeOutAngle > 0) fadeOutAngle -= step;
    DDTintPalette(dest, first, last, SineWeight(fadeOutAngle), red, green, blue, src);
    if (!(fadeOutAngle > 0)) {
        fadeOutAngle = 90.0;
        return true;
    }
    return false;
}

bool DDFadeIn(PaletteEntry* dest, int32_t first, int32_t last, int32_t red, int32_t green, int32_t blue,
              double step, const PaletteEntry* src) {
    if (fadeInAngle < 90) fadeInAngle += step;
    DDTintPalette(dest, first, last, SineWeight(fadeInAngle), red, green, blue, src);
    if (!(fadeInAngle < 90)) {
        fadeInAngle = 0.0;
        return true;
    }
    return false;
}

void DDUploadWorkPalette(int32_t count) {
    PlatformDisplaySetEntries(0, count, workPalette);
}
