// The generated palette: black at 0, darkening entries apart from the steady ones.
#include "tools/assets/palette_ramps.h"

#include <gtest/gtest.h>

using namespace assets;

TEST(GamePalette, KeepsBlackAtZeroAndSplitsDarkeningFromSteadyEntries) {
    Rgb palette[256];
    MakeGamePalette(palette);
    EXPECT_EQ(palette[0].r + palette[0].g + palette[0].b, 0);
    EXPECT_EQ(RampFirstIndex(RAMP_SHADOW), 1);
    EXPECT_EQ(RampFirstIndex(RAMP_HUD_INK), 217);
    EXPECT_EQ(RampFirstIndex(RAMP_GLOW_EMBER) + RampLength(RAMP_GLOW_EMBER), 256);
    // Shifting a shade stays inside its own ramp.
    EXPECT_EQ(ShiftShade(Shade(RAMP_STONE, 5), 3), Shade(RAMP_STONE, 8));
    EXPECT_EQ(ShiftShade(Shade(RAMP_STONE, 5), -2), Shade(RAMP_STONE, 3));
    EXPECT_EQ(ShiftShade(Shade(RAMP_STONE, 2), -9), Shade(RAMP_STONE, 0));
    EXPECT_EQ(ShiftShade(Shade(RAMP_SLATE, 10), 9), Shade(RAMP_SLATE, 11));
    EXPECT_EQ(ShiftShade(255, 1), 255);
    EXPECT_EQ(ShiftShade(0, 4), 0);
    // Ramps run dark to light.
    for (int r = 0; r < RAMP_COUNT; ++r) {
        const Rgb& dark = palette[Shade(static_cast<PaletteRamp>(r), 0)];
        const Rgb& light = palette[Shade(static_cast<PaletteRamp>(r), 99)];
        EXPECT_LT(dark.r + dark.g + dark.b, light.r + light.g + light.b) << "ramp " << r;
    }
}
