// The map-chip sheet: sixteen 32x32 tile kinds, each seamless against itself.
#include "tools/assets/palette_ramps.h"
#include "tools/assets/sheets.h"

#include <cmath>

namespace assets {

namespace {

constexpr int kTile = 32;

void PutWrap(Canvas* t, int x, int y, uint8_t index) {
    PutPixel(t, x & 31, y & 31, index);
}

// Shade by a fractional ramp level, dithered between neighbouring shades.
uint8_t Level(PaletteRamp ramp, double level, int x, int y) {
    int n = RampLength(ramp);
    double t = level / (n - 1);
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    return DitherShade(ramp, t, x, y);
}

double Noise(int x, int y, int cell, uint32_t seed) {
    return TileFractal(x, y, cell, kTile, 3, seed) - 0.5;
}

// One bevelled block (stone, brick) inside a gap colour already laid down; wraps across the tile.
void Block(Canvas* t, int bx, int by, int bw, int bh, PaletteRamp ramp, double base, double bevel,
           uint32_t seed) {
    for (int j = 0; j < bh - 1; ++j) {
        for (int i = 0; i < bw - 1; ++i) {
            bool corner = (i == 0 || i == bw - 2) && (j == 0 || j == bh - 2);
            if (corner) continue;
            int x = bx + i, y = by + j;
            double level = base + Noise(x, y, 8, seed) * 3.0 + (HashPoint(x, y, seed) % 7 == 0 ? -0.8 : 0.0);
            if (i == 0 || j == 0)
                level += bevel;
            else if (i == bw - 2 || j == bh - 2)
                level -= bevel;
            PutWrap(t, x, y, Level(ramp, level, x & 31, y & 31));
        }
    }
}

// A short crooked dark line across a surface.
void Crack(Canvas* t, AssetRng* rng, int x, int y, int steps, uint8_t index) {
    int dx = NextBelow(rng, 2) ? 1 : -1;
    for (int s = 0; s < steps; ++s) {
        PutWrap(t, x, y, index);
        if (NextBelow(rng, 3) == 0)
            x += dx;
        else
            y += 1;
    }
}

// A tile of one ramp whose level wanders with tiling noise: the ground most tiles start from.
Canvas NoisyGround(PaletteRamp ramp, double base, double spread, int cell, uint32_t seed) {
    Canvas t = MakeCanvas(kTile, kTile, 0);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x)
            PutPixel(&t, x, y, Level(ramp, base + Noise(x, y, cell, seed) * spread, x, y));
    }
    return t;
}

// Worn sandstone paving laid flush: big flags, hairline joints and no bevel, so nothing about it
// stands up the way the walls do, and lighter than any wall it meets.
Canvas Paving(uint32_t seed) {
    Canvas t = MakeCanvas(kTile, kTile, 0);
    // Two courses of unequal flags, their joints staggered.
    auto joint = [](int x, int y) {
        if (y % 16 == 15) return true;
        return y < 16 ? (x == 13 || x == 31) : (x == 5 || x == 22);
    };
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            double wear = Noise(x, y, 8, seed) * 1.6 + Noise(x, y, 2, seed + 1) * 0.7;
            double level = 2.3 + wear;
            if (joint(x, y)) level = 1.0 + Noise(x, y, 4, seed + 2);
            PutPixel(&t, x, y, Level(RAMP_BONE, level, x, y));
        }
    }
    return t;
}

// Red brick in dark mortar: redder than the earth and wood floors it encloses.
Canvas BrickWall() {
    Canvas t = NoisyGround(RAMP_BRICK, 1.2, 1.5, 4, 11);
    Canvas bricks = MakeCanvas(kTile, kTile, 0);
    for (int row = 0; row < 4; ++row) {
        int offset = row % 2 ? 8 : 0;
        for (int col = 0; col < 2; ++col) {
            uint32_t h = HashPoint(col, row, 5);
            double base = 7.5 + (h % 5) * 0.5 - 1.0;
            Block(&bricks, offset + col * 16, row * 8, 16, 8, RAMP_BRICK, base, 1.6, 40 + h % 13);
        }
    }
    // Soot and damp streaks make the wall look old rather than new.
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            if (GetPixel(bricks, x, y) && Noise(x, y, 16, 77) > 0.22)
                PutPixel(&bricks, x, y, Level(RAMP_BRICK, 2.5 + Noise(x, y, 4, 78) * 2, x, y));
        }
    }
    PasteCanvas(&t, bricks, 0, 0, true);
    return t;
}

