// The generated picture sheets, each laid out in the cells the game copies from.
#pragma once
#include "tools/assets/canvas.h"

namespace assets {

Canvas MakeMapChipSheet();   // 256x64: tile kind k in cell ((k & 7) * 32, (k >> 3) * 32)
Canvas MakePlayerSheet();    // 192x128: frame columns 0..5, facing rows down, left, right, up
Canvas MakeEnemySheet();     // 384x128: three variants of four frame columns, facing rows as the player
Canvas MakePartsSheet();     // 320x128: HUD labels and digits, the title line, the record label and digits
Canvas MakeTitlePicture();   // 160x160
Canvas MakeFixedTextSheet(); // 96x64: the cleared caption (0, 0) 96x32, the capture glyph (0, 32) 32x32
Canvas MakeLightMask();      // 320x240: index 0 inside the circle of light around screen (160, 120)
Canvas MakeTextSheet();      // 128x64: the label font, kept by the game but never drawn

// Where the light mask is clear, for the checker and the tests.
constexpr int kMaskCentreX = 160;
constexpr int kMaskCentreY = 120;
constexpr int kMaskClearRadius = 58;
constexpr int kMaskOuterRadius = 78;

} // namespace assets
