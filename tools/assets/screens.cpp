// The title picture, the parts and fixed-text sheets, the light mask and the font sheet.
#include "tools/assets/palette_ramps.h"
#include "tools/assets/sheets.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace assets {

namespace {

// A gradient for `rows` pixel rows running from `from` to `to` levels of one ramp.
std::vector<uint8_t> RowGradient(PaletteRamp ramp, int rows, double from, double to) {
    std::vector<uint8_t> out(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        double level = rows > 1 ? from + (to - from) * i / (rows - 1) : from;
        out[static_cast<size_t>(i)] = Shade(ramp, static_cast<int>(std::lround(level)));
    }
    return out;
}

// Rings a layer of lettering with an outline and a drop shadow one pixel down and right, then
// pastes it keyed so it can sit on anything.
void FinishLettering(Canvas* c, Canvas layer, uint8_t outline, uint8_t shadow) {
    OutlineCanvas(&layer, outline, true);
    if (shadow) {
        Canvas under = MakeCanvas(c->width, c->height, 0);
        for (int j = 0; j < c->height; ++j) {
            for (int i = 0; i < c->width; ++i) {
                if (GetPixel(layer, i - 1, j - 1)) PutPixel(&under, i, j, shadow);
            }
        }
        PasteCanvas(&under, layer, 0, 0, true);
        layer = under;
    }
    PasteCanvas(c, layer, 0, 0, true);
}

// Outlined, shadowed text filled with a top-to-bottom gradient of one ramp.
void Lettering(Canvas* c, int x, int y, const char* text, int sx, int sy, int spacing, PaletteRamp fill,
               double fromLevel, double toLevel, uint8_t outline, uint8_t shadow) {
    Canvas layer = MakeCanvas(c->width, c->height, 0);
    std::vector<uint8_t> rows = RowGradient(fill, 7 * sy, fromLevel, toLevel);
    DrawTextRows(&layer, x, y, text, sx, sy, spacing, rows.data());
    FinishLettering(c, layer, outline, shadow);
}

// The record's digits: the label font's strokes on a grid two columns wider, because the title
// sets them only 16 pixels apart and a narrow glyph leaves a gap that splits the number.
const char* const kRecordDigits[10][7] = {
    {".#####.", "#.....#", "#....##", "#...#.#", "#..#..#", "##....#", ".#####."},
    {"....#..", "...##..", "..#.#..", "....#..", "....#..", "....#..", "..#####"},
    {".#####.", "#.....#", "......#", "..####.", ".#.....", "#......", "#######"},
    {"######.", "......#", "......#", "..####.", "......#", "......#", "######."},
    {"....##.", "...#.#.", "..#..#.", ".#...#.", "#######", ".....#.", ".....#."},
    {"#######", "#......", "######.", "......#", "......#", "#.....#", ".#####."},
    {"..####.", ".#.....", "#......", "######.", "#.....#", "#.....#", ".#####."},
    {"#######", "......#", ".....#.", "....#..", "...#...", "...#...", "...#..."},
    {".#####.", "#.....#", "#.....#", ".#####.", "#.....#", "#.....#", ".#####."},
    {".#####.", "#.....#", "#.....#", ".######", "......#", ".....#.", ".####.."},
};

void RecordDigit(Canvas* c, int x, int y, int digit, PaletteRamp fill, double fromLevel, double toLevel,
                 uint8_t outline, uint8_t shadow) {
    const int sx = 2, sy = 3;
    Canvas layer = MakeCanvas(c->width, c->height, 0);
    std::vector<uint8_t> rows = RowGradient(fill, 7 * sy, fromLevel, toLevel);
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 7; ++col) {
            if (kRecordDigits[digit][row][col] != '#') continue;
            for (int j = 0; j < sy; ++j)
                FillRect(&layer, x + col * sx, y + row * sy + j, sx, 1,
                         rows[static_cast<size_t>(row * sy + j)]);
        }
    }
    FinishLettering(c, layer, outline, shadow);
}

void HudDigit(Canvas* c, int x, int y, char digit, PaletteRamp fill) {
    char text[2] = {digit, 0};
    Lettering(c, x, y, text, 2, 2, 0, fill, RampLength(fill) - 1.0, 1.0, Shade(RAMP_HUD_INK, 0), 0);
}

