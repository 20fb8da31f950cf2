// The half-transparency table: for each pair of palette indices, the index that shows their mixture.
#pragma once
#include "tools/assets/palette_ramps.h"

#include <cstdint>
#include <vector>

namespace assets {

constexpr int kBlendTableSize = 65536;

// Entry a * 256 + b is the colour nearest to the average of colours a and b. Distance is squared
// RGB difference weighted 3:4:2 (green counts most, blue least, roughly as the eye does; ties go
// to the lower index). When both colours darken with the light (indices 0..216) only those are
// candidates, so a blend never leaves a steady bright pixel behind in the dark.
std::vector<uint8_t> MakeBlendTable(const Rgb palette[256]);

} // namespace assets