Canvas CryptBlocks() {
    Canvas t = MakeCanvas(kTile, kTile, Shade(RAMP_SHADOW, 1));
    Block(&t, 0, 0, 32, 16, RAMP_SLATE, 5.0, 2.2, 21);
    Block(&t, 16, 16, 32, 16, RAMP_SLATE, 4.3, 2.2, 22);
    AssetRng rng = SeedRng(23);
    Crack(&t, &rng, 6, 2, 9, Shade(RAMP_SHADOW, 2));
    Crack(&t, &rng, 27, 19, 8, Shade(RAMP_SHADOW, 2));
    // Lichen spots.
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            if (Noise(x, y, 4, 24) > 0.3 && GetPixel(t, x, y) != Shade(RAMP_SHADOW, 1)) {
                PutPixel(&t, x, y, Level(RAMP_MOSS, 4 + Noise(x, y, 2, 25) * 4, x, y));
            }
        }
    }
    return t;
}

Canvas ThornHedge() {
    Canvas t = NoisyGround(RAMP_MARSH, 1.5, 3, 8, 31);
    AssetRng rng = SeedRng(32);
    // Leaf clumps, darker underneath and lit at the top-left.
    for (int i = 0; i < 26; ++i) {
        int cx = NextBelow(&rng, 32), cy = NextBelow(&rng, 32);
        double r = 2.5 + NextUnit(&rng) * 3.0;
        for (int dy = -6; dy <= 6; ++dy) {
            for (int dx = -6; dx <= 6; ++dx) {
                double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
                if (d > r) continue;
                double light = 3.2 - (dx + dy) / r * 1.5 + (1.0 - d / r) * 1.5;
                PutWrap(&t, cx + dx, cy + dy, Level(RAMP_MARSH, light, cx + dx, cy + dy));
            }
        }
    }
    // Bare thorny branches over the leaves.
    for (int i = 0; i < 6; ++i) {
        int x = NextBelow(&rng, 32), y = NextBelow(&rng, 32);
        int dx = NextBelow(&rng, 3) - 1, dy = NextBelow(&rng, 2) ? 1 : -1;
        for (int s = 0; s < 14; ++s) {
            PutWrap(&t, x, y, Shade(RAMP_WOOD, 3));
            PutWrap(&t, x + 1, y, Shade(RAMP_WOOD, 1));
            if (s % 4 == 2) PutWrap(&t, x - 1, y - 1, Shade(RAMP_BONE, 2));
            x += dx;
            y += dy;
            if (NextBelow(&rng, 3) == 0) dx = NextBelow(&rng, 3) - 1;
        }
    }
    return t;
}

Canvas Boards() {
    Canvas t = MakeCanvas(kTile, kTile, 0);
    const int seams[4] = {5, 21, 13, 28};
    for (int y = 0; y < kTile; ++y) {
        int plank = y / 8, py = y % 8;
        for (int x = 0; x < kTile; ++x) {
            double grain = TileNoise(x * 0.25, y * 3.0, 2, 8, static_cast<uint32_t>(50 + plank)) - 0.5;
            double level = 9.0 + grain * 3.0 + (plank % 2 ? -0.6 : 0.3);
            if (py == 0) level += 1.5;
            if (py == 6) level -= 2.0;
            uint8_t c = Level(RAMP_WOOD, level, x, y);
            if (py == 7) c = Shade(RAMP_SHADOW, 2);
            if (x == seams[plank]) c = Shade(RAMP_SHADOW, 3);
            if (x == (seams[plank] + 1) % 32 && py < 7) c = Level(RAMP_WOOD, level + 1.5, x, y);
            PutPixel(&t, x, y, c);
        }
        // Nails either side of each seam.
    }
    for (int plank = 0; plank < 4; ++plank) {
        int y = plank * 8 + 3;
        PutWrap(&t, seams[plank] - 2, y, Shade(RAMP_STONE, 9));
        PutWrap(&t, seams[plank] + 3, y, Shade(RAMP_STONE, 9));
        PutWrap(&t, seams[plank] - 2, y + 1, Shade(RAMP_SHADOW, 3));
        PutWrap(&t, seams[plank] + 3, y + 1, Shade(RAMP_SHADOW, 3));
    }
    return t;
}