void SmallLantern(Canvas* c, int x, int y) {
    FillRect(c, x + 1, y, 3, 1, Shade(RAMP_HUD_INK, 2));
    FillRect(c, x, y + 1, 5, 8, Shade(RAMP_HUD_INK, 1));
    FillRect(c, x + 1, y + 2, 3, 6, Shade(RAMP_GLOW_EMBER, 2));
    FillRect(c, x + 2, y + 3, 1, 3, Shade(RAMP_GLOW_EMBER, 4));
    FillRect(c, x, y + 9, 5, 1, Shade(RAMP_HUD_INK, 2));
    OutlineCanvas(c, Shade(RAMP_HUD_INK, 0), false);
}

void Skull(Canvas* c, int x, int y) {
    Canvas s = MakeCanvas(32, 32, 0);
    FillEllipse(&s, 16, 13, 10, 9.5, Shade(RAMP_HUD_BONE, 3));
    FillEllipse(&s, 14, 10, 6, 5, Shade(RAMP_HUD_BONE, 5));
    FillRect(&s, 10, 20, 12, 6, Shade(RAMP_HUD_BONE, 2));
    FillEllipse(&s, 11.5, 15, 3, 3.2, Shade(RAMP_HUD_INK, 0));
    FillEllipse(&s, 20.5, 15, 3, 3.2, Shade(RAMP_HUD_INK, 0));
    PutPixel(&s, 11, 15, Shade(RAMP_HUD_RED, 4));
    PutPixel(&s, 20, 15, Shade(RAMP_HUD_RED, 4));
    FillRect(&s, 15, 19, 2, 3, Shade(RAMP_HUD_INK, 1));
    for (int i = 11; i < 22; i += 2)
        FillRect(&s, i, 23, 1, 3, Shade(RAMP_HUD_INK, 1));
    DrawLine(&s, 22, 5, 19, 9, Shade(RAMP_HUD_INK, 2)); // a crack
    OutlineCanvas(&s, Shade(RAMP_HUD_INK, 0), true);
    PasteCanvas(c, s, x, y, true);
}

} // namespace

Canvas MakePartsSheet() {
    Canvas c = MakeCanvas(320, 128, 0);
    // Play display, in colours the darkness never touches.
    Lettering(&c, 2, 4, "STAGE", 1, 1, 1, RAMP_HUD_GOLD, 5, 2, Shade(RAMP_HUD_INK, 0), 0);
    for (int d = 0; d < 10; ++d)
        HudDigit(&c, (d + 4) * 16 + 2, 1, static_cast<char>('0' + d), RAMP_HUD_BONE);
    {
        Canvas label = MakeCanvas(32, 16, 0);
        SmallLantern(&label, 3, 3);
        Lettering(&label, 12, 6, "x", 1, 1, 0, RAMP_HUD_GOLD, 5, 3, Shade(RAMP_HUD_INK, 0), 0);
        PasteCanvas(&c, label, 0, 16, true);
    }
    for (int lives = 0; lives < 10; ++lives) {
        HudDigit(&c, (lives + 2) * 16 + 2, 17, static_cast<char>('0' + lives), RAMP_HUD_RED);
    }
    // Title line, waved by the title screen.
    {
        Canvas line = MakeCanvas(128, 32, 0);
        int w = TextWidth("QUILLMARSH", 2, 2);
        Lettering(&line, (128 - w) / 2, 5, "QUILLMARSH", 2, 3, 2, RAMP_GLOW_CYAN, 6, 2,
                  Shade(RAMP_HUD_INK, 0), Shade(RAMP_GLOW_VIOLET, 0));
        PasteCanvas(&c, line, 0, 32, true);
    }
    // Record label and record digits; these fade with the title picture. The label is set against
    // the right of its cell, so on the title it ends just before the digits.
    const int recordWidth = TextWidth("RECORD", 2, 2);
    Lettering(&c, 96 - 2 - recordWidth, 64 + 5, "RECORD", 2, 3, 2, RAMP_GOLD, 7, 3, Shade(RAMP_SHADOW, 0),
              Shade(RAMP_SHADOW, 2));
    for (int d = 0; d < 10; ++d) {
        // Outline at column 0 and 15, shadow at 16: at the title's 16-pixel spacing only the dark
        // rims of neighbouring digits meet.
        RecordDigit(&c, 32 * d + 1, 96 + 5, d, RAMP_GOLD, 7, 3, Shade(RAMP_SHADOW, 0), Shade(RAMP_SHADOW, 2));
    }
    return c;
}

