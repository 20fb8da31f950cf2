// The generated asset set and the asset tools: formats, invariants, round trips and the checker's reasons.
#include "base/asset_paths.h"
#include "sound/wave_file.h"
#include "tests/support/run_program.h"
#include "tests/support/test_files.h"
#include "tools/assets/blend_table.h"
#include "tools/assets/check_assets.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/make_assets.h"
#include "tools/assets/palette_ramps.h"
#include "tools/assets/sheets.h"
#include "tools/assets/sounds.h"
#include "tools/assets/stage_codec.h"
#include "video/bitmap_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

using namespace assets;

namespace {

// A fresh folder under the test's temp dir, removed afterwards.
struct TempTree {
    std::filesystem::path path;
    explicit TempTree(const std::string& name) {
        path = std::filesystem::path(testing::TempDir()) /
               ("quillmarsh_assets_" + name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string File(const char* gamePath) const { return AssetPathIn(path.string(), gamePath); }
};

// Walkable cells reachable from the first walkable cell, stepping through the wrapping edges.
int ReachableWalkable(const StageMap& m) {
    std::vector<bool> seen(m.tiles.size(), false);
    std::vector<int> stack;
    for (size_t i = 0; i < m.tiles.size(); ++i) {
        if (!kStageTileSolid[m.tiles[i]]) {
            stack.push_back(static_cast<int>(i));
            seen[i] = true;
            break;
        }
    }
    int count = 0;
    while (!stack.empty()) {
        int at = stack.back();
        stack.pop_back();
        ++count;
        int x = at % m.width, y = at / m.width;
        const int nx[4] = {x + 1, x - 1, x, x};
        const int ny[4] = {y, y, y + 1, y - 1};
        for (int k = 0; k < 4; ++k) {
            int cx = (nx[k] + m.width) % m.width, cy = (ny[k] + m.height) % m.height;
            size_t n = static_cast<size_t>(cy * m.width + cx);
            if (!seen[n] && !kStageTileSolid[m.tiles[n]]) {
                seen[n] = true;
                stack.push_back(static_cast<int>(n));
            }
        }
    }
    return count;
}

bool HasProblem(const std::vector<AssetProblem>& problems, const char* file, const std::string& words,
                bool fatal) {
    for (const AssetProblem& p : problems) {
        if (p.file == file && p.reason.find(words) != std::string::npos && p.fatal == fatal) return true;
    }
    return false;
}

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

double RmsDb(const std::vector<double>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += s[i] * s[i];
    return 10 * std::log10(sum / static_cast<double>(to - from));
}

std::string Describe(const std::vector<AssetProblem>& problems) {
    std::string out;
    for (const AssetProblem& p : problems)
        out += p.file + ": " + p.reason + "\n";
    return out;
}

} // namespace

TEST(StageFile, EncodesHeaderAndGridAtTheirOffsetsAndDecodesBack) {
    StageMap map = MakeEmptyStage(32, 64, 0);
    SetStageTile(&map, 3, 1, 7);
    SetStageTile(&map, -1, -1, 15); // wraps to the last cell
    std::vector<uint8_t> bytes = EncodeStage(map);
    ASSERT_EQ(bytes.size(), 584u + 32u * 64u);
    EXPECT_EQ(GetLE32(&bytes[524]), 32u);
    EXPECT_EQ(GetLE32(&bytes[528]), 64u);
    EXPECT_EQ(GetLE32(&bytes[532]), 1024u);
    EXPECT_EQ(GetLE32(&bytes[536]), 2048u);
    EXPECT_EQ(bytes[584 + 1 * 32 + 3], 7);
    EXPECT_EQ(bytes.back(), 15);

    StageMap back;
    std::string why;
    ASSERT_TRUE(DecodeStage(bytes.data(), bytes.size(), &back, &why)) << why;
    EXPECT_EQ(back.tiles, map.tiles);
    EXPECT_EQ(back.pixelHeight, 2048);

    // Anything after the grid is ignored, as the game does.
    bytes.push_back(99);
    EXPECT_TRUE(DecodeStage(bytes.data(), bytes.size(), &back, &why));
}

TEST(StageFile, DecodeRefusesBytesThatCannotHoldAStage) {
    std::vector<uint8_t> bytes = EncodeStage(MakeEmptyStage(32, 32, 0));
    StageMap map;
    std::string why;
    EXPECT_FALSE(DecodeStage(bytes.data(), 100, &map, &why));
    EXPECT_NE(why.find("fewer than the 584"), std::string::npos) << why;
    EXPECT_FALSE(DecodeStage(bytes.data(), bytes.size() - 1, &map, &why));
    EXPECT_NE(why.find("1023 of 1024 tile bytes"), std::string::npos) << why;
    bytes[524] = 0; // width 0
    EXPECT_FALSE(DecodeStage(bytes.data(), bytes.size(), &map, &why));
    EXPECT_NE(why.find("outside 1..1024"), std::string::npos) << why;
}

TEST(StageFile, CheckNamesEachBrokenInvariant) {
    std::vector<std::string> problems;
    EXPECT_TRUE(CheckStage(MakeEmptyStage(32, 32, 0), &problems));
    EXPECT_TRUE(problems.empty());

    StageMap odd = MakeEmptyStage(48, 32, 0);
    EXPECT_FALSE(CheckStage(odd, &problems));
    EXPECT_NE(problems.back().find("width (offset 524) is 48 tiles"), std::string::npos) << problems.back();

    // Powers of two below 8 are refused as well: the game wraps with masks but draws a 6x6 view.
    for (int side : {1, 2, 4}) {
        problems.clear();
        EXPECT_FALSE(CheckStage(MakeEmptyStage(side, 1024, 0), &problems)) << side;
        ASSERT_FALSE(problems.empty());
        EXPECT_NE(problems[0].find("width (offset 524) is " + std::to_string(side) + " tiles"),
                  std::string::npos)
            << problems[0];
        problems.clear();
        EXPECT_FALSE(CheckStage(MakeEmptyStage(64, side, 0), &problems)) << side;
        ASSERT_FALSE(problems.empty());
        EXPECT_NE(problems[0].find("height (offset 528) is " + std::to_string(side) + " tiles"),
                  std::string::npos);
    }
    problems.clear();
    EXPECT_TRUE(CheckStage(MakeEmptyStage(8, 32, 0), &problems));
    EXPECT_TRUE(CheckStage(MakeEmptyStage(1024, 8, 0), &problems));
    EXPECT_FALSE(CheckStage(MakeEmptyStage(2048, 8, 0), &problems));

    StageMap pixels = MakeEmptyStage(32, 32, 0);
    pixels.pixelWidth = 1000;
    problems.clear();
    EXPECT_FALSE(CheckStage(pixels, &problems));
    EXPECT_NE(problems.back().find("pixelWidth (offset 532) is 1000; it must be 1024"), std::string::npos);
    pixels.pixelWidth = 1024;
    pixels.pixelHeight = 1023;
    problems.clear();
    EXPECT_FALSE(CheckStage(pixels, &problems));
    EXPECT_NE(problems.back().find("pixelHeight (offset 536) is 1023"), std::string::npos);

    StageMap kinds = MakeEmptyStage(32, 32, 0);
    SetStageTile(&kinds, 5, 2, 16);
    problems.clear();
    EXPECT_FALSE(CheckStage(kinds, &problems));
    EXPECT_NE(problems.back().find("column 5, row 2 has kind 16"), std::string::npos);

    // 100 walkable cells are not enough: the scatter of 100 closed tiles could cover them all.
    StageMap walls = MakeEmptyStage(32, 32, 1);
    for (int i = 0; i < 100; ++i)
        SetStageTile(&walls, i % 32, i / 32, 0);
    problems.clear();
    EXPECT_FALSE(CheckStage(walls, &problems));
    EXPECT_NE(problems.back().find("has 100 walkable tiles"), std::string::npos);
    SetStageTile(&walls, 10, 10, 9); // opened tiles are walkable too
    problems.clear();
    EXPECT_TRUE(CheckStage(walls, &problems));

    problems.clear();
    EXPECT_FALSE(CheckStage(MakeEmptyStage(16, 16, 0), &problems));
    EXPECT_NE(problems.back().find("16 x 16 tiles is under 32 on both axes"), std::string::npos);
    problems.clear();
    EXPECT_TRUE(CheckStage(MakeEmptyStage(16, 32, 0), &problems)); // one axis is enough for the game
}

TEST(GeneratedStages, MeetTheInvariantsGrowAndHaveNoCutOffPockets) {
    int lastArea = 0;
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        StageMap map = MakeStage(n);
        std::vector<std::string> problems;
        EXPECT_TRUE(CheckStage(map, &problems)) << (problems.empty() ? "" : problems[0]);
        EXPECT_GE(map.width, 32);
        EXPECT_GE(map.height, 32);
        EXPECT_GE(map.width * map.height, lastArea);
        lastArea = map.width * map.height;
        for (uint8_t k : map.tiles) {
            EXPECT_NE(k, 8);  // closed tiles are scattered by the game, not stored
            EXPECT_NE(k, 10); // a stored seal would not need revealing
        }
        EXPECT_EQ(ReachableWalkable(map), CountWalkable(map));
    }
    EXPECT_GT(lastArea, 32 * 32);
}

TEST(StageText, RoundTripIsExactForEveryGeneratedStage) {
    for (int n = 1; n <= 5; ++n) {
        StageMap map = MakeStage(n);
        std::string text = StageToText(map);
        StageMap back;
        std::string why;
        ASSERT_TRUE(StageFromText(text, &back, &why)) << why;
        EXPECT_EQ(EncodeStage(back), EncodeStage(map)) << "stage " << n;
        EXPECT_EQ(StageToText(back), text);
    }
}

TEST(StageText, ReadsWindowsLineEndsAndRefusesBadGrids) {
    StageMap map;
    std::string why;
    ASSERT_TRUE(StageFromText("#.\r\n~r\r\n", &map, &why)) << why;
    EXPECT_EQ(map.width, 2);
    EXPECT_EQ(map.height, 2);
    EXPECT_EQ(map.pixelWidth, 64);
    EXPECT_EQ(map.tiles, (std::vector<uint8_t>{1, 0, 5, 15}));

    EXPECT_FALSE(StageFromText("...\n..\n", &map, &why));
    EXPECT_NE(why.find("row 2 has 2 characters"), std::string::npos) << why;
    EXPECT_FALSE(StageFromText("...\n.Q.\n", &map, &why));
    EXPECT_NE(why.find("row 2, column 2: 'Q'"), std::string::npos) << why;
    EXPECT_FALSE(StageFromText("\n\n", &map, &why));
}

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

TEST(AssetSounds, TheDoorsCreakIsNearlyAsLoudAsItsThud) {
    std::vector<double> door = MakeSound(1);
    const size_t thudAt = static_cast<size_t>(kDoorThudAt * kSoundRate);
    ASSERT_LT(thudAt, door.size());
    double creak = RmsDb(door, 0, thudAt), thud = RmsDb(door, thudAt, door.size());
    EXPECT_LE(thud - creak, 6.0) << creak << " dB creak, " << thud << " dB thud";
    EXPECT_GE(thud - creak, 0.0); // the door still ends on its loudest sound
    EXPECT_GT(creak, -24.0);
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

TEST(AssetSounds, AreShortCleanUnclippedAndAcceptedByTheGamesReader) {
    TempTree tree("sounds");
    for (int id = 0; id < kSoundCount; ++id) {
        SCOPED_TRACE(id);
        std::vector<double> s = MakeSound(id);
        ASSERT_GT(s.size(), 1000u);
        EXPECT_LT(s.size(), static_cast<size_t>(3 * kSoundRate));
        double peak = 0;
        for (double v : s)
            peak = std::max(peak, std::abs(v));
        EXPECT_LT(peak, 0.95); // the headroom the mix needs is checked on the files (sound_levels_test)
        EXPECT_GT(peak, 0.2);
        // Both ends at rest, so starting or cutting a copy does not click.
        EXPECT_LT(std::abs(s.front()), 0.01);
        EXPECT_LT(std::abs(s.back()), 0.01);

        std::string name = "s"; // appended in place: GCC 12 at -O3 warns falsely on "s" + number
        name += std::to_string(id);
        name += ".wav";
        std::string path = (tree.path / name).string();
        ASSERT_TRUE(WriteBytesToFile(path, EncodeWave(s, kSoundRate)));
        WaveFile wave{};
        ASSERT_TRUE(LoadWaveFile(path.c_str(), &wave));
        EXPECT_EQ(wave.format.formatTag, 1);
        EXPECT_EQ(wave.format.channels, 1);
        EXPECT_EQ(wave.format.samplesPerSec, 22050u);
        EXPECT_EQ(wave.size, s.size() * 2);
        FreeWaveFile(&wave);
    }
    EXPECT_TRUE(MakeSound(kSoundCount).empty());
}

TEST(MakeAssets, LaysOutATreeTheCheckerPassesTheSameEveryTime) {
    TempTree first("first"), second("second");
    std::string error;
    ASSERT_TRUE(MakeAssets(first.path.string(), &error)) << error;
    ASSERT_TRUE(MakeAssets(second.path.string(), &error)) << error;
    std::vector<AssetProblem> problems = CheckAssets(first.path.string());
    EXPECT_TRUE(problems.empty()) << Describe(problems);
    EXPECT_TRUE(std::filesystem::is_directory(first.path / "user_data"));
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first.path)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        std::vector<uint8_t> a, b;
        ASSERT_TRUE(ReadBytesFromFile(entry.path().string(), &a));
        ASSERT_TRUE(ReadBytesFromFile(
            (second.path / std::filesystem::relative(entry.path(), first.path)).string(), &b));
        EXPECT_EQ(a, b) << entry.path();
    }
    EXPECT_EQ(files, 8 + 1 + 11 + 5);
}

