// The game's one 256-colour palette: ramps of shades, looked up by name when drawing.
#pragma once
#include <cstdint>

namespace assets {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// Entries 1..216 darken with the light and the fades; 217..255 keep their colour, so the ramps
// from RAMP_HUD_INK on are for things that must stay readable in the dark.
enum PaletteRamp {
    RAMP_SHADOW,
    RAMP_STONE,
    RAMP_SLATE,
    RAMP_NIGHT,
    RAMP_WATER,
    RAMP_MARSH,
    RAMP_MOSS,
    RAMP_WOOD,
    RAMP_BONE,
    RAMP_BRICK,
    RAMP_BLOOD,
    RAMP_VIOLET,
    RAMP_SKIN,
    RAMP_FLAME,
    RAMP_GHOST,
    RAMP_ECTO,
    RAMP_LILAC,
    RAMP_GOLD,
    RAMP_WARMGREY,
    RAMP_HUD_INK,
    RAMP_HUD_BONE,
    RAMP_HUD_GOLD,
    RAMP_HUD_RED,
    RAMP_GLOW_CYAN,
    RAMP_GLOW_VIOLET,
    RAMP_GLOW_EMBER,
    RAMP_COUNT
};

constexpr int kLastDarkeningIndex = 216;

void MakeGamePalette(Rgb out[256]);
int RampLength(PaletteRamp ramp);
int RampFirstIndex(PaletteRamp ramp);
// Palette index of shade `level` (clamped to the ramp) of a ramp; 0 is its darkest.
uint8_t Shade(PaletteRamp ramp, int level);
// Shade picked by t in [0, 1] across the ramp, rounded to the nearest level.
uint8_t ShadeAt(PaletteRamp ramp, double t);
// Like ShadeAt, but between two levels the choice is ordered-dithered by pixel position.
uint8_t DitherShade(PaletteRamp ramp, double t, int x, int y);
// The same colour `delta` shades lighter (positive) or darker within its own ramp, clamped to the
// ramp's ends; index 0 stays 0.
uint8_t ShiftShade(uint8_t index, int delta);

} // namespace assets