Canvas MakeFixedTextSheet() {
    Canvas c = MakeCanvas(96, 64, 0);
    int w = TextWidth("SEALED", 2, 2);
    Lettering(&c, (96 - w) / 2, 5, "SEALED", 2, 3, 2, RAMP_HUD_GOLD, 5, 1, Shade(RAMP_HUD_INK, 0),
              Shade(RAMP_HUD_INK, 1));
    Skull(&c, 0, 32);
    return c;
}

Canvas MakeLightMask() {
    Canvas c = MakeCanvas(320, 240, Shade(RAMP_SHADOW, 0));
    const double span = kMaskOuterRadius - kMaskClearRadius;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            // Pixel centres measured from the centre of the player's sprite.
            double d = std::hypot(x + 0.5 - kMaskCentreX, y + 0.5 - kMaskCentreY);
            if (d < kMaskClearRadius)
                PutPixel(&c, x, y, 0);
            else if (d < kMaskOuterRadius) {
                double dark = (d - kMaskClearRadius) / span;
                dark = dark * dark * (3 - 2 * dark); // eased, so the rim has no visible edge
                if (dark < BayerThreshold(x, y)) PutPixel(&c, x, y, 0);
            }
        }
    }
    return c;
}

Canvas MakeTextSheet() {
    Canvas c = MakeCanvas(128, 64, 0);
    for (int code = 32; code < 128; ++code) {
        char ch = static_cast<char>(code >= 'a' && code <= 'z' ? code - 32 : code);
        if (code == 'x') ch = 'x';
        char text[2] = {ch, 0};
        int cell = code - 32;
        DrawText(&c, (cell % 16) * 8 + 1, (cell / 16) * 8, text, 1, 1, 0, Shade(RAMP_HUD_BONE, 4));
    }
    return c;
}