TEST(CheckAssets, RefusesACorruptedCopyOfEachKindOfFileWithItsReason) {
    TempTree tree("corrupt");
    std::string error;
    ASSERT_TRUE(MakeAssets(tree.path.string(), &error)) << error;
    auto load = [&](const char* gamePath) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadBytesFromFile(tree.File(gamePath), &bytes));
        return bytes;
    };
    auto save = [&](const char* gamePath, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(WriteBytesToFile(tree.File(gamePath), bytes));
    };

    // Bitmaps: wrong depth, cut-off pixels, too small for its cells, a short palette.
    std::vector<uint8_t> player = load(ASSET_PLAYER);
    player[28] = 24;
    save(ASSET_PLAYER, player);
    std::vector<uint8_t> title = load(ASSET_TITLE);
    title.resize(title.size() - 500); // its size field now claims more than there is
    save(ASSET_TITLE, title);
    std::vector<uint8_t> text = load(ASSET_TEXT);
    text.resize(text.size() - 1);
    text[2] = text[3] = text[4] = text[5] = 0; // no size claimed: the rows themselves are short
    save(ASSET_TEXT, text);
    Rgb palette[256];
    MakeGamePalette(palette);
    save(ASSET_MAPCHIP, EncodeBitmap(MakeCanvas(128, 64, 1), palette));
    std::vector<uint8_t> parts = load(ASSET_PARTS);
    parts[46] = 16; // colours used: 16
    parts[47] = 0;
    save(ASSET_PARTS, parts);
    // The name is UTF-8, which a narrow std::filesystem::path does not take on Windows.
    ASSERT_TRUE(std::filesystem::remove(Utf8Path(tree.File(ASSET_FIXEDTEXT))));
    // Blend table of the wrong length.
    save(ASSET_BLEND_TABLE, std::vector<uint8_t>(1000, 0));
    // WAVs: an extensible-size "fmt ", a compressed tag, a data chunk running past the end.
    std::vector<uint8_t> wave = load(ASSET_WAVE_DOOR);
    // Sized once: growing the vector step by step makes GCC 12 at -O3 warn falsely (-Warray-bounds).
    std::vector<uint8_t> longFormat(wave.size() + 24, 0);
    std::copy(wave.begin(), wave.begin() + 36, longFormat.begin());
    std::copy(wave.begin() + 36, wave.end(), longFormat.begin() + 60);
    longFormat[16] = 40;
    longFormat[4] = static_cast<uint8_t>(longFormat[4] + 24);
    save(ASSET_WAVE_DOOR, longFormat);
    std::vector<uint8_t> tagged = load(ASSET_WAVE_OPEN);
    tagged[20] = 3;
    save(ASSET_WAVE_OPEN, tagged);
    std::vector<uint8_t> truncated = load(ASSET_WAVE_SEAL);
    const size_t sealSize = truncated.size();
    truncated.resize(sealSize / 2);
    save(ASSET_WAVE_SEAL, truncated);
    std::vector<uint8_t> longData = load(ASSET_WAVE_PAUSE);
    ASSERT_EQ(std::string(longData.begin() + 36, longData.begin() + 40), "data");
    longData[40] = static_cast<uint8_t>(longData[40] + 2);
    save(ASSET_WAVE_PAUSE, longData);
    // Stages: a width under 8, a kind past 15, a cut grid, no room to walk.
    std::vector<uint8_t> stage1 = load(ASSET_STAGES[0]);
    stage1[524] = 4; // a power of two, but narrower than the game's view
    stage1.resize(584 + 4 * 32);
    save(ASSET_STAGES[0], stage1);
    std::vector<uint8_t> stage2 = load(ASSET_STAGES[1]);
    stage2[584 + 70] = 200;
    save(ASSET_STAGES[1], stage2);
    std::vector<uint8_t> stage3 = load(ASSET_STAGES[2]);
    stage3.resize(stage3.size() - 10);
    save(ASSET_STAGES[2], stage3);
    save(ASSET_STAGES[3], EncodeStage(MakeEmptyStage(64, 64, 13)));
    ASSERT_TRUE(std::filesystem::remove(tree.path / "user_data"));

    std::vector<AssetProblem> problems = CheckAssets(tree.path.string());
    SCOPED_TRACE(Describe(problems));
    EXPECT_TRUE(HasProblem(problems, ASSET_PLAYER, "biBitCount (offset 28) is 24", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_TITLE,
                           "bfSize (offset 2) is " + std::to_string(title.size() + 500) +
                               ", but the file has " + std::to_string(title.size()) + " bytes",
                           true));
    EXPECT_TRUE(HasProblem(problems, ASSET_TEXT, "pixel rows are cut short", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_MAPCHIP, "at least 256 x 64", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_PARTS, "has 16 entries", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_FIXEDTEXT, "missing", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_BLEND_TABLE, "has 1000 bytes", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_DOOR, "chunk has 40 bytes", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_OPEN, "format tag is 3", true));
    // The data chunk is there; it is the RIFF chunk's size that runs past the end of the file.
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_SEAL,
                           "\"RIFF\" chunk's size field (offset 4) is " + std::to_string(sealSize - 8) +
                               ", but only " + std::to_string(sealSize / 2 - 8) + " bytes follow it",
                           true));
    EXPECT_TRUE(HasProblem(problems, ASSET_WAVE_PAUSE, "\"data\" chunk's size field (offset 40) is", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[0], "width (offset 524) is 4 tiles", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[1], "has kind 200", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[2], "cut short", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_STAGES[3], "has 0 walkable tiles", true));
    EXPECT_TRUE(HasProblem(problems, ASSET_RECORD_FOLDER, "cannot be saved", false));
    // The files left alone raise no errors (the short palette does make every sheet's colours differ).
    for (const AssetProblem& p : problems) {
        if (!p.fatal) continue;
        EXPECT_NE(p.file, ASSET_ENEMY);
        EXPECT_NE(p.file, ASSET_WAVE_HELP);
        EXPECT_NE(p.file, ASSET_STAGES[4]);
    }
}

