// The generated picture sheets: their sizes, the cells the game copies, and how they read on screen.
#include "base/asset_paths.h"
#include "tools/assets/canvas.h"
#include "tools/assets/make_assets.h"
#include "tools/assets/palette_ramps.h"
#include "tools/assets/sheets.h"
#include "tools/assets/stage_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace assets;

namespace {
double Luma(const Rgb& c) {
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

bool InRamp(uint8_t index, PaletteRamp ramp) {
    return index >= RampFirstIndex(ramp) && index < RampFirstIndex(ramp) + RampLength(ramp);
}

// Mean luma of a block of a sheet.
double MeanLuma(const Canvas& c, const Rgb palette[256], int x, int y, int w, int h) {
    double sum = 0;
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i)
            sum += Luma(palette[GetPixel(c, i, j)]);
    }
    return sum / (w * h);
}
} // namespace

TEST(AssetSheets, HaveTheirSizesAndFillTheCellsTheGameCopies) {
    auto drawn = [](const Canvas& c, int x, int y, int w, int h) {
        int n = 0;
        for (int j = y; j < y + h; ++j) {
            for (int i = x; i < x + w; ++i)
                n += GetPixel(c, i, j) != 0;
        }
        return n;
    };
    Canvas chips = MakeMapChipSheet(), player = MakePlayerSheet(), enemy = MakeEnemySheet();
    Canvas parts = MakePartsSheet(), fixed = MakeFixedTextSheet(), title = MakeTitlePicture();
    EXPECT_EQ(chips.width * 1000 + chips.height, 256064);
    EXPECT_EQ(player.width * 1000 + player.height, 192128);
    EXPECT_GE(enemy.width, 352);
    EXPECT_EQ(parts.width * 1000 + parts.height, 320128);
    EXPECT_EQ(title.width * 1000 + title.height, 160160);
    EXPECT_EQ(fixed.width * 1000 + fixed.height, 96064);
    EXPECT_EQ(MakeTextSheet().width, 128);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(drawn(chips, (k & 7) * 32, (k >> 3) * 32, 32, 32), 1024) << "tile " << k;
    for (int row = 0; row < 4; ++row) {
        for (int frame = 0; frame < 6; ++frame) {
            EXPECT_GT(drawn(player, frame * 32, row * 32, 32, 32), 80) << row << "," << frame;
            EXPECT_EQ(GetPixel(player, frame * 32, row * 32), 0); // keyed background
        }
        for (int column : {1, 2, 5, 6, 9, 10})
            EXPECT_GT(drawn(enemy, column * 32, row * 32, 32, 32), 80);
    }
    // The play display stays readable in the dark: only steady colours (or the key) in its cells.
    auto steadyOnly = [](const Canvas& c, int x, int y, int w, int h) {
        for (int j = y; j < y + h; ++j) {
            for (int i = x; i < x + w; ++i) {
                uint8_t p = GetPixel(c, i, j);
                if (p != 0 && p <= kLastDarkeningIndex) return false;
            }
        }
        return true;
    };
    EXPECT_GT(drawn(parts, 0, 0, 64, 16), 20);
    EXPECT_TRUE(steadyOnly(parts, 0, 0, 64, 16));
    for (int d = 0; d < 10; ++d) {
        EXPECT_GT(drawn(parts, (d + 4) * 16, 0, 16, 16), 20) << d;
        EXPECT_TRUE(steadyOnly(parts, (d + 4) * 16, 0, 16, 16));
        EXPECT_GT(drawn(parts, 32 * d, 96, 17, 32), 40) << d; // record digits fit the 16-pixel spacing
        EXPECT_EQ(drawn(parts, 32 * d + 17, 96, 15, 32), 0) << d;
    }
    for (int lives = 0; lives <= 2; ++lives)
        EXPECT_TRUE(steadyOnly(parts, (lives + 2) * 16, 16, 16, 16));
    EXPECT_GT(drawn(parts, 0, 16, 32, 16), 20);
    EXPECT_GT(drawn(parts, 0, 32, 128, 32), 300);
    EXPECT_GT(drawn(parts, 0, 64, 96, 32), 200);
    EXPECT_GT(drawn(fixed, 0, 0, 96, 32), 300);
    EXPECT_GT(drawn(fixed, 0, 32, 32, 32), 200);
    EXPECT_TRUE(steadyOnly(fixed, 0, 0, 96, 64));
}

TEST(AssetSheets, LightMaskIsClearOnlyInsideTheCircleAroundThePlayer) {
    Canvas mask = MakeLightMask();
    ASSERT_EQ(mask.width, 320);
    ASSERT_EQ(mask.height, 240);
    int clearInRim = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            double d = std::hypot(x + 0.5 - 160, y + 0.5 - 120);
            uint8_t p = GetPixel(mask, x, y);
            if (d < kMaskClearRadius)
                ASSERT_EQ(p, 0) << x << "," << y;
            else if (d >= kMaskOuterRadius)
                ASSERT_NE(p, 0) << x << "," << y;
            else
                clearInRim += p == 0;
            ASSERT_LE(p, kLastDarkeningIndex); // the darkness fades with everything else
        }
    }
    EXPECT_GT(clearInRim, 100); // a dithered rim, not a hard edge
    // The circle stays inside the 160x160 view, whose corners the map overdraws.
    EXPECT_LE(kMaskOuterRadius, 80);
}

