// Palette loading, tints and the sine-shaped fades; entries 217..255 never change.
#include <gtest/gtest.h>

#include <cstring>

#include "app/main_window.h"
#include "platform/display_device.h"
#include "tests/support/game_fixture.h"
#include "tests/support/reset.h"
#include "video/display.h"
#include "video/palette.h"

namespace {
class Palette : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        for (int i = 0; i < 256; ++i)
            basePalette[i] =
                PaletteEntry{255, static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), PC_EXPLICIT};
    }
    void TearDown() override { ResetGameProcess(); }
    static void ExpectFixedEntriesUnchanged() {
        for (int i = 217; i < 256; ++i)
            ASSERT_EQ(std::memcmp(&workPalette[i], &basePalette[i], sizeof(PaletteEntry)), 0) << i;
    }
};
} // namespace

TEST_F(Palette, TintWeightsMixTowardTheColour) {
    DDTintPalette(workPalette, 0, 216, 256, 0, 0, 0, basePalette);
    EXPECT_EQ(workPalette[100].red, 255);
    EXPECT_EQ(workPalette[100].green, 100);
    EXPECT_EQ(workPalette[100].flags, PC_RESERVED); // in range: flags rewritten
    EXPECT_EQ(workPalette[220].flags, PC_EXPLICIT); // out of range: a plain copy
    DDTintPalette(workPalette, 0, 216, 0, 0, 0, 0, basePalette);
    EXPECT_EQ(workPalette[100].red, 0);
    EXPECT_EQ(workPalette[100].blue, 0);
    DDTintPalette(workPalette, 0, 216, 128, 0, 0, 0, basePalette);
    EXPECT_EQ(workPalette[100].red, 127);
    EXPECT_EQ(workPalette[100].green, 50);
    // The lowest light level, weight 10: 255 becomes (255 * 10) >> 8 = 9.
    DDTintPalette(workPalette, 0, 216, 10, 0, 0, 0, basePalette);
    EXPECT_EQ(workPalette[0].red, 9);
    // Toward white, with only the low 8 bits of the colour used.
    DDTintPalette(workPalette, 0, 216, 0, 0x1FF, 0x100, 0xFF, basePalette);
    EXPECT_EQ(workPalette[3].red, 255);
    EXPECT_EQ(workPalette[3].green, 0);
    ExpectFixedEntriesUnchanged();
}

TEST_F(Palette, TintWithFirstAfterLastOnlyCopies) {
    std::memset(workPalette, 0x55, sizeof workPalette);
    DDTintPalette(workPalette, 10, 9, 0, 0, 0, 0, basePalette);
    EXPECT_EQ(std::memcmp(workPalette, basePalette, sizeof workPalette), 0);
}

TEST_F(Palette, FadeOutTakes45StepsFrom88DegreesAndStartsAgainAt90) {
    for (int step = 0; step < 45; ++step) {
        const bool done = DDFadeOut(workPalette, 0, 216, 0, 0, 0, 2.0, basePalette);
        if (step == 0) {
            EXPECT_EQ(workPalette[0].red, (255 * 255) >> 8); // weight 255 at 88 degrees
        }
        EXPECT_EQ(done, step == 44) << "step " << step; // done on the 45th step, not before
        ExpectFixedEntriesUnchanged();
    }
    EXPECT_EQ(workPalette[0].red, 0);
    EXPECT_EQ(workPalette[216].green, 0);
    EXPECT_EQ(fadeOutAngle, 90.0);
    EXPECT_FALSE(DDFadeOut(workPalette, 0, 216, 0, 0, 0, 2.0, basePalette));
    EXPECT_EQ(fadeOutAngle, 88.0);
}

TEST_F(Palette, FadeInTakes45StepsFromWeight8ToTheSource) {
    for (int step = 0; step < 44; ++step) {
        EXPECT_FALSE(DDFadeIn(workPalette, 0, 216, 0, 0, 0, 2.0, basePalette)) << "step " << step;
        if (step == 0) {
            EXPECT_EQ(workPalette[0].red, (255 * 8) >> 8); // weight 8 at 2 degrees
        }
    }
    EXPECT_TRUE(DDFadeIn(workPalette, 0, 216, 0, 0, 0, 2.0, basePalette));
    for (int i = 0; i < 217; ++i) {
        EXPECT_EQ(workPalette[i].red, basePalette[i].red);
        EXPECT_EQ(workPalette[i].green, basePalette[i].green);
    }
    EXPECT_EQ(fadeInAngle, 0.0);
    ExpectFixedEntriesUnchanged();
}

