// Each stage's floors against its walls, and every ghost against every tile, as the game draws them.
// Where a player may walk must read at a glance, and a ghost show on whatever it drifts over; the
// tiles and ghosts go through the game's own copies, blend table and palette at full light.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/asset_paths.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_files.h"
#include "video/blend.h"
#include "video/blit.h"
#include "video/palette.h"
#include "video/surface.h"

namespace {

// A floor and a wall of one stage, each taken as a whole (the mean of its pixels in CIELAB, what the
// eye reads from a tile at a glance), differ by at least this CIE76 colour difference.
constexpr double MIN_TILE_DIFFERENCE = 10.0;
// A ghost changes the lightness (CIELAB L*) of the tile under it by at least this much on average
// over its pixels, on every tile of a stage, walls included: ghosts drift through everything.
constexpr double MIN_GHOST_LIGHTNESS_CHANGE = 16.0;

struct Lab {
    double l, a, b;
};

double Linear(uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LabCurve(double t) {
    return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
}

// An sRGB colour in CIELAB, D65 white.
Lab ToLab(const PaletteEntry& e) {
    const double r = Linear(e.red), g = Linear(e.green), b = Linear(e.blue);
    const double x = LabCurve((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047);
    const double y = LabCurve(0.2126 * r + 0.7152 * g + 0.0722 * b);
    const double z = LabCurve((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883);
    return Lab{116 * y - 16, 500 * (x - y), 200 * (y - z)};
}

double Difference(const Lab& p, const Lab& q) {
    return std::sqrt((p.l - q.l) * (p.l - q.l) + (p.a - q.a) * (p.a - q.a) + (p.b - q.b) * (p.b - q.b));
}

using Cell = std::vector<uint8_t>; // 32 x 32 palette indices, top row first

// The kinds a stage file holds, and the three every stage comes to show in play.
std::set<int32_t> StageKinds(int32_t number) {
    MapData map = {};
    std::set<int32_t> kinds = {TILE_CLOSED, TILE_OPENED, TILE_SEAL};
    EXPECT_TRUE(LoadMapData(&map, ASSET_STAGES[number - 1])) << number;
    for (int32_t r = 0; r < map.height; ++r)
        for (int32_t c = 0; c < map.width; ++c)
            kinds.insert(map.rows[r][c]);
    FreeMapData(&map);
    return kinds;
}

class StageContrast : public testing::Test {
  protected:
    void SetUp() override {
        StartOnGeneratedAssets(&dir);
        ASSERT_TRUE(DDLoadTableSurface(SURFACE_MAPCHIP));
        ASSERT_TRUE(DDLoadTableSurface(SURFACE_ENEMY));
        ASSERT_TRUE(DDCreateSurface(&cell, 32, 32, 0, MEMORY_SYSTEM));
        // The light of a stage's first frame.
        DDTintPalette(workPalette, 0, 216, LIGHT_MAX / 100, 0, 0, 0, basePalette);
    }
    void TearDown() override {
        DDReleaseSurface(&cell);
        StopStartedGame(&dir);
    }

    Cell Read(Surface* s, int32_t x, int32_t y) {
        SurfaceDesc desc;
        uint8_t* pixels = nullptr;
        Cell out;
        EXPECT_TRUE(DDLockSurface(s, &desc, &pixels, 8));
        if (!pixels) return out;
        for (int32_t j = 0; j < 32; ++j)
            for (int32_t i = 0; i < 32; ++i)
                out.push_back(pixels[(y + j) * desc.pitch + x + i]);
        DDUnlockSurface(s);
        return out;
    }
    void DrawTile(int32_t kind) {
        DDBltClip(&cell, 0, 0, 32, 32, &surfaceTable[SURFACE_MAPCHIP], (kind & 7) * 32, (kind >> 3) * 32,
                  BLT_OPAQUE);
    }
    Cell Tile(int32_t kind) {
        DrawTile(kind);
        return Read(&cell, 0, 0);
    }
    // Frame `column`, facing row `row` of the enemy sheet, over the tile as the game draws a ghost.
    Cell GhostOver(int32_t kind, int32_t column, int32_t row) {
        DrawTile(kind);
        EXPECT_TRUE(HalfBlendBlt(&cell, 0, 0, 32, 32, &surfaceTable[SURFACE_ENEMY], column * 32, row * 32,
                                 BLEND_KEYED, halfBlendTable));
        return Read(&cell, 0, 0);
    }
    Lab MeanLab(const Cell& c) {
        Lab sum{0, 0, 0};
        for (uint8_t p : c) {
            const Lab v = ToLab(workPalette[p]);
            sum = Lab{sum.l + v.l, sum.a + v.a, sum.b + v.b};
        }
        const double n = static_cast<double>(c.size());
        return Lab{sum.l / n, sum.a / n, sum.b / n};
    }
    // Mean change of L* over the ghost's pixels, in both walking frames of every facing.
    double GhostLightnessChange(int32_t variant, int32_t kind) {
        const Cell tile = Tile(kind);
        double sum = 0;
        int32_t n = 0;
        for (int32_t row = 0; row < 4; ++row) {
            for (int32_t frame = 1; frame <= 2; ++frame) {
                const int32_t column = frame + variant * 4;
                const Cell sprite = Read(&surfaceTable[SURFACE_ENEMY], column * 32, row * 32);
                const Cell drawn = GhostOver(kind, column, row);
                for (size_t i = 0; i < sprite.size(); ++i) {
                    if (sprite[i] == 0) continue;
                    sum += std::abs(ToLab(workPalette[drawn[i]]).l - ToLab(workPalette[tile[i]]).l);
                    ++n;
                }
            }
        }
        EXPECT_GT(n, 0);
        return n ? sum / n : 0;
    }

    std::unique_ptr<ScopedWorkDir> dir;
    Surface cell = {};
};

} // namespace

TEST(ColourDifference, MatchesKnownCielabValues) {
    const Lab white = ToLab(PaletteEntry{255, 255, 255, 0}), black = ToLab(PaletteEntry{0, 0, 0, 0});
    const Lab red = ToLab(PaletteEntry{255, 0, 0, 0}), grey = ToLab(PaletteEntry{119, 119, 119, 0});
    EXPECT_NEAR(white.l, 100.0, 0.05);
    EXPECT_NEAR(white.a, 0.0, 0.05);
    EXPECT_NEAR(white.b, 0.0, 0.05);
    EXPECT_NEAR(black.l, 0.0, 1e-9);
    EXPECT_NEAR(red.l, 53.24, 0.05);
    EXPECT_NEAR(red.a, 80.09, 0.1);
    EXPECT_NEAR(red.b, 67.20, 0.1);
    EXPECT_NEAR(grey.l, 50.0, 0.1);
    EXPECT_NEAR(Difference(red, grey), std::hypot(3.24, 80.09, 67.20), 0.2);
}

TEST_F(StageContrast, EveryFloorDiffersFromEveryWallOfItsStage) {
    for (int32_t stageNumber = 1; stageNumber <= 5; ++stageNumber) {
        const std::set<int32_t> kinds = StageKinds(stageNumber);
        int32_t floors = 0, walls = 0;
        double worst = 1e9;
        for (int32_t floor : kinds) {
            if (tileSolid[floor]) continue;
            ++floors;
            const Lab f = MeanLab(Tile(floor));
            for (int32_t wall : kinds) {
                if (!tileSolid[wall]) continue;
                const double d = Difference(f, MeanLab(Tile(wall)));
                EXPECT_GE(d, MIN_TILE_DIFFERENCE)
                    << "stage " << stageNumber << ": floor kind " << floor << " against wall kind " << wall;
                worst = std::min(worst, d);
            }
        }
        walls = static_cast<int32_t>(kinds.size()) - floors;
        EXPECT_GE(floors, 3) << stageNumber; // the file's own floors, the opened tile and the seal
        EXPECT_GE(walls, 2) << stageNumber;  // the file's own walls and the closed tile
        RecordProperty("stage" + std::to_string(stageNumber) + "_worst_tile_difference",
                       std::to_string(worst));
    }
}

TEST_F(StageContrast, EveryGhostShowsOnEveryTileOfItsStage) {
    double overall[3] = {0, 0, 0};
    int32_t counted = 0;
    for (int32_t stageNumber = 1; stageNumber <= 5; ++stageNumber) {
        double worst = 1e9;
        for (int32_t kind : StageKinds(stageNumber)) {
            ++counted;
            for (int32_t variant = 0; variant < 3; ++variant) {
                const double change = GhostLightnessChange(variant, kind);
                EXPECT_GE(change, MIN_GHOST_LIGHTNESS_CHANGE)
                    << "stage " << stageNumber << ": ghost " << variant << " over kind " << kind;
                worst = std::min(worst, change);
                overall[variant] += change;
            }
        }
        RecordProperty("stage" + std::to_string(stageNumber) + "_worst_ghost_change", std::to_string(worst));
    }
    ASSERT_GT(counted, 0);
    // No kind of ghost is much fainter than the others.
    const double weakest = std::min({overall[0], overall[1], overall[2]});
    const double strongest = std::max({overall[0], overall[1], overall[2]});
    EXPECT_GE(weakest / strongest, 0.75) << weakest / counted << " against " << strongest / counted;
}