Canvas MarshWater() {
    Canvas t = MakeCanvas(kTile, kTile, 0);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            double n = TileFractal(x, y, 16, kTile, 3, 61);
            double level = 1.2 + n * 3.0;
            // Ripples: thin lit bands along a slow wave.
            double wave = std::sin((y + 3.0 * std::sin(x * 2 * M_PI / 32.0)) * 2 * M_PI / 8.0);
            if (wave > 0.92)
                level += 3.0;
            else if (wave > 0.75)
                level += 1.2;
            PutPixel(&t, x, y, Level(RAMP_WATER, level, x, y));
        }
    }
    // A few bright glints.
    AssetRng rng = SeedRng(62);
    for (int i = 0; i < 5; ++i) {
        int x = NextBelow(&rng, 32), y = NextBelow(&rng, 32);
        PutWrap(&t, x, y, Shade(RAMP_WATER, 9));
        PutWrap(&t, x + 1, y, Shade(RAMP_WATER, 7));
    }
    return t;
}

// Olive moss and marsh grass: yellower and lighter than the dark green of hedges and grave plots.
Canvas Moss(uint32_t seed, double base) {
    Canvas t = MakeCanvas(kTile, kTile, 0);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            double n = TileFractal(x, y, 16, kTile, 3, seed);
            PutPixel(&t, x, y, Level(RAMP_MOSS, base + (n - 0.5) * 3, x, y));
        }
    }
    AssetRng rng = SeedRng(seed + 1);
    for (int i = 0; i < 34; ++i) {
        int x = NextBelow(&rng, 32), y = NextBelow(&rng, 32), h = 2 + NextBelow(&rng, 2);
        int lean = NextBelow(&rng, 3) - 1;
        for (int s = 0; s < h; ++s) {
            PutWrap(&t, x + (s == h - 1 ? lean : 0), y - s,
                    Shade(RAMP_MARSH, static_cast<int>(base) + 3 + s));
        }
        PutWrap(&t, x, y + 1, Shade(RAMP_MOSS, 1));
    }
    for (int i = 0; i < 4; ++i) {
        int x = NextBelow(&rng, 32), y = NextBelow(&rng, 32);
        PutWrap(&t, x, y, Shade(RAMP_BONE, 7));
        PutWrap(&t, x + 1, y + 1, Shade(RAMP_SHADOW, 4));
    }
    return t;
}

// A grave plot: a squat, broad headstone of dark weathered stone behind a grassed-over mound, in
// tangled dark undergrowth that fills the tile. Broad, dark and warm where a ghost is narrow, pale
// and cold, so the two are not taken for each other.
Canvas Gravestone() {
    Canvas t = NoisyGround(RAMP_MARSH, 1.6, 2.5, 8, 71);
    AssetRng rng = SeedRng(74);
    for (int i = 0; i < 40; ++i) {
        int x = NextBelow(&rng, 32), y = NextBelow(&rng, 32);
        PutWrap(&t, x, y, Shade(RAMP_MARSH, 3 + NextBelow(&rng, 2)));
        PutWrap(&t, x + 1, y + 1, Shade(RAMP_SHADOW, 1));
    }
    // The grassed-over mound, lit along its top.
    for (int y = 14; y < 30; ++y) {
        for (int x = 4; x < 28; ++x) {
            double dx = (x + 0.5 - 16) / 10.0, dy = (y + 0.5 - 21.5) / 6.0;
            if (dx * dx + dy * dy > 1) continue;
            double level = 3.4 - dy * 2.0 + Noise(x, y, 4, 75) * 2.0;
            PutPixel(&t, x, y, Level(RAMP_MARSH, level, x, y));
        }
    }
    FillEllipse(&t, 16.5, 17, 11, 2, Shade(RAMP_SHADOW, 1)); // the stone's shadow
    Canvas stone = MakeCanvas(kTile, kTile, 0);
    FillRect(&stone, 5, 6, 22, 10, 1);
    FillEllipse(&stone, 9, 6.5, 4, 3.5, 1);
    FillEllipse(&stone, 22.5, 6.5, 4, 3.5, 1);
    FillRect(&stone, 9, 3, 14, 4, 1);
    PutPixel(&stone, 21, 3, 0); // a chipped shoulder
    PutPixel(&stone, 22, 3, 0);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            if (!GetPixel(stone, x, y)) continue;
            double level = 2.6 + Noise(x, y, 4, 72) * 1.4;
            if (!GetPixel(stone, x - 1, y) || !GetPixel(stone, x, y - 1)) level += 1.2;
            if (!GetPixel(stone, x + 1, y) || !GetPixel(stone, x, y + 1)) level -= 1.2;
            uint8_t c = Level(RAMP_WARMGREY, level, x, y);
            if (Noise(x, y, 4, 76) > 0.18) c = Level(RAMP_MOSS, 2.5 + Noise(x, y, 2, 77) * 2, x, y);
            PutPixel(&t, x, y, c);
        }
    }
    // A carved cross.
    FillRect(&t, 15, 5, 2, 9, Shade(RAMP_SHADOW, 2));
    FillRect(&t, 12, 7, 8, 2, Shade(RAMP_SHADOW, 2));
    return t;
}

