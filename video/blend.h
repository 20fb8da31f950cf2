// Half-transparent drawing and smearing through the precomputed blend table.
#pragma once
#include <cstdint>

#include "video/surface.h"

constexpr int32_t HALF_BLEND_TABLE_SIZE = 65536;
// Mode 1: index 0 on either side is left alone.
constexpr int32_t BLEND_KEYED = 1;

// Entry [a * 256 + b]: the index showing a (the pixel changed) mixed with b (the colour mixed in).
extern uint8_t halfBlendTable[HALF_BLEND_TABLE_SIZE];

bool LoadHalfBlendTable(uint8_t* table, const char* path);
bool HalfBlendBlt(Surface* dest, int32_t x, int32_t y, int32_t width, int32_t height, Surface* src,
                  int32_t srcX, int32_t srcY, int32_t mode, const uint8_t* table);
bool HalfBlendSmear(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
                    const uint8_t* table);
