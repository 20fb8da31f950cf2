// The browser backend's display: the game's palette indices become RGBA on a canvas of the mode's size,
// which the page shows at the largest whole scale that fits.
#include <emscripten.h>

#include <vector>

#include "platform/backend.h"
#include "platform/web/web_backend.h"

namespace {
std::vector<uint32_t> rgba;

EM_JS(int, WebCanvasReady, (), { return document.getElementById('canvas') ? 1 : 0; });

EM_JS(void, WebCanvasSize, (int32_t width, int32_t height), {
    var canvas = document.getElementById('canvas');
    canvas.width = width;
    canvas.height = height;
    Module.quillmarshImage = null;
    if (Module.quillmarshFit) Module.quillmarshFit();
});

EM_JS(void, WebPutPicture, (const uint32_t* pixels, int32_t width, int32_t height), {
    var canvas = document.getElementById('canvas');
    var image = Module.quillmarshImage;
    if (!image || image.width != width || image.height != height) {
        Module.quillmarshContext = canvas.getContext('2d', {alpha : false});
        image = Module.quillmarshImage = Module.quillmarshContext.createImageData(width, height);
    }
    image.data.set(HEAPU8.subarray(pixels, pixels + width * height * 4));
    Module.quillmarshContext.putImageData(image, 0, 0);
    if (Module.quillmarshPresented) Module.quillmarshPresented();
});
} // namespace

bool BackendDisplayOpen() {
    return WebCanvasReady() != 0;
}

bool BackendDisplaySetMode(int32_t width, int32_t height) {
    WebCanvasSize(width, height);
    return true;
}

bool BackendDisplayRefreshRate(uint32_t*) {
    // A page cannot ask the monitor; the game then copies its pictures rather than flipping.
    return false;
}

void BackendDisplayShow(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                        const PaletteEntry palette[256], bool) {
    // Canvas pixels are R, G, B, A bytes in memory order.
    uint32_t colours[256];
    for (int32_t i = 0; i < 256; ++i)
        colours[i] = palette[i].red | static_cast<uint32_t>(palette[i].green) << 8 |
                     static_cast<uint32_t>(palette[i].blue) << 16 | 0xFF000000u;
    rgba.resize(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        uint32_t* out = rgba.data() + static_cast<size_t>(y) * width;
        for (int32_t x = 0; x < width; ++x)
            out[x] = colours[row[x]];
    }
    WebPutPicture(rgba.data(), width, height);
    WebPresentCount += 1;
}

void BackendDisplayClose() {
    rgba.clear();
    rgba.shrink_to_fit();
}