Canvas ClosedSlab() {
    Canvas t = Paving(81);
    FillRect(&t, 1, 1, 30, 30, Shade(RAMP_SHADOW, 0));
    for (int y = 2; y < 30; ++y) {
        for (int x = 2; x < 30; ++x) {
            double level = 5.5 + Noise(x, y, 8, 82) * 2.5;
            if (x < 4 || y < 4)
                level = 9.5;
            else if (x > 27 || y > 27)
                level = 3.0;
            PutPixel(&t, x, y, Level(RAMP_SLATE, level, x, y));
        }
    }
    // Engraved inner border.
    for (int i = 7; i < 25; ++i) {
        PutPixel(&t, i, 7, Shade(RAMP_SLATE, 3));
        PutPixel(&t, 7, i, Shade(RAMP_SLATE, 3));
        PutPixel(&t, i, 24, Shade(RAMP_SLATE, 10));
        PutPixel(&t, 24, i, Shade(RAMP_SLATE, 10));
    }
    // Iron ring handle hanging from a staple: the sign that this lid can be lifted.
    FillRect(&t, 13, 9, 6, 3, Shade(RAMP_SHADOW, 1));
    FillRect(&t, 14, 9, 4, 2, Shade(RAMP_STONE, 4));
    PutPixel(&t, 14, 9, Shade(RAMP_STONE, 9));
    for (int y = 10; y < 25; ++y) {
        for (int x = 9; x < 24; ++x) {
            double dx = (x + 0.5 - 16) / 6.0, dy = (y + 0.5 - 17.5) / 5.5;
            double d = std::sqrt(dx * dx + dy * dy);
            if (d > 1.0 || d < 0.62) continue;
            // Lit on its upper-left rim, dark below; a shadow falls just under it.
            double lit = -(dx + dy);
            PutPixel(&t, x, y,
                     lit > 0.5    ? Shade(RAMP_STONE, 11)
                     : lit > -0.3 ? Shade(RAMP_STONE, 6)
                                  : Shade(RAMP_STONE, 3));
            if (GetPixel(t, x + 1, y + 1) != Shade(RAMP_STONE, 11))
                PutPixel(&t, x + 1, y + 2, Shade(RAMP_SLATE, 3));
        }
    }
    // Rivets in the corners.
    const int rivets[4][2] = {{5, 5}, {26, 5}, {5, 26}, {26, 26}};
    for (const auto& r : rivets) {
        PutPixel(&t, r[0], r[1], Shade(RAMP_STONE, 12));
        PutPixel(&t, r[0] + 1, r[1] + 1, Shade(RAMP_SHADOW, 1));
    }
    return t;
}

// The hollow under a lifted slab, in the paving: earth floor, shaded far (top) and left walls.
Canvas Hollow(uint32_t seed) {
    Canvas t = Paving(seed);
    FillRect(&t, 2, 2, 28, 28, Shade(RAMP_SHADOW, 0));
    FillRect(&t, 3, 3, 26, 26, Shade(RAMP_SLATE, 6));
    for (int y = 5; y < 27; ++y) {
        for (int x = 5; x < 27; ++x) {
            double level = 3.4 + Noise(x, y, 8, seed + 1) * 2.0;
            if (y < 9)
                level = 1.0 + (y - 5) * 0.4;
            else if (x < 7)
                level = 1.6;
            PutPixel(&t, x, y, Level(RAMP_WOOD, level, x, y));
        }
    }
    return t;
}

