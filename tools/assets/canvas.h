// Pixel canvas, seeded randomness, tileable noise and drawing helpers for the generated pictures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// An 8-bit picture of palette indices, rows top-down.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// Our own generator, so the assets are the same bytes on every machine and library.
struct AssetRng {
    uint64_t state = 0;
};

Canvas MakeCanvas(int width, int height, uint8_t fill);
uint8_t GetPixel(const Canvas& c, int x, int y); // 0 outside
void PutPixel(Canvas* c, int x, int y, uint8_t index);
void FillRect(Canvas* c, int x, int y, int w, int h, uint8_t index);
void FillEllipse(Canvas* c, double cx, double cy, double rx, double ry, uint8_t index);
void DrawLine(Canvas* c, int x0, int y0, int x1, int y1, uint8_t index);
// Copies src into dst at (x, y); with keyed set, index 0 of src is skipped.
void PasteCanvas(Canvas* dst, const Canvas& src, int x, int y, bool keyed);
Canvas CropCanvas(const Canvas& src, int x, int y, int w, int h);
Canvas MirrorCanvas(const Canvas& src);
// Rings every drawn pixel (non-zero) with `index` where the neighbour is 0; diagonal neighbours too
// when `corners` is set.
void OutlineCanvas(Canvas* c, uint8_t index, bool corners);

AssetRng SeedRng(uint64_t seed);
uint32_t NextU32(AssetRng* rng);
int NextBelow(AssetRng* rng, int n); // 0..n-1
double NextUnit(AssetRng* rng);      // [0, 1)

// Integer hash of a lattice point, for position-based noise.
uint32_t HashPoint(int x, int y, uint32_t seed);
// Smooth value noise in [0, 1) with lattice spacing `cell`, repeating every `period` pixels on both
// axes (period a multiple of cell), so textures tile.
double TileNoise(double x, double y, int cell, int period, uint32_t seed);
// Sum of octaves of TileNoise, normalised to [0, 1).
double TileFractal(double x, double y, int cell, int period, int octaves, uint32_t seed);
// 4x4 ordered-dither threshold in (0, 1) for pixel (x, y).
double BayerThreshold(int x, int y);

// The small 5x7 font of the labels; glyph rows are 5 characters of '#' and '.'.
const char* const* FontGlyph(char ch); // null for characters the font lacks
int TextWidth(const char* text, int scaleX, int spacing);
// Draws text with each font pixel as a scaleX by scaleY block; returns the drawn width.
int DrawText(Canvas* c, int x, int y, const char* text, int scaleX, int scaleY, int spacing, uint8_t index);
// Text filled row by row from `rowIndices` (one index per pixel row of the scaled text), for gradients.
int DrawTextRows(Canvas* c, int x, int y, const char* text, int scaleX, int scaleY, int spacing,
                 const uint8_t* rowIndices);

// Draws a small picture given as rows of characters; each character is looked up in `keys`/`values`
// (same length), other characters are left untouched.
void DrawPattern(Canvas* c, int x, int y, const char* const* rows, int rowCount, const char* keys,
                 const uint8_t* values);

} // namespace assets
