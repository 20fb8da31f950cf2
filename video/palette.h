// The game's palettes: loading, tinting toward a colour, and the sine-shaped fades.
#pragma once
#include <cstdint>

#include "platform/display_device.h"

constexpr uint8_t PC_RESERVED = 1;
constexpr uint8_t PC_EXPLICIT = 2;

// Entries 0..216 darken with the light level and the fades; 217..255 never change.
constexpr int32_t PALETTE_DARKENING_ENTRIES = 217;

extern PaletteEntry basePalette[256];
extern PaletteEntry workPalette[256];
extern uint8_t paletteFadeActive;
extern double fadeOutAngle;
extern double fadeInAngle;

bool DDLoadPaletteFromFile(PaletteEntry* palette, const char* path, int32_t reserve);
void DDTintPalette(PaletteEntry* dest, int32_t first, int32_t last, int32_t weight, int32_t red,
                   int32_t green, int32_t blue, const PaletteEntry* src);
bool DDFadeOut(PaletteEntry* dest, int32_t first, int32_t last, int32_t red, int32_t green, int32_t blue,
               double step, const PaletteEntry* src);
bool DDFadeIn(PaletteEntry* dest, int32_t first, int32_t last, int32_t red, int32_t green, int32_t blue,
              double step, const PaletteEntry* src);
void DDUploadWorkPalette(int32_t count);
