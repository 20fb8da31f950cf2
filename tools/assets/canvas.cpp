// Pixel canvas, seeded randomness, tileable noise and drawing helpers for the generated pictures.
#include "tools/assets/canvas.h"

#include <cmath>
#include <cstring>

namespace assets {

Canvas MakeCanvas(int width, int height, uint8_t fill) {
    Canvas c;
    c.width = width;
    c.height = height;
    c.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    return c;
}

uint8_t GetPixel(const Canvas& c, int x, int y) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return 0;
    return c.pixels[static_cast<size_t>(y) * static_cast<size_t>(c.width) + static_cast<size_t>(x)];
}

void PutPixel(Canvas* c, int x, int y, uint8_t index) {
    if (x < 0 || y < 0 || x >= c->width || y >= c->height) return;
    c->pixels[static_cast<size_t>(y) * static_cast<size_t>(c->width) + static_cast<size_t>(x)] = index;
}

void FillRect(Canvas* c, int x, int y, int w, int h, uint8_t index) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i)
            PutPixel(c, i, j, index);
    }
}

void FillEllipse(Canvas* c, double cx, double cy, double rx, double ry, uint8_t index) {
    if (rx <= 0 || ry <= 0) return;
    int x0 = static_cast<int>(std::floor(cx - rx)), x1 = static_cast<int>(std::ceil(cx + rx));
    int y0 = static_cast<int>(std::floor(cy - ry)), y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            // Pixel centres, so small ellipses come out symmetric.
            double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) PutPixel(c, x, y, index);
        }
    }
}

void DrawLine(Canvas* c, int x0, int y0, int x1, int y1, uint8_t index) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        PutPixel(c, x0, y0, index);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void PasteCanvas(Canvas* dst, const Canvas& src, int x, int y, bool keyed) {
    for (int j = 0; j < src.height; ++j) {
        for (int i = 0; i < src.width; ++i) {
            uint8_t p = GetPixel(src, i, j);
            if (keyed && p == 0) continue;
            PutPixel(dst, x + i, y + j, p);
        }
    }
}

Canvas CropCanvas(const Canvas& src, int x, int y, int w, int h) {
    Canvas out = MakeCanvas(w, h, 0);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i)
            PutPixel(&out, i, j, GetPixel(src, x + i, y + j));
    }
    return out;
}

Canvas MirrorCanvas(const Canvas& src) {
    Canvas out = MakeCanvas(src.width, src.height, 0);
    for (int j = 0; j < src.height; ++j) {
        for (int i = 0; i < src.width; ++i)
            PutPixel(&out, src.width - 1 - i, j, GetPixel(src, i, j));
    }
    return out;
}

void OutlineCanvas(Canvas* c, uint8_t index, bool corners) {
    Canvas before = *c;
    for (int y = 0; y < c->height; ++y) {
        for (int x = 0; x < c->width; ++x) {
            if (GetPixel(before, x, y) != 0) continue;
            bool edge = GetPixel(before, x - 1, y) || GetPixel(before, x + 1, y) ||
                        GetPixel(before, x, y - 1) || GetPixel(before, x, y + 1);
            if (!edge && corners) {
                edge = GetPixel(before, x - 1, y - 1) || GetPixel(before, x + 1, y - 1) ||
                       GetPixel(before, x - 1, y + 1) || GetPixel(before, x + 1, y + 1);
            }
            if (edge) PutPixel(c, x, y, index);
        }
    }
}

AssetRng SeedRng(uint64_t seed) {
    AssetRng rng;
    rng.state = seed ^ 0x9E3779B97F4A7C15ull;
    return rng;
}

uint32_t NextU32(AssetRng* rng) {
    // splitmix64: tiny, well mixed, and defined by its constants alone.
    uint64_t z = (rng->state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

int NextBelow(AssetRng* rng, int n) {
    if (n <= 1) return 0;
    return static_cast<int>(NextU32(rng) % static_cast<uint32_t>(n));
}

double NextUnit(AssetRng* rng) {
    return NextU32(rng) / 4294967296.0;
}

uint32_t HashPoint(int x, int y, uint32_t seed) {
    uint32_t h =
        seed * 0x27D4EB2Du ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^ static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

static double LatticeValue(int x, int y, int cells, uint32_t seed) {
    x = ((x % cells) + cells) % cells;
    y = ((y % cells) + cells) % cells;
    return HashPoint(x, y, seed) / 4294967296.0;
}

double TileNoise(double x, double y, int cell, int period, uint32_t seed) {
    int cells = period / cell;
    double fx = x / cell, fy = y / cell;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    double tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    double a = LatticeValue(ix, iy, cells, seed), b = LatticeValue(ix + 1, iy, cells, seed);
    double c = LatticeValue(ix, iy + 1, cells, seed), d = LatticeValue(ix + 1, iy + 1, cells, seed);
    double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double TileFractal(double x, double y, int cell, int period, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves && cell >= 1; ++o) {
        sum += TileNoise(x, y, cell, period, seed + static_cast<uint32_t>(o) * 7919u) * weight;
        total += weight;
        weight *= 0.5;
        cell /= 2;
    }
    return total > 0 ? sum / total : 0;
}

double BayerThreshold(int x, int y) {
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (kBayer[y & 3][x & 3] + 0.5) / 16.0;
}

namespace {

struct FontEntry {
    char ch;
    const char* rows[7];
};

// Our label font: plain, slightly condensed capitals readable at 1x.
const FontEntry kFont[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."}},
    {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
    {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
};

} // namespace

const char* const* FontGlyph(char ch) {
    for (const FontEntry& e : kFont) {
        if (e.ch == ch) return e.rows;
    }
    return nullptr;
}

int TextWidth(const char* text, int scaleX, int spacing) {
    int n = static_cast<int>(std::strlen(text));
    if (n == 0) return 0;
    return n * 5 * scaleX + (n - 1) * spacing;
}

int DrawTextRows(Canvas* c, int x, int y, const char* text, int scaleX, int scaleY, int spacing,
                 const uint8_t* rowIndices) {
    int pen = x;
    for (const char* p = text; *p; ++p) {
        const char* const* g = FontGlyph(*p);
        if (g) {
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (g[row][col] != '#') continue;
                    for (int sy = 0; sy < scaleY; ++sy) {
                        uint8_t index = rowIndices[row * scaleY + sy];
                        for (int sx = 0; sx < scaleX; ++sx) {
                            PutPixel(c, pen + col * scaleX + sx, y + row * scaleY + sy, index);
                        }
                    }
                }
            }
        }
        pen += 5 * scaleX + spacing;
    }
    return pen - spacing - x;
}

int DrawText(Canvas* c, int x, int y, const char* text, int scaleX, int scaleY, int spacing, uint8_t index) {
    std::vector<uint8_t> rows(static_cast<size_t>(7 * scaleY), index);
    return DrawTextRows(c, x, y, text, scaleX, scaleY, spacing, rows.data());
}

void DrawPattern(Canvas* c, int x, int y, const char* const* rows, int rowCount, const char* keys,
                 const uint8_t* values) {
    for (int j = 0; j < rowCount; ++j) {
        for (int i = 0; rows[j][i]; ++i) {
            const char* k = std::strchr(keys, rows[j][i]);
            if (k && *k) PutPixel(c, x + i, y + j, values[k - keys]);
        }
    }
}

} // namespace assets
