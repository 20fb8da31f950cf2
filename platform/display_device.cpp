// The display device over memory surfaces; the backend only puts finished pictures on the screen.
#include "platform/display_device.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/backend.h"

PlatformDisplayFaults platformDisplayFaults{};

namespace {
constexpr int32_t MAX_CHAIN = 3;

struct DisplayState {
    bool device = false;
    int32_t width = 0, height = 0;
    PlatformSurface* chain[MAX_CHAIN] = {};
    int32_t chainLength = 0;
    bool palette = false;
    bool paletteAttached = false;
    PaletteEntry entries[256] = {};
    // A copy of the picture last shown, for screenshots: the visible surface may be drawn over or lost
    // before one is asked for.
    std::vector<uint8_t> shown;
    int32_t shownWidth = 0, shownHeight = 0;
};
DisplayState display;

void Show(bool waitVerticalBlank) {
    const PlatformSurface* visible = display.chain[0];
    if (!visible || visible->lost) return;
    display.shown.resize(static_cast<size_t>(visible->width) * static_cast<size_t>(visible->height));
    for (int32_t y = 0; y < visible->height; ++y)
        std::memcpy(&display.shown[static_cast<size_t>(y) * static_cast<size_t>(visible->width)],
                    visible->pixels + static_cast<ptrdiff_t>(y) * visible->pitch,
                    static_cast<size_t>(visible->width));
    display.shownWidth = visible->width;
    display.shownHeight = visible->height;
    BackendDisplayShow(visible->pixels, visible->pitch, visible->width, visible->height, display.entries,
                       waitVerticalBlank);
}
} // namespace

bool PlatformDisplayCreate() {
    if (display.device || platformDisplayFaults.refuseCreate) return false;
    if (!BackendDisplayOpen()) return false;
    display = DisplayState{};
    display.device = true;
    return true;
}

bool PlatformDisplayExists() {
    return display.device;
}

bool PlatformDisplaySetExclusive(PlatformWindow window) {
    return display.device && !platformDisplayFaults.refuseExclusive && PlatformIsWindow(window);
}

bool PlatformDisplaySetMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (!display.device || platformDisplayFaults.refuseAllModes || bitsPerPixel != 8) return false;
    const bool known = (width == 320 && height == 240) || (width == 640 && height == 480);
    if (!known || !BackendDisplaySetMode(width, height)) return false;
    display.width = width;
    display.height = height;
    return true;
}

PlatformSurface* PlatformDisplayCreatePrimary(int32_t backBufferCount) {
    if (!display.device || display.chainLength || display.width == 0 || platformDisplayFaults.refusePrimary)
        return nullptr;
    const int32_t length = 1 + (backBufferCount < 1 ? 1 : backBufferCount > 2 ? 2 : backBufferCount);
    for (int32_t i = 0; i < length; ++i) {
        display.chain[i] = PlatformCreateSurface(display.width, display.height, 0);
        if (!display.chain[i]) {
            PlatformDisplayReleasePrimary();
            return nullptr;
        }
    }
    display.chainLength = length;
    return display.chain[0];
}

PlatformSurface* PlatformDisplayGetBackBuffer() {
    if (display.chainLength < 2 || platformDisplayFaults.refuseBackBuffer) return nullptr;
    return display.chain[1];
}

bool PlatformDisplayCreatePalette(const PaletteEntry entries[256]) {
    if (!display.device || display.palette || platformDisplayFaults.refusePalette) return false;
    std::memcpy(display.entries, entries, sizeof display.entries);
    display.palette = true;
    return true;
}

bool PlatformDisplayAttachPalette() {
    if (!display.palette || !display.chainLength || platformDisplayFaults.refuseAttachPalette) return false;
    display.paletteAttached = true;
    return true;
}

bool PlatformDisplayHasPalette() {
    return display.palette;
}
bool PlatformDisplayHasPrimary() {
    return display.chainLength > 0;
}

void PlatformDisplaySetEntries(int32_t first, int32_t count, const PaletteEntry* entries) {
    if (!display.palette || first < 0 || count <= 0 || first + count > 256) return;
    std::memcpy(display.entries + first, entries, sizeof(PaletteEntry) * static_cast<size_t>(count));
}

bool PlatformDisplayGetRefreshRate(uint32_t* hz) {
    if (!display.device) return false;
    return BackendDisplayRefreshRate(hz);
}

void PlatformDisplayShowPrimary() {
    Show(false);
}

void PlatformDisplayFlip() {
    if (display.chainLength < 2) return;
    PlatformRotateFlipChain(display.chain, display.chainLength);
    Show(true);
}

void PlatformDisplayRestorePrimary() {
    for (int32_t i = 0; i < display.chainLength; ++i)
        PlatformRestoreSurface(display.chain[i]);
}

void PlatformDisplayReleasePalette() {
    display.palette = false;
    display.paletteAttached = false;
}

void PlatformDisplayReleasePrimary() {
    for (auto& surface : display.chain) {
        PlatformReleaseSurface(surface);
        surface = nullptr;
    }
    display.chainLength = 0;
}

int32_t PlatformDisplayReleaseDevice() {
    if (!display.device) return 0;
    // Everything the device made and nobody released still holds a reference to it.
    const int32_t remaining = PlatformLiveSurfaceCount() + (display.palette ? 1 : 0);
    BackendDisplayClose();
    display.device = false;
    display.width = display.height = 0;
    return remaining;
}

void PlatformDisplayGetEntries(PaletteEntry out[256]) {
    std::memcpy(out, display.entries, sizeof display.entries);
}

bool PlatformDisplayLastPicture(uint8_t out[320 * 240]) {
    if (display.shown.empty()) return false;
    // The 640x480 mode shows every game pixel doubled: every other pixel is the game's picture.
    const int32_t step = display.shownWidth >= 640 ? 2 : 1;
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 320; ++x) {
            const int32_t sx = x * step, sy = y * step;
            out[y * 320 + x] =
                (sx < display.shownWidth && sy < display.shownHeight)
                    ? display.shown[static_cast<size_t>(sy) * static_cast<size_t>(display.shownWidth) +
                                    static_cast<size_t>(sx)]
                    : 0;
        }
    return true;
}

void PlatformConvertToArgb(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                           const PaletteEntry palette[256], uint32_t* out) {
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = 0xFF000000u | (uint32_t{palette[i].red} << 16) | (uint32_t{palette[i].green} << 8) |
                     palette[i].blue;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        uint32_t* line = out + static_cast<ptrdiff_t>(y) * width;
        for (int32_t x = 0; x < width; ++x)
            line[x] = colours[row[x]];
    }
}