// The slab shoved aside off a shallow hollow of dry earth: ground one can step into, not a hole.
Canvas OpenedPit() {
    Canvas t = Hollow(91);
    // The lid, shoved down and to the right, lies across a corner.
    for (int y = 22; y < 32; ++y) {
        for (int x = 19; x < 32; ++x) {
            if (x - 19 + (31 - y) < 5) continue; // chipped corner
            double level = 6.5 + Noise(x, y, 8, 93) * 2.5;
            if (y == 22 || x == 19) level = 10;
            PutPixel(&t, x, y, Level(RAMP_SLATE, level, x, y));
        }
    }
    DrawLine(&t, 18, 23, 18, 31, Shade(RAMP_SHADOW, 0));
    DrawLine(&t, 20, 21, 31, 21, Shade(RAMP_SHADOW, 0));
    // Dust and a bone in the hollow.
    DrawLine(&t, 8, 14, 13, 12, Shade(RAMP_BONE, 5));
    PutPixel(&t, 7, 14, Shade(RAMP_BONE, 7));
    PutPixel(&t, 14, 12, Shade(RAMP_BONE, 7));
    return t;
}

// The seal glowing in the hollow its slab covered.
Canvas Seal() {
    Canvas t = Hollow(101);
    const double cx = 16, cy = 16;
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (d >= 10.5 && d < 12.5)
                PutPixel(&t, x, y, Shade(RAMP_GLOW_CYAN, d < 11.5 ? 6 : 4));
            else if (d >= 12.5 && d < 15.5) {
                // Glow fading out from the ring.
                if ((15.5 - d) / 3.0 > BayerThreshold(x, y) + 0.25)
                    PutPixel(&t, x, y, Shade(RAMP_GLOW_CYAN, 1));
            } else if (d < 10.5 && d > 9.3) {
                PutPixel(&t, x, y, Shade(RAMP_GLOW_CYAN, 2));
            }
        }
    }
    // A six-pointed star of two triangles inside the ring, and a bright eye at the heart.
    for (int k = 0; k < 6; ++k) {
        double a0 = -M_PI / 2 + k * M_PI / 3, a1 = a0 + 2 * M_PI / 3;
        DrawLine(&t, static_cast<int>(std::lround(cx + 9.5 * std::cos(a0) - 0.5)),
                 static_cast<int>(std::lround(cy + 9.5 * std::sin(a0) - 0.5)),
                 static_cast<int>(std::lround(cx + 9.5 * std::cos(a1) - 0.5)),
                 static_cast<int>(std::lround(cy + 9.5 * std::sin(a1) - 0.5)), Shade(RAMP_GLOW_VIOLET, 3));
    }
    FillEllipse(&t, cx, cy, 3.2, 2.2, Shade(RAMP_GLOW_VIOLET, 5));
    FillEllipse(&t, cx, cy, 1.2, 1.2, Shade(RAMP_GLOW_CYAN, 1));
    // Rune ticks around the ring.
    for (int k = 0; k < 12; ++k) {
        double a = k * M_PI / 6 + M_PI / 12;
        int x = static_cast<int>(std::floor(cx + 14 * std::cos(a))),
            y = static_cast<int>(std::floor(cy + 14 * std::sin(a)));
        PutPixel(&t, x, y, Shade(RAMP_GLOW_CYAN, 5));
    }
    return t;
}

