// The program's icon: drawn with the game's palette and written in the .ico layout windres compiles in.
#include "tools/assets/icon.h"

#include "base/png_encode.h"

#include "tools/assets/file_writers.h"
#include "tools/assets/palette_ramps.h"

namespace assets {

Canvas MakeIconPicture() {
    Canvas c = MakeCanvas(kIconSide, kIconSide, Shade(RAMP_NIGHT, 0));
    // Sky darkening upwards, dithered like the title's.
    for (int y = 0; y < kIconSide; ++y)
        for (int x = 0; x < kIconSide; ++x)
            PutPixel(&c, x, y, DitherShade(RAMP_NIGHT, 0.15 + 0.5 * y / kIconSide, x, y));
    FillEllipse(&c, 31.0, 14.0, 9.0, 9.0, ShadeAt(RAMP_BONE, 0.9));
    FillEllipse(&c, 34.0, 12.0, 2.0, 2.0, ShadeAt(RAMP_BONE, 0.6));
    // The marsh: a band of water with moss along its edge.
    FillRect(&c, 0, 36, kIconSide, 12, ShadeAt(RAMP_WATER, 0.3));
    for (int x = 0; x < kIconSide; x += 3)
        DrawLine(&c, x, 36, x + 1, 32 - (x * 7) % 4, ShadeAt(RAMP_MOSS, 0.5));
    // The quill: a shaft from lower left to upper right with its vane on one side.
    DrawLine(&c, 8, 44, 40, 4, ShadeAt(RAMP_HUD_BONE, 1.0));
    for (int i = 0; i < 22; ++i) {
        const int x = 20 + i, y = 29 - i * 5 / 4;
        DrawLine(&c, x, y, x - 6 + i / 5, y - 4 + i / 6, ShadeAt(RAMP_GHOST, 0.4 + 0.5 * i / 22.0));
    }
    return c;
}

std::vector<uint8_t> EncodeIcon(const Canvas& picture, const Rgb palette[256]) {
    const uint32_t side = static_cast<uint32_t>(kIconSide);
    const uint32_t maskStride = ((side + 31u) / 32u) * 4u; // one bit a pixel, rows in whole 32-bit words
    const uint32_t imageBytes = side * side + maskStride * side;
    const uint32_t resourceBytes = 40 + 256 * 4 + imageBytes;
    std::vector<uint8_t> out;
    PutLE16(&out, 0);
    PutLE16(&out, 1); // an icon, not a cursor
    PutLE16(&out, 1); // one image
    out.push_back(static_cast<uint8_t>(side));
    out.push_back(static_cast<uint8_t>(side));
    out.push_back(0); // 0 = 256 colours
    out.push_back(0);
    PutLE16(&out, 1);
    PutLE16(&out, 8);
    PutLE32(&out, resourceBytes);
    PutLE32(&out, 6 + 16);
    // Twice the height: the picture and its mask, one above the other.
    PutDibHeader(&out, side, side * 2, imageBytes, 0, palette);
    for (int y = kIconSide - 1; y >= 0; --y)
        for (int x = 0; x < kIconSide; ++x)
            out.push_back(GetPixel(picture, x, y));
    out.insert(out.end(), maskStride * side, 0); // every pixel opaque
    return out;
}

Canvas ScaleIconPicture(const Canvas& picture, int side) {
    Canvas scaled = MakeCanvas(side, side, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            PutPixel(&scaled, x, y, GetPixel(picture, x * picture.width / side, y * picture.height / side));
    return scaled;
}

std::vector<uint8_t> EncodeIconPng(const Canvas& picture, const Rgb palette[256], int side) {
    std::vector<uint8_t> png;
    if (side < 16 || side > 1024) return png;
    const Canvas scaled = ScaleIconPicture(picture, side);
    uint8_t colours[256 * 3];
    for (int i = 0; i < 256; ++i) {
        colours[i * 3] = palette[i].r;
        colours[i * 3 + 1] = palette[i].g;
        colours[i * 3 + 2] = palette[i].b;
    }
    if (!EncodeIndexedPng(scaled.pixels.data(), side, side, side, colours, &png)) png.clear();
    return png;
}

} // namespace assets