TEST_F(Palette, AnInterruptedFadeResumesWhereItStopped) {
    for (int i = 0; i < 10; ++i)
        ASSERT_FALSE(DDFadeOut(workPalette, 0, 216, 0, 0, 0, 2.0, basePalette));
    EXPECT_EQ(fadeOutAngle, 70.0);
    int calls = 0;
    while (!DDFadeOut(workPalette, 0, 216, 0, 0, 0, 2.0, basePalette))
        ++calls;
    EXPECT_EQ(calls + 1, 35);
}

TEST_F(Palette, FadesStepThroughLinuxsWeightsOnEveryPlatform) {
    // The weights at 0, 2, .. 90 degrees as a Linux build computes them. 30 degrees gives 127, not 128:
    // the sine there is just under one half, and another platform's last bit must not round it up.
    const int32_t linuxWeights[46] = {0,   8,   17,  26,  35,  44,  53,  61,  70,  79,  87,  95,
                                      104, 112, 120, 127, 135, 143, 150, 157, 164, 171, 177, 184,
                                      190, 196, 201, 207, 212, 217, 221, 226, 230, 233, 237, 240,
                                      243, 246, 248, 250, 252, 253, 254, 255, 255, 256};
    // Red 255 comes out as (255 * weight) >> 8, a different value for every weight: 127 shows as 126, and
    // the 128 another platform might round to as 127.
    const auto shown = [](int32_t weight) { return (255 * weight) >> 8; };
    for (int run = 0; run < 2; ++run) { // the second run starts from the reset angle
        for (int32_t i = 44; i >= 0; --i) {
            const bool done = DDFadeOut(workPalette, 0, 216, 0, 0, 0, 2.0, basePalette);
            ASSERT_EQ(workPalette[0].red, shown(linuxWeights[i])) << "fade-out at " << i * 2 << " degrees";
            ASSERT_EQ(done, i == 0);
        }
        for (int32_t i = 1; i <= 45; ++i) {
            const bool done = DDFadeIn(workPalette, 0, 216, 0, 0, 0, 2.0, basePalette);
            ASSERT_EQ(workPalette[0].red, shown(linuxWeights[i])) << "fade-in at " << i * 2 << " degrees";
            ASSERT_EQ(done, i == 45);
        }
    }
}

TEST_F(Palette, LoadingTakesTheColourTableWithReserveAndAShortTable) {
    ScopedWorkDir dir;
    ResetGameProcess();
    CreateTestWindow();
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    WriteFileBytes("pal.bmp", MakeBmp(4, 4, RampPixels(4, 4)));
    PaletteEntry loaded[256];
    ASSERT_TRUE(DDLoadPaletteFromFile(loaded, "pal.bmp", 0));
    EXPECT_EQ(loaded[200].red, 200);
    EXPECT_EQ(loaded[200].green, 55);
    EXPECT_EQ(loaded[200].blue, 100);
    EXPECT_EQ(loaded[5].flags, PC_RESERVED);
    PaletteEntry shown[256];
    PlatformDisplayGetEntries(shown);
    EXPECT_EQ(std::memcmp(shown, loaded, sizeof shown), 0); // all 256 uploaded

    ASSERT_TRUE(DDLoadPaletteFromFile(loaded, "pal.bmp", 1));
    for (int i : {0, 9, 246, 255}) {
        EXPECT_EQ(loaded[i].red, i);
        EXPECT_EQ(loaded[i].green, 0);
        EXPECT_EQ(loaded[i].flags, PC_EXPLICIT);
    }
    // Both sides of each boundary: 9 and 246 explicit, 10 and 245 the file's colours.
    EXPECT_EQ(loaded[10].red, 10);
    EXPECT_EQ(loaded[10].green, 245);
    EXPECT_EQ(loaded[10].flags, PC_RESERVED);
    EXPECT_EQ(loaded[245].red, 245);
    EXPECT_EQ(loaded[245].green, 10);
    EXPECT_EQ(loaded[245].blue, 122);
    EXPECT_EQ(loaded[245].flags, PC_RESERVED);

    BmpOptions shortTable;
    shortTable.colorCount = 20;
    WriteFileBytes("short.bmp", MakeBmp(4, 4, RampPixels(4, 4), shortTable));
    ASSERT_TRUE(DDLoadPaletteFromFile(loaded, "short.bmp", 0));
    EXPECT_EQ(loaded[19].red, 19);
    EXPECT_EQ(loaded[20].red, 0);
    EXPECT_EQ(loaded[20].green, 0);
    EXPECT_EQ(loaded[255].blue, 0);
    EXPECT_FALSE(DDLoadPaletteFromFile(loaded, "missing.bmp", 0));
    DDRelease();
}