Canvas CaveRock() {
    Canvas t = MakeCanvas(kTile, kTile, 0);
    AssetRng rng = SeedRng(111);
    double px[8], py[8], shade[8];
    for (int i = 0; i < 8; ++i) {
        px[i] = NextUnit(&rng) * 32;
        py[i] = NextUnit(&rng) * 32;
        shade[i] = 3.0 + NextUnit(&rng) * 2.0;
    }
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            double d1 = 1e9, d2 = 1e9;
            int best = 0;
            double bx = 0, by = 0;
            for (int i = 0; i < 8; ++i) {
                double dx = x + 0.5 - px[i], dy = y + 0.5 - py[i];
                dx -= 32 * std::round(dx / 32);
                dy -= 32 * std::round(dy / 32);
                double d = std::hypot(dx, dy);
                if (d < d1) {
                    d2 = d1;
                    d1 = d;
                    best = i;
                    bx = dx;
                    by = dy;
                } else if (d < d2) {
                    d2 = d;
                }
            }
            double level;
            if (d2 - d1 < 1.3)
                level = 0.3;
            else {
                // Boulders lit from the top-left: brighter where the surface faces that way.
                double facing = -(bx + by) / (d1 + 2.0);
                level = shade[best] + facing * 2.2 + Noise(x, y, 4, 112) * 1.5;
            }
            // Cold grey stone, where the gravel and mud of the cave floor are warm.
            PutPixel(&t, x, y, Level(RAMP_STONE, level * 2.0, x, y));
        }
    }
    return t;
}

Canvas Gravel() {
    Canvas t = NoisyGround(RAMP_WOOD, 2.5, 3, 8, 121);
    AssetRng rng = SeedRng(122);
    for (int i = 0; i < 120; ++i) {
        int x = NextBelow(&rng, 32), y = NextBelow(&rng, 32);
        int level = 2 + NextBelow(&rng, 5);
        PaletteRamp ramp = NextBelow(&rng, 3) ? RAMP_WARMGREY : RAMP_STONE;
        bool big = NextBelow(&rng, 3) == 0;
        PutWrap(&t, x + 1, y + 1, Shade(RAMP_SHADOW, 3));
        if (big) PutWrap(&t, x + 2, y + 1, Shade(RAMP_SHADOW, 3));
        PutWrap(&t, x, y, Shade(ramp, level));
        PutWrap(&t, x + 1, y, Shade(ramp, level - 1));
        if (big) {
            PutWrap(&t, x, y - 1, Shade(ramp, level + 2));
            PutWrap(&t, x + 1, y - 1, Shade(ramp, level + 1));
            PutWrap(&t, x + 2, y, Shade(ramp, level - 2));
        }
    }
    return t;
}

Canvas Earth(uint32_t seed, double base) {
    Canvas t = MakeCanvas(kTile, kTile, 0);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            PutPixel(&t, x, y,
                     Level(RAMP_WOOD, base + (TileFractal(x, y, 16, kTile, 3, seed) - 0.5) * 4, x, y));
        }
    }
    return t;
}

void Bone(Canvas* t, int x0, int y0, int x1, int y1) {
    DrawLine(t, x0 + 1, y0 + 1, x1 + 1, y1 + 1, Shade(RAMP_SHADOW, 2));
    DrawLine(t, x0, y0, x1, y1, Shade(RAMP_BONE, 6));
    const int ends[2][2] = {{x0, y0}, {x1, y1}};
    for (const auto& e : ends) {
        PutPixel(t, e[0] - 1, e[1], Shade(RAMP_BONE, 8));
        PutPixel(t, e[0] + 1, e[1], Shade(RAMP_BONE, 7));
        PutPixel(t, e[0], e[1] - 1, Shade(RAMP_BONE, 9));
    }
}

Canvas Bones() {
    Canvas t = Earth(131, 1.8); // darker than the mud, so the brick beside it stays the redder
    // Skull seen from above-front.
    FillEllipse(&t, 12.5, 13.5, 6, 5.5, Shade(RAMP_SHADOW, 2));
    FillEllipse(&t, 12, 12.5, 5.5, 5, Shade(RAMP_BONE, 6));
    FillEllipse(&t, 11, 11, 3, 2.5, Shade(RAMP_BONE, 8));
    FillRect(&t, 9, 16, 6, 2, Shade(RAMP_BONE, 5));
    FillRect(&t, 9, 12, 2, 2, Shade(RAMP_SHADOW, 0));
    FillRect(&t, 13, 12, 2, 2, Shade(RAMP_SHADOW, 0));
    PutPixel(&t, 12, 15, Shade(RAMP_SHADOW, 1));
    for (int x = 10; x < 15; x += 2)
        PutPixel(&t, x, 17, Shade(RAMP_SHADOW, 2));
    Bone(&t, 19, 22, 28, 26);
    Bone(&t, 4, 26, 11, 23);
    Bone(&t, 22, 6, 25, 13);
    return t;
}

