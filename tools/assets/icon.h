// The program's icon: a 48x48 picture in the game's 256 colours, as a Windows .ico file.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/assets/canvas.h"
#include "tools/assets/palette_ramps.h"

namespace assets {

constexpr int kIconSide = 48;

// The icon's picture: the moon over the marsh with a quill across it.
Canvas MakeIconPicture();
// One 48x48 8-bit image with its palette and an all-opaque mask, in the .ico layout.
std::vector<uint8_t> EncodeIcon(const Canvas& picture, const Rgb palette[256]);

} // namespace assets
