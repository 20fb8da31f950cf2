// The game's one 256-colour palette: ramps of shades, looked up by name when drawing.
#include "tools/assets/palette_ramps.h"

#include "tools/assets/canvas.h"

#include <cmath>

namespace assets {

namespace {

// Each ramp runs dark -> mid -> light; the mid point sits a little below half way so that the
// dark end, where this game spends its time, gets more shades.
struct RampRecipe {
    int count;
    Rgb dark, mid, light;
};

constexpr RampRecipe kRamps[RAMP_COUNT] = {
    {8, {2, 2, 4}, {14, 12, 20}, {36, 32, 46}},            // RAMP_SHADOW
    {16, {14, 14, 20}, {84, 84, 98}, {196, 196, 206}},     // RAMP_STONE
    {12, {12, 16, 26}, {58, 72, 94}, {150, 170, 192}},     // RAMP_SLATE
    {10, {6, 8, 24}, {28, 36, 84}, {74, 94, 164}},         // RAMP_NIGHT
    {12, {4, 16, 20}, {24, 70, 74}, {112, 172, 164}},      // RAMP_WATER
    {14, {8, 16, 8}, {40, 72, 34}, {132, 172, 92}},        // RAMP_MARSH
    {12, {18, 18, 8}, {76, 80, 30}, {178, 178, 98}},       // RAMP_MOSS
    {16, {18, 10, 6}, {92, 58, 32}, {204, 154, 98}},       // RAMP_WOOD
    {10, {40, 34, 26}, {140, 128, 102}, {238, 228, 198}},  // RAMP_BONE
    {14, {22, 10, 8}, {98, 46, 34}, {200, 134, 108}},      // RAMP_BRICK
    {12, {24, 2, 6}, {122, 16, 30}, {232, 84, 84}},        // RAMP_BLOOD
    {12, {14, 6, 22}, {70, 36, 100}, {182, 142, 222}},     // RAMP_VIOLET
    {8, {50, 28, 22}, {160, 110, 86}, {240, 202, 172}},    // RAMP_SKIN
    {12, {40, 10, 2}, {204, 92, 20}, {255, 242, 164}},     // RAMP_FLAME
    {12, {20, 40, 56}, {110, 170, 192}, {232, 250, 255}},  // RAMP_GHOST
    {10, {16, 40, 24}, {100, 190, 122}, {222, 255, 222}},  // RAMP_ECTO
    {10, {40, 20, 40}, {160, 110, 160}, {250, 222, 246}},  // RAMP_LILAC
    {8, {40, 28, 4}, {152, 110, 30}, {252, 222, 122}},     // RAMP_GOLD
    {8, {24, 20, 18}, {80, 72, 64}, {172, 162, 150}},      // RAMP_WARMGREY
    {4, {8, 6, 10}, {26, 22, 30}, {72, 64, 80}},           // RAMP_HUD_INK
    {6, {110, 100, 90}, {190, 180, 164}, {252, 246, 230}}, // RAMP_HUD_BONE
    {6, {120, 80, 20}, {210, 160, 60}, {255, 232, 142}},   // RAMP_HUD_GOLD
    {5, {100, 10, 16}, {200, 40, 40}, {255, 122, 100}},    // RAMP_HUD_RED
    {7, {20, 60, 90}, {90, 200, 230}, {232, 255, 255}},    // RAMP_GLOW_CYAN
    {6, {50, 20, 80}, {160, 90, 230}, {242, 212, 255}},    // RAMP_GLOW_VIOLET
    {5, {120, 30, 0}, {255, 140, 30}, {255, 250, 202}},    // RAMP_GLOW_EMBER
};

constexpr int CountEntries(int firstRamp, int endRamp) {
    int n = 0;
    for (int r = firstRamp; r < endRamp; ++r)
        n += kRamps[r].count;
    return n;
}
static_assert(CountEntries(0, RAMP_HUD_INK) == kLastDarkeningIndex, "darkening ramps must fill 1..216");
static_assert(CountEntries(RAMP_HUD_INK, RAMP_COUNT) == 255 - kLastDarkeningIndex,
              "steady ramps fill 217..255");

uint8_t Mix(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(std::lround(a + (b - a) * t));
}

Rgb RampColor(const RampRecipe& s, int level) {
    const double kMid = 0.45;
    double t = s.count > 1 ? static_cast<double>(level) / (s.count - 1) : 0.0;
    Rgb out;
    if (t <= kMid) {
        double u = t / kMid;
        out.r = Mix(s.dark.r, s.mid.r, u);
        out.g = Mix(s.dark.g, s.mid.g, u);
        out.b = Mix(s.dark.b, s.mid.b, u);
    } else {
        double u = (t - kMid) / (1 - kMid);
        out.r = Mix(s.mid.r, s.light.r, u);
        out.g = Mix(s.mid.g, s.light.g, u);
        out.b = Mix(s.mid.b, s.light.b, u);
    }
    return out;
}

} // namespace

int RampLength(PaletteRamp ramp) {
    return kRamps[ramp].count;
}

int RampFirstIndex(PaletteRamp ramp) {
    int first = 1;
    for (int r = 0; r < ramp; ++r)
        first += kRamps[r].count;
    return first;
}

void MakeGamePalette(Rgb out[256]) {
    out[0] = Rgb{0, 0, 0};
    int index = 1;
    for (int r = 0; r < RAMP_COUNT; ++r) {
        for (int level = 0; level < kRamps[r].count; ++level)
            out[index++] = RampColor(kRamps[r], level);
    }
}

uint8_t Shade(PaletteRamp ramp, int level) {
    int n = kRamps[ramp].count;
    if (level < 0) level = 0;
    if (level >= n) level = n - 1;
    return static_cast<uint8_t>(RampFirstIndex(ramp) + level);
}

uint8_t ShadeAt(PaletteRamp ramp, double t) {
    return Shade(ramp, static_cast<int>(std::lround(t * (kRamps[ramp].count - 1))));
}

uint8_t DitherShade(PaletteRamp ramp, double t, int x, int y) {
    double f = t * (kRamps[ramp].count - 1);
    if (f < 0) f = 0;
    int level = static_cast<int>(std::floor(f));
    double frac = f - level;
    return Shade(ramp, frac > BayerThreshold(x, y) ? level + 1 : level);
}

uint8_t ShiftShade(uint8_t index, int delta) {
    if (index == 0) return 0;
    for (int r = 0; r < RAMP_COUNT; ++r) {
        int first = RampFirstIndex(static_cast<PaletteRamp>(r));
        if (index < first + kRamps[r].count) return Shade(static_cast<PaletteRamp>(r), index - first + delta);
    }
    return index;
}

} // namespace assets