TEST(CheckAssets, WarnsWhenASheetOrTheBlendTableDoesNotMatchThePalette) {
    TempTree tree("palette");
    std::string error;
    ASSERT_TRUE(MakeAssets(tree.path.string(), &error)) << error;
    Rgb palette[256];
    MakeGamePalette(palette);
    Rgb other[256];
    for (int i = 0; i < 256; ++i)
        other[i] = palette[255 - i];
    ASSERT_TRUE(WriteBytesToFile(tree.File(ASSET_ENEMY), EncodeBitmap(MakeEnemySheet(), other)));
    ASSERT_TRUE(WriteBytesToFile(tree.File(ASSET_BLEND_TABLE), MakeBlendTable(other)));
    std::vector<AssetProblem> problems = CheckAssets(tree.path.string());
    EXPECT_TRUE(HasProblem(problems, ASSET_ENEMY, "differs from the palette", false)) << Describe(problems);
    EXPECT_TRUE(HasProblem(problems, ASSET_BLEND_TABLE, "differ from the table made for this palette", false))
        << Describe(problems);
}

TEST(AssetWriters, BitmapsDecodeToTheSamePixelsAndColoursAtAnyWidth) {
    Rgb palette[256];
    MakeGamePalette(palette);
    for (int width : {1, 13, 32}) {
        Canvas c = MakeCanvas(width, 7, 0);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < width; ++x)
                PutPixel(&c, x, y, static_cast<uint8_t>(x * 7 + y * 31));
        }
        std::vector<uint8_t> bytes = EncodeBitmap(c, palette);
        EXPECT_EQ(bytes.size(), 1078u + static_cast<size_t>((width + 3) / 4 * 4 * 7));
        BitmapFile bmp;
        ASSERT_TRUE(DecodeBitmapFile(bytes.data(), bytes.size(), &bmp)) << width;
        EXPECT_EQ(bmp.pixels, c.pixels) << width; // top row first after the bottom-up file order
        EXPECT_EQ(bmp.colorCount, 256);
        EXPECT_EQ(bmp.colorTable[200][2], palette[200].r);
        EXPECT_EQ(bmp.colorTable[200][0], palette[200].b);
    }
}

