// Fills and copies between surfaces, each clipped in integer arithmetic before the raw blitter runs.
#pragma once
#include <cstdint>

#include "video/surface.h"

// DDBltClip flags.
constexpr int32_t BLT_OPAQUE = 0;
constexpr int32_t BLT_KEYED = 1;
// The platform's keyed-blit flag, which DDBltStretch also accepts.
constexpr int32_t DDBLT_KEYSRC = 0x8000;

// Degrees, 0..359 between calls; advanced by every DDBltWave.
extern int32_t wavePhase;

int32_t DDFillRect(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t height, int32_t index);
int32_t DDBltClip(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t height, Surface* src,
                  int32_t srcX, int32_t srcY, int32_t flags);
int32_t DDBltStretch(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t height, Surface* src,
                     int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, int32_t flags);
void DDBltWave(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t rows, int32_t cycles,
               int32_t amplitude, Surface* src, int32_t srcX, int32_t srcY, int32_t flags);