TEST(AssetLook, BlockingTilesStandUpAndFloorsLieFlat) {
    Rgb palette[256];
    MakeGamePalette(palette);
    Canvas chips = MakeMapChipSheet();
    const uint8_t foot = Shade(RAMP_SHADOW, 0);
    for (int kind = 0; kind < 16; ++kind) {
        SCOPED_TRACE(kind);
        const int x = (kind & 7) * 32, y = (kind >> 3) * 32;
        int footPixels = 0;
        for (int i = 0; i < 32; ++i)
            footPixels += GetPixel(chips, x + i, y + 31) == foot;
        if (kind == 8) continue; // the closed slab has its own bevelled lid
        if (kStageTileSolid[kind]) {
            // A lit back edge and front rim above a face in shade that ends in a dark foot.
            double lit =
                (MeanLuma(chips, palette, x, y, 32, 2) + MeanLuma(chips, palette, x, y + 24, 32, 1)) / 2;
            double face = MeanLuma(chips, palette, x, y + 25, 32, 7);
            double body = MeanLuma(chips, palette, x, y + 2, 32, 22);
            EXPECT_GT(lit, body + 8);
            EXPECT_LT(face, body - 8);
            EXPECT_EQ(footPixels, 32);
        } else {
            EXPECT_LT(footPixels, 16); // a dark line along the bottom would make a floor look raised
        }
    }
}

TEST(AssetLook, ThePlayerStandsOutAndHerLanternNeverDarkens) {
    Canvas player = MakePlayerSheet(), chips = MakeMapChipSheet();
    // The cloak's crimson is on no floor she can stand on.
    for (int kind = 0; kind < 16; ++kind) {
        if (kStageTileSolid[kind]) continue;
        int crimson = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x)
                crimson += InRamp(GetPixel(chips, (kind & 7) * 32 + x, (kind >> 3) * 32 + y), RAMP_BLOOD);
        }
        EXPECT_EQ(crimson, 0) << "kind " << kind;
    }
    // The flame is drawn in steady colours while lit (frames 0..3) and dark once dropped (4, 5).
    for (int row = 0; row < 4; ++row) {
        for (int frame = 0; frame < 6; ++frame) {
            int steady = 0;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x)
                    steady += GetPixel(player, frame * 32 + x, row * 32 + y) > kLastDarkeningIndex;
            }
            if (frame < 4)
                EXPECT_GE(steady, 4) << row << "," << frame;
            else
                EXPECT_EQ(steady, 0) << row << "," << frame;
        }
    }
}

TEST(AssetLook, RecordDigitsAreWideAndStillReadWhenSetSixteenPixelsApart) {
    Canvas parts = MakePartsSheet();
    auto isFill = [](uint8_t p) { return InRamp(p, RAMP_GOLD); };
    for (int d = 0; d < 10; ++d) {
        int left = 32, right = -1, top = 32, bottom = -1;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (!isFill(GetPixel(parts, 32 * d + x, 96 + y))) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        SCOPED_TRACE(d);
        EXPECT_GE(right - left + 1, d == 1 ? 10 : 14); // fills its 16-pixel slot, not a third of it
        EXPECT_GE(bottom - top + 1, 21);
        EXPECT_LE(right, 14); // room for the outline inside the slot
    }
    // The title draws the units, then the tens 16 pixels to the left, both keyed: the tens may only
    // cover the units' dark rim, never a pixel of its fill.
    for (int tens = 1; tens < 10; ++tens) {
        for (int units = 0; units < 10; ++units) {
            Canvas pair = MakeCanvas(48, 32, 0);
            PasteCanvas(&pair, CropCanvas(parts, 32 * units, 96, 32, 32), 16, 0, true);
            PasteCanvas(&pair, CropCanvas(parts, 32 * tens, 96, 32, 32), 0, 0, true);
            int lost = 0;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    uint8_t p = GetPixel(parts, 32 * units + x, 96 + y);
                    lost += isFill(p) && GetPixel(pair, 16 + x, y) != p;
                }
            }
            EXPECT_EQ(lost, 0) << tens << units;
        }
    }
}

TEST(AssetLook, TheTitleSaysHowToStartWhereNeitherTheWaveNorTheRecordPasses) {
    // The title waves the picture's top 32 rows under its name and sets the record over the bottom 32;
    // the words to start are lettered in gold between them.
    Canvas title = MakeTitlePicture();
    int top = 0, middle = 0, bottom = 0;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 160; ++x) {
            if (!InRamp(GetPixel(title, x, y), RAMP_GOLD)) continue;
            (y < 32 ? top : y < 128 ? middle : bottom) += 1;
        }
    }
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, 0);
    EXPECT_GT(middle, 60);
}

TEST(AssetLook, TheRecordLabelEndsJustBeforeItsDigits) {
    // On the title the label's cell starts at x 80 and the tens digit's at x 192.
    Canvas parts = MakePartsSheet();
    int labelRight = -1;
    for (int y = 64; y < 96; ++y) {
        for (int x = 0; x < 96; ++x) {
            if (GetPixel(parts, x, y)) labelRight = std::max(labelRight, x);
        }
    }
    int digitLeft = 32;
    for (int d = 1; d < 10; ++d) {
        for (int y = 96; y < 128; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (GetPixel(parts, 32 * d + x, y)) digitLeft = std::min(digitLeft, x);
            }
        }
    }
    ASSERT_GE(labelRight, 0);
    const int gap = (192 + digitLeft) - (80 + labelRight) - 1;
    EXPECT_GE(gap, 0);
    EXPECT_LE(gap, 20);
}
