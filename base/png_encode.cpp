// Pictures of the game put together as indexed-colour PNG files in memory, through Debian's libpng.
#include "base/png_encode.h"

#include <png.h>

bool EncodeIndexedPng(const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                      const uint8_t colours[256 * 3], std::vector<uint8_t>* png) {
    if (!pixels || !colours || !png || width <= 0 || height <= 0 || pitch < width) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = 256;
    // Asked once for the size, then written into a buffer of that size.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels, pitch, colours)) {
        png_image_free(&image);
        return false;
    }
    png->resize(size);
    const int ok = png_image_write_to_memory(&image, png->data(), &size, 0, pixels, pitch, colours);
    png_image_free(&image);
    png->resize(size);
    return ok != 0;
}
