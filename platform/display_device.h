// The display device: an 8-bit palettised screen mode, its flip chain and its palette.
#pragma once
#include <cstdint>

#include "platform/memory_surface.h"
#include "platform/window.h"

// One palette entry, laid out as the platform's PALETTEENTRY: red, green, blue, flags.
struct PaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

// Faults the tests can switch on, one per set-up step.
struct PlatformDisplayFaults {
    bool refuseCreate;
    bool refuseExclusive;
    bool refuseAllModes;
    bool refusePrimary;
    bool refuseBackBuffer;
    bool refusePalette;
    bool refuseAttachPalette;
    uint32_t refreshRate; // what the headless display reports (0 = unknown)
};
extern PlatformDisplayFaults platformDisplayFaults;

bool PlatformDisplayCreate();
bool PlatformDisplaySetExclusive(PlatformWindow window);
// Only 320x240x8 and 640x480x8 exist; any other mode is refused.
bool PlatformDisplaySetMode(int32_t width, int32_t height, int32_t bitsPerPixel);
// The visible surface of the chosen mode with its back buffers; null on failure.
PlatformSurface* PlatformDisplayCreatePrimary(int32_t backBufferCount);
PlatformSurface* PlatformDisplayGetBackBuffer();
bool PlatformDisplayCreatePalette(const PaletteEntry entries[256]);
bool PlatformDisplayAttachPalette();
bool PlatformDisplayHasPalette();
bool PlatformDisplayHasPrimary();
void PlatformDisplaySetEntries(int32_t first, int32_t count, const PaletteEntry* entries);
// Refresh rate in Hz; false when it cannot be determined.
bool PlatformDisplayGetRefreshRate(uint32_t* hz);
// Shows the primary surface as it is now (after a copy or stretch onto it).
void PlatformDisplayShowPrimary();
// Rotates the flip chain and shows the new visible surface, waiting for the vertical blank.
void PlatformDisplayFlip();
// Brings back the primary surface and every back buffer of its chain after a loss.
void PlatformDisplayRestorePrimary();
void PlatformDisplayReleasePalette();
void PlatformDisplayReleasePrimary();
// Releases the device; returns the references still held by objects it made (0 = nothing leaked).
int32_t PlatformDisplayReleaseDevice();
bool PlatformDisplayExists();
// The display palette's entries as they are now.
void PlatformDisplayGetEntries(PaletteEntry out[256]);
// The picture last put on the screen, as 320x240 game pixels (the 640x480 mode shows each one doubled, so
// every other pixel is taken); false before the first one. Its colours are the display palette's.
bool PlatformDisplayLastPicture(uint8_t out[320 * 240]);
// Converts an 8-bit picture through a palette into 0xAARRGGBB pixels, width * height of them.
void PlatformConvertToArgb(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                           const PaletteEntry palette[256], uint32_t* out);
