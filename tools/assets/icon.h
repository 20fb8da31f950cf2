// The program's icon: a 48x48 picture in the game's 256 colours, as a Windows .ico file or a desktop PNG.
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
// The picture grown (or shrunk) to side x side, each pixel the nearest one of the 48x48 picture: a
// desktop's icon theme wants fixed sizes (48, 128, 256), and smoothing would blur the pixel art.
Canvas ScaleIconPicture(const Canvas& picture, int side);
// A side x side indexed-colour PNG of the picture; empty for a side outside 16..1024.
std::vector<uint8_t> EncodeIconPng(const Canvas& picture, const Rgb palette[256], int side);

} // namespace assets
