// Pictures of the game written as PNG files: screenshots, replays' pictures, whole stages for modders.
#include "app/png_file.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool WriteIndexedPng(const char* path, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                     const PaletteEntry palette[256]) {
    if (!path || !pixels || width <= 0 || height <= 0 || pitch < width) return false;
    uint8_t colormap[256 * 3];
    for (int32_t i = 0; i < 256; ++i) {
        colormap[i * 3] = palette[i].red;
        colormap[i * 3 + 1] = palette[i].green;
        colormap[i * 3 + 2] = palette[i].blue;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = 256;
    // The simplified writer removes a half-written file itself when it fails.
    const int ok = png_image_write_to_file(&image, path, 0, pixels, pitch, colormap);
    png_image_free(&image);
    return ok != 0;
}