Canvas Mud() {
    Canvas t = Earth(141, 2.6);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            double wet = TileFractal(x, y, 8, kTile, 2, 142);
            if (wet > 0.66)
                PutPixel(&t, x, y, Level(RAMP_WATER, 1.0 + (wet - 0.66) * 12, x, y));
            else if (wet > 0.6)
                PutPixel(&t, x, y, Shade(RAMP_WOOD, 1));
        }
    }
    // Footprints pressed into the mud.
    const int prints[3][2] = {{8, 6}, {14, 16}, {9, 26}};
    for (const auto& p : prints) {
        FillEllipse(&t, p[0], p[1], 1.6, 2.4, Shade(RAMP_WOOD, 0));
        PutPixel(&t, p[0], p[1] + 2, Shade(RAMP_WOOD, 4));
    }
    return t;
}

// Indigo, so the player's crimson cloak stands out on it.
Canvas Rug() {
    Canvas t = MakeCanvas(kTile, kTile, 0);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            int ex = std::min(x, 31 - x), ey = std::min(y, 31 - y), edge = std::min(ex, ey);
            int dx = std::abs(x * 2 + 1 - 32), dy = std::abs(y * 2 + 1 - 32);
            int diamond = (dx + dy) / 2;
            double wear = Noise(x, y, 8, 151) * 2.0;
            uint8_t c;
            if (edge == 0)
                c = Shade(RAMP_NIGHT, 1);
            else if (edge == 2)
                c = Level(RAMP_GOLD, 4 + wear, x, y);
            else if (edge < 4)
                c = Level(RAMP_NIGHT, 3 + wear, x, y);
            else if (diamond == 9 || diamond == 4)
                c = Level(RAMP_GOLD, 3.5 + wear, x, y);
            else if (diamond < 2)
                c = Shade(RAMP_GOLD, 5);
            else
                c = Level(RAMP_NIGHT, (diamond > 9 ? 4.5 : 5.5) + wear, x, y);
            PutPixel(&t, x, y, c);
        }
    }
    return t;
}

// Makes a blocking tile stand up out of the floor: its top surface is lit at its back edge and
// along its front rim, below the rim a face in shade drops to a dark foot where it meets the
// ground. Floors get none of this, so what blocks reads at a glance.
void RaiseTile(Canvas* t) {
    // Shade steps per row: the back edge, then from the front rim down to the foot.
    const int back[2] = {3, 1};
    const int front[8] = {4, -3, -3, -4, -4, -5, -6, -8};
    const int rim = kTile - 8;
    for (int x = 0; x < kTile; ++x) {
        for (int y = 0; y < 2; ++y)
            PutPixel(t, x, y, ShiftShade(GetPixel(*t, x, y), back[y]));
        for (int k = 0; k < 8; ++k)
            PutPixel(t, x, rim + k, ShiftShade(GetPixel(*t, x, rim + k), front[k]));
        PutPixel(t, x, kTile - 1, Shade(RAMP_SHADOW, 0));
    }
}

} // namespace

Canvas MakeMapChipSheet() {
    Canvas tiles[16] = {
        Paving(1),     // 0 floor
        BrickWall(),   // 1 wall
        CryptBlocks(), // 2 wall
        ThornHedge(),  // 3 wall
        Boards(),      // 4 floor
        MarshWater(),  // 5 wall: deep water
        Moss(61, 3.6), // 6 floor
        Gravestone(),  // 7 wall
        ClosedSlab(),  // 8 closed
        OpenedPit(),   // 9 opened
        Seal(),        // 10 seal
        Gravel(),      // 11 floor
        Bones(),       // 12 floor
        CaveRock(),    // 13 wall
        Mud(),         // 14 floor
        Rug(),         // 15 floor
    };
    for (int k : {1, 2, 3, 5, 7, 13})
        RaiseTile(&tiles[k]);
    Canvas sheet = MakeCanvas(256, 64, 0);
    for (int k = 0; k < 16; ++k)
        PasteCanvas(&sheet, tiles[k], (k & 7) * kTile, (k >> 3) * kTile, false);
    return sheet;
}

} // namespace assets
