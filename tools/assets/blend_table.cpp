// The half-transparency table: for each pair of palette indices, the index that shows their mixture.
#include "tools/assets/blend_table.h"

#include <cstddef>

namespace assets {

namespace {

// Compared at twice the scale, so the average of two colours stays an exact integer.
int Distance2(const Rgb& c, int r2, int g2, int b2) {
    int dr = c.r * 2 - r2, dg = c.g * 2 - g2, db = c.b * 2 - b2;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

} // namespace

std::vector<uint8_t> MakeBlendTable(const Rgb palette[256]) {
    std::vector<uint8_t> table(kBlendTableSize, 0);
    for (int a = 0; a < 256; ++a) {
        for (int b = a; b < 256; ++b) {
            int r2 = palette[a].r + palette[b].r, g2 = palette[a].g + palette[b].g,
                b2 = palette[a].b + palette[b].b;
            int last = (a <= kLastDarkeningIndex && b <= kLastDarkeningIndex) ? kLastDarkeningIndex : 255;
            int best = 0, bestDistance = Distance2(palette[0], r2, g2, b2);
            for (int c = 1; c <= last; ++c) {
                int d = Distance2(palette[c], r2, g2, b2);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = c;
                }
            }
            table[static_cast<std::size_t>(a * 256 + b)] = static_cast<uint8_t>(best);
            table[static_cast<std::size_t>(b * 256 + a)] = static_cast<uint8_t>(best);
        }
    }
    return table;
}

} // namespace assets