Canvas MakeTitlePicture() {
    const int W = 160, H = 160, horizon = 96;
    Canvas c = MakeCanvas(W, H, 0);
    AssetRng rng = SeedRng(2024);
    // Night sky, darkest at the top, with a violet haze near the horizon.
    for (int y = 0; y < horizon; ++y) {
        for (int x = 0; x < W; ++x) {
            double t = static_cast<double>(y) / horizon;
            double haze = TileFractal(x, y * 2.0, 32, 256, 3, 7) - 0.5;
            uint8_t p = DitherShade(RAMP_NIGHT, 0.05 + t * 0.38 + haze * 0.12, x, y);
            if (t > 0.7 && (t - 0.7) * 3.3 + haze > BayerThreshold(x, y) + 0.3) p = Shade(RAMP_VIOLET, 2);
            PutPixel(&c, x, y, p);
        }
    }
    for (int i = 0; i < 70; ++i) {
        int x = NextBelow(&rng, W), y = NextBelow(&rng, horizon - 20);
        PutPixel(&c, x, y, NextBelow(&rng, 4) ? Shade(RAMP_NIGHT, 7) : Shade(RAMP_BONE, 9));
    }
    // The moon, with a dithered halo and a few darker seas.
    const double mx = 124, my = 50, mr = 13;
    for (int y = 20; y < 82; ++y) {
        for (int x = 90; x < 158; ++x) {
            double d = std::hypot(x + 0.5 - mx, y + 0.5 - my);
            if (d < mr) {
                double shade = 8.2 - std::max(0.0, (x - mx + y - my)) / mr * 2.0;
                if (TileFractal(x * 1.0, y * 1.0, 8, 256, 2, 9) > 0.62) shade -= 1.8;
                PutPixel(&c, x, y, DitherShade(RAMP_BONE, shade / 9.0, x, y));
            } else if (d < mr + 9 && (mr + 9 - d) / 9 * 0.6 > BayerThreshold(x, y)) {
                PutPixel(&c, x, y, Shade(RAMP_NIGHT, d < mr + 4 ? 6 : 5));
            }
        }
    }
    // Thin clouds drifting across the moon.
    for (int y = 40; y < 66; ++y) {
        for (int x = 70; x < W; ++x) {
            double n = TileFractal(x * 0.5, y * 3.0, 16, 256, 2, 11);
            if (n > 0.62) PutPixel(&c, x, y, Shade(RAMP_NIGHT, n > 0.7 ? 1 : 2));
        }
    }
    // Far tree line.
    for (int x = 0; x < W; ++x) {
        int top = horizon - 4 - static_cast<int>(TileFractal(x * 1.0, 0, 8, 256, 3, 13) * 12);
        for (int y = top; y < horizon + 4; ++y)
            PutPixel(&c, x, y, Shade(RAMP_SHADOW, 2));
    }
    // The ruined manor on its rise, one window still lit.
    const uint8_t house = Shade(RAMP_SHADOW, 1);
    FillRect(&c, 26, 66, 54, 32, house);
    for (int y = 0; y < 18; ++y)
        FillRect(&c, 26 + y, 48 + y, 54 - 2 * y, 1, house); // roof
    FillRect(&c, 30, 34, 12, 36, house);                    // tower
    for (int y = 0; y < 16; ++y)
        FillRect(&c, 36 - y / 3, 18 + y, 1 + 2 * (y / 3), 1, house); // spire
    FillRect(&c, 62, 52, 3, 10, house);                              // chimney
    FillRect(&c, 70, 58, 10, 4, Shade(RAMP_NIGHT, 2));               // a hole in the roof
    FillRect(&c, 34, 42, 3, 5, Shade(RAMP_SHADOW, 3));
    FillRect(&c, 48, 72, 4, 6, Shade(RAMP_FLAME, 7));
    FillRect(&c, 49, 73, 2, 4, Shade(RAMP_FLAME, 10));
    FillRect(&c, 58, 72, 4, 6, Shade(RAMP_SHADOW, 3));
    FillRect(&c, 68, 72, 4, 6, Shade(RAMP_SHADOW, 3));
    // Marsh water with the moon's broken reflection.
    for (int y = horizon + 2; y < 132; ++y) {
        for (int x = 0; x < W; ++x) {
            double ripple = std::sin(y * 1.7 + std::sin(x * 0.2) * 2.0);
            uint8_t p = DitherShade(RAMP_WATER, 0.08 + (ripple > 0.8 ? 0.12 : 0.0), x, y);
            double dx = std::abs(x + 0.5 - mx);
            double width = 3 + (y - horizon) * 0.3;
            double jitter = (HashPoint(0, y, 17) % 7) - 3.0;
            if (std::abs(dx - jitter * 0.5) < width && ripple > 0.55 && (HashPoint(x / 2, y, 18) % 3) != 0) {
                p = Shade(RAMP_BONE, dx < width * 0.35 ? 5 : 2);
            }
            PutPixel(&c, x, y, p);
        }
    }
    // Ground and reeds in the foreground; kept dark under the record line.
    for (int x = 0; x < W; ++x) {
        int top = 124 + static_cast<int>(TileFractal(x * 1.0, 5, 16, 256, 2, 19) * 8);
        for (int y = top; y < H; ++y) {
            double level = 1.5 - (y - top) * 0.08 + (TileFractal(x, y, 4, 256, 2, 20) - 0.5) * 2;
            PutPixel(&c, x, y, DitherShade(RAMP_MARSH, std::max(0.0, level / 13.0), x, y));
        }
    }
    for (int i = 0; i < 40; ++i) {
        int x = NextBelow(&rng, W), base = 126 + NextBelow(&rng, 10), h = 6 + NextBelow(&rng, 14);
        int lean = NextBelow(&rng, 3) - 1;
        for (int s = 0; s < h; ++s)
            PutPixel(&c, x + (s * lean) / 6, base - s, Shade(RAMP_SHADOW, s < h - 3 ? 1 : 3));
        if (NextBelow(&rng, 3) == 0)
            FillRect(&c, x + (h * lean) / 6, base - h - 2, 1, 3, Shade(RAMP_WOOD, 2));
    }
    // A dead tree on the right reaching over the water.
    const uint8_t bark = Shade(RAMP_SHADOW, 0);
    FillRect(&c, 146, 70, 5, 70, bark);
    FillRect(&c, 144, 130, 9, 10, bark);
    DrawLine(&c, 147, 90, 128, 76, bark);
    DrawLine(&c, 147, 91, 128, 77, bark);
    DrawLine(&c, 128, 76, 120, 80, bark);
    DrawLine(&c, 136, 83, 132, 70, bark);
    DrawLine(&c, 149, 76, 158, 60, bark);
    DrawLine(&c, 150, 76, 159, 61, bark);
    DrawLine(&c, 148, 72, 144, 58, bark);
    // Two pale shapes drifting in the mist by the house.
    for (int g = 0; g < 2; ++g) {
        double gx = 92 + g * 14, gy = 100 - g * 4;
        for (int y = static_cast<int>(gy) - 8; y < gy + 8; ++y) {
            for (int x = static_cast<int>(gx) - 4; x < gx + 4; ++x) {
                double dx = (x + 0.5 - gx) / (3.5 + (y - gy + 8) * 0.08), dy = (y + 0.5 - gy) / 8;
                if (dx * dx + std::min(dy, 0.0) * std::min(dy, 0.0) > 1) continue;
                if (0.55 - std::max(0.0, dy) * 0.5 > BayerThreshold(x, y)) {
                    PutPixel(&c, x, y, Shade(RAMP_GHOST, y < gy - 4 ? 6 : 4));
                }
            }
        }
        PutPixel(&c, static_cast<int>(gx) - 2, static_cast<int>(gy) - 5, Shade(RAMP_SHADOW, 0));
        PutPixel(&c, static_cast<int>(gx) + 1, static_cast<int>(gy) - 5, Shade(RAMP_SHADOW, 0));
    }
    // Low mist over the water.
    for (int y = horizon - 6; y < 118; ++y) {
        for (int x = 0; x < W; ++x) {
            double n = TileFractal(x * 0.4, y * 2.0, 16, 256, 3, 23);
            double band = 1.0 - std::abs(y - 104.0) / 14.0;
            if (n * band > 0.42 && (n * band - 0.42) * 4 > BayerThreshold(x, y)) {
                PutPixel(&c, x, y, Shade(RAMP_SLATE, 4));
            }
        }
    }
    // How to start, lettered like the record below it, under the ghosts and clear of the waving
    // title (the top 32 rows) and of the record line (the bottom 32).
    Lettering(&c, 98, 110, "PRESS Z", 1, 2, 1, RAMP_GOLD, 7, 3, Shade(RAMP_SHADOW, 0), Shade(RAMP_SHADOW, 2));
    // The girl with her lantern, small, on the near bank.
    const int gx = 70, gy = 126;
    FillRect(&c, gx - 2, gy - 7, 5, 8, Shade(RAMP_BLOOD, 4));
    FillRect(&c, gx - 1, gy - 10, 3, 3, Shade(RAMP_BLOOD, 5));
    PutPixel(&c, gx, gy - 9, Shade(RAMP_SKIN, 4));
    FillRect(&c, gx - 3, gy + 1, 7, 1, Shade(RAMP_SHADOW, 0));
    PutPixel(&c, gx + 3, gy - 4, Shade(RAMP_FLAME, 11));
    PutPixel(&c, gx + 3, gy - 3, Shade(RAMP_FLAME, 8));
    for (int y = gy - 9; y < gy + 3; ++y) {
        for (int x = gx - 3; x < gx + 10; ++x) {
            double d = std::hypot(x - (gx + 3.0), y - (gy - 4.0));
            if (d > 1.5 && d < 5.5 && GetPixel(c, x, y) != Shade(RAMP_BLOOD, 4) &&
                (5.5 - d) / 8 > BayerThreshold(x, y)) {
                PutPixel(&c, x, y, Shade(RAMP_FLAME, 3));
            }
        }
    }
    return c;
}

} // namespace assets
