// The full-screen 8-bit display: set-up, presentation of a frame, and release.
#pragma once
#include <cstdint>

#include "platform/window.h"
#include "video/display_error.h"
#include "video/surface.h"

struct DisplayMode {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
};

constexpr int32_t DISPLAY_MODE_COUNT = 2;
extern DisplayMode displayModes[DISPLAY_MODE_COUNT];

extern Surface primarySurface;
extern Surface backBuffer;
// 1 = present by copying, 0 = by flipping (only when the primary surface is 320 wide).
extern int32_t copyPresent;

bool DDSetDisplay(PlatformWindow window, DisplayMode* modes, int32_t displayKind, int32_t backBufferFlag);
DisplayError DDInitFullScreen(PlatformWindow window, DisplayMode* modes, int32_t backBufferFlag);
bool DDCheckDisplayError(DisplayError error);
// Whether the display palette exists (it does in both 8-bit modes).
bool DDHasDisplayPalette();
// Decides copyPresent from the monitor's refresh rate; done once at start-up.
void DDChoosePresentation();
void DDPresent();
void DDRelease();
// Restores the primary surface and its back buffers after a loss.
void DDRestoreDisplaySurfaces();