TEST(AssetWriters, WavesRoundAndClampTheirSamples) {
    std::vector<uint8_t> bytes = EncodeWave({0.0, 0.5, -0.5, 1.5, -1.5, 1.0}, 22050);
    ASSERT_EQ(bytes.size(), 44u + 12u);
    EXPECT_EQ(GetLE32(&bytes[4]), bytes.size() - 8);
    EXPECT_EQ(GetLE32(&bytes[16]), 16u);    // plain PCM block, accepted by the game
    EXPECT_EQ(GetLE32(&bytes[28]), 44100u); // bytes per second
    EXPECT_EQ(GetLE32(&bytes[40]), 12u);
    auto sample = [&](int i) { return static_cast<int16_t>(GetLE16(&bytes[44 + 2 * i])); };
    EXPECT_EQ(sample(0), 0);
    EXPECT_EQ(sample(1), 16384); // 0.5 * 32767 rounded
    EXPECT_EQ(sample(2), -16384);
    EXPECT_EQ(sample(3), 32767);
    EXPECT_EQ(sample(4), -32768);
    EXPECT_EQ(sample(5), 32767);
}

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

TEST(AssetTool, ConvertsStagesBothWaysAndReportsUsageAndFailures) {
    // The tests run in the build folder, beside the tool.
    const std::filesystem::path tool = BuildProgram("quillmarsh-tool");
    ASSERT_TRUE(std::filesystem::exists(tool));
    TempTree tree("tool");
    auto run = [&](const std::vector<std::string>& args) {
        return RunProgram(tool, args, tree.path / "out.txt");
    };
    std::string bgd = (tree.path / "s.bgd").string(), txt = (tree.path / "s.txt").string();
    ASSERT_TRUE(WriteBytesToFile(bgd, EncodeStage(MakeStage(2))));
    EXPECT_EQ(run({"map-to-text", bgd}), 0);
    std::vector<uint8_t> printed;
    ASSERT_TRUE(ReadBytesFromFile((tree.path / "out.txt").string(), &printed));
    std::string expected = StageToText(MakeStage(2));
#if defined(_WIN32)
    // Printed as text, so with the platform's line ends; text-to-map reads them back the same.
    for (size_t at = expected.find('\n'); at != std::string::npos; at = expected.find('\n', at + 2))
        expected.insert(at, 1, '\r');
#endif
    EXPECT_EQ(std::string(printed.begin(), printed.end()), expected);
    ASSERT_TRUE(WriteBytesToFile(txt, printed));
    std::string back = (tree.path / "back.bgd").string();
    EXPECT_EQ(run({"text-to-map", txt, back}), 0);
    std::vector<uint8_t> original, rebuilt;
    ASSERT_TRUE(ReadBytesFromFile(bgd, &original));
    ASSERT_TRUE(ReadBytesFromFile(back, &rebuilt));
    EXPECT_EQ(original, rebuilt);

    // A grid the game could not play is refused and nothing is written.
    std::string tiny = (tree.path / "tiny.txt").string(), none = (tree.path / "none.bgd").string();
    ASSERT_TRUE(WriteBytesToFile(tiny, std::vector<uint8_t>{'.', '.', '\n', '.', '.', '\n'}));
    EXPECT_EQ(run({"text-to-map", tiny, none}), 1);
    EXPECT_FALSE(std::filesystem::exists(none));

    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"map-to-text"}), 2);
    EXPECT_EQ(run({"frobnicate", "x"}), 2);
    EXPECT_EQ(run({"check-assets", (tree.path / "nothing").string()}), 1);
    EXPECT_EQ(run({"make-blend-table", txt, none}), 1);
}
