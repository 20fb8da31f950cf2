// The generated blend table: symmetric, the diagonal kept, midpoints picked, darkening kept apart.
#include "tools/assets/blend_table.h"
#include "tools/assets/palette_ramps.h"

#include <gtest/gtest.h>

#include <vector>

using namespace assets;

TEST(BlendTableMaker, IsSymmetricKeepsTheDiagonalAndPicksTheMidpoint) {
    // Distinct greys and a few hues: every colour is its own nearest, so the diagonal is the identity.
    Rgb palette[256];
    for (int i = 0; i < 256; ++i) {
        uint8_t v = static_cast<uint8_t>(i);
        palette[i] =
            i < 200 ? Rgb{v, v, v} : Rgb{v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(v / 2)};
    }
    std::vector<uint8_t> table = MakeBlendTable(palette);
    ASSERT_EQ(table.size(), 65536u);
    for (int a = 0; a < 256; ++a) {
        EXPECT_EQ(table[static_cast<size_t>(a * 257)], a);
        for (int b = 0; b < 256; ++b) {
            ASSERT_EQ(table[static_cast<size_t>(a * 256 + b)], table[static_cast<size_t>(b * 256 + a)])
                << a << "," << b;
        }
    }
    EXPECT_EQ(table[10 * 256 + 30], 20); // grey 10 and grey 30 mix to grey 20
    EXPECT_EQ(table[0 * 256 + 198], 99);
}

TEST(BlendTableMaker, TwoDarkeningColoursNeverMixIntoASteadyOne) {
    // The only exact midpoint of 100 and 140 is a steady colour; a darkening one must be chosen.
    Rgb palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = Rgb{0, 0, 0};
    palette[1] = Rgb{100, 100, 100};
    palette[2] = Rgb{140, 140, 140};
    palette[3] = Rgb{110, 110, 110};
    palette[240] = Rgb{120, 120, 120};
    std::vector<uint8_t> table = MakeBlendTable(palette);
    EXPECT_EQ(table[1 * 256 + 2], 3);
    // With a steady colour involved, the whole palette is open.
    EXPECT_EQ(table[240 * 256 + 240], 240);
}
