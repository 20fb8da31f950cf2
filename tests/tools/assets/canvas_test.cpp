// The drawing canvas of the asset maker: noise tiles and drawing helpers keep to their shapes.
#include "tools/assets/canvas.h"

#include <gtest/gtest.h>

#include <vector>

using namespace assets;

TEST(AssetCanvas, NoiseTilesAndDrawingHelpersKeepToTheirShapes) {
    for (double y : {0.0, 5.5, 17.25}) {
        for (double x : {0.0, 3.0, 30.5}) {
            EXPECT_DOUBLE_EQ(TileFractal(x, y, 8, 32, 3, 9), TileFractal(x + 32, y - 32, 8, 32, 3, 9));
            double v = TileNoise(x, y, 16, 128, 4);
            EXPECT_GE(v, 0.0);
            EXPECT_LT(v, 1.0);
        }
    }
    AssetRng a = SeedRng(5), b = SeedRng(5), c = SeedRng(6);
    uint32_t first = NextU32(&a);
    EXPECT_EQ(first, NextU32(&b));
    EXPECT_NE(first, NextU32(&c));
    for (int i = 0; i < 1000; ++i) {
        int v = NextBelow(&a, 7);
        ASSERT_TRUE(v >= 0 && v < 7);
    }

    Canvas dot = MakeCanvas(5, 5, 0);
    PutPixel(&dot, 2, 2, 9);
    OutlineCanvas(&dot, 3, false);
    EXPECT_EQ(GetPixel(dot, 2, 1), 3);
    EXPECT_EQ(GetPixel(dot, 1, 1), 0);
    EXPECT_EQ(GetPixel(dot, 2, 2), 9);
    OutlineCanvas(&dot, 4, true); // the plus gains its diagonal neighbours too
    EXPECT_EQ(GetPixel(dot, 0, 1), 4);
    EXPECT_EQ(GetPixel(dot, 0, 0), 0);

    Canvas text = MakeCanvas(40, 10, 0);
    EXPECT_EQ(DrawText(&text, 0, 0, "AB1", 2, 1, 1, 7), TextWidth("AB1", 2, 1));
    EXPECT_EQ(GetPixel(text, 0, 1), 7); // left stroke of the A
    EXPECT_EQ(GetPixel(MirrorCanvas(text), 39, 1), 7);
    EXPECT_EQ(FontGlyph('@'), nullptr);
}
