// The full-screen 8-bit display: set-up, presentation of a frame, and release.
#include "video/display.h"

#include "base/failure.h"
#include "base/trace.h"
#include "platform/display_device.h"
#include "video/blit.h"
#include "video/palette.h"

DisplayMode displayModes[DISPLAY_MODE_COUNT] = {{320, 240, 8}, {640, 480, 8}};
Surface primarySurface = {};
Surface backBuffer = {};
int32_t copyPresent = 0;

namespace {
const char* DisplayErrorName(DisplayError error) {
    switch (error) {
    case CREATEEX_ERR:
        return "CREATEEX_ERR";
    case SETCOOPLEVEL_ERR:
        return "SETCOOPLEVEL_ERR";
    case SETDISPLAYMODE_ERR:
        return "SETDISPLAYMODE_ERR";
    case CREATESURFACE_ERR:
        return "CREATESURFACE_ERR";
    case GETATTACHEDSURFACE_ERR:
        return "GETATTACHEDSURFACE_ERR";
    case CREATEPALETTE_ERR:
        return "CREATEPALETTE_ERR";
    case SETPALETTE_ERR:
        return "SETPALETTE_ERR";
    case CLIPPER_ERR:
        return "CLIPPER_ERR";
    case SETHWND_ERR:
        return "SETHWND_ERR";
    case SETCLIPPER_ERR:
        return "SETCLIPPER_ERR";
    default:
        return nullptr;
    }
}
} // namespace

bool DDSetDisplay(PlatformWindow window, DisplayMode* modes, int32_t, int32_t backBufferFlag) {
    PlatformSetFullScreenStyle(window);
    return DDCheckDisplayError(DDInitFullScreen(window, modes, backBufferFlag));
}

DisplayError DDInitFullScreen(PlatformWindow window, DisplayMode* modes, int32_t backBufferFlag) {
    // The backend has usually said why already; these are the fallbacks.
    if (!PlatformDisplayCreate()) {
        NoteFailure("no display to show the game on");
        return CREATEEX_ERR;
    }
    if (!PlatformDisplaySetExclusive(window)) {
        NoteFailure("the display refused to give the game the whole screen");
        return SETCOOPLEVEL_ERR;
    }
    const DisplayMode* chosen = nullptr;
    for (int32_t i = 0; i < DISPLAY_MODE_COUNT && !chosen; ++i) {
        if (PlatformDisplaySetMode(modes[i].width, modes[i].height, modes[i].bitsPerPixel))
            chosen = &modes[i];
    }
    if (!chosen) {
        NoteFailure("the display offers neither 320x240 nor 640x480 in 256 colours");
        return SETDISPLAYMODE_ERR;
    }
    primarySurface.surface = PlatformDisplayCreatePrimary(backBufferFlag == 1 ? 1 : 2);
    if (!primarySurface.surface) {
        NoteFailure("not enough memory for the screen's pictures");
        return CREATESURFACE_ERR;
    }
    backBuffer.surface = PlatformDisplayGetBackBuffer();
    if (!backBuffer.surface) {
        NoteFailure("not enough memory for the screen's pictures");
        return GETATTACHEDSURFACE_ERR;
    }
    // A placeholder until the palette file is loaded: blue at 0, a red-green ramp elsewhere.
    PaletteEntry placeholder[256];
    for (int32_t i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        placeholder[i] = i == 0 ? PaletteEntry{0, 0, 255, PC_RESERVED} : PaletteEntry{v, v, 0, PC_RESERVED};
    }
    if (!PlatformDisplayCreatePalette(placeholder)) {
        NoteFailure("the display refused the game's palette");
        return CREATEPALETTE_ERR;
    }
    if (!PlatformDisplayAttachPalette()) {
        NoteFailure("the display refused the game's palette");
        return SETPALETTE_ERR;
    }
    while (PlatformShowCursor(false) >= 0) {
    }
    primarySurface.width = backBuffer.width = chosen->width;
    primarySurface.height = backBuffer.height = chosen->height;
    primarySurface.memoryKind = backBuffer.memoryKind = MEMORY_VIDEO;
    return DISPLAY_OK;
}

bool DDCheckDisplayError(DisplayError error) {
    const char* name = DisplayErrorName(error);
    if (!name) return true;
    TraceLog(name);
    return false;
}

bool DDHasDisplayPalette() {
    return PlatformDisplayHasPalette();
}

void DDChoosePresentation() {
    if (primarySurface.width != 320) {
        copyPresent = 1;
        return;
    }
    uint32_t hz = 0;
    if (!PlatformDisplayGetRefreshRate(&hz)) hz = 0;
    copyPresent = hz < 82 ? 1 : 0;
}

void DDPresent() {
    if (!primarySurface.surface || !backBuffer.surface) return;
    if (primarySurface.width != 320) {
        DDBltStretch(&primarySurface, 0, 0, primarySurface.width, primarySurface.height, &backBuffer, 0, 0,
                     320, 240, 0);
        PlatformDisplayShowPrimary();
    } else if (copyPresent) {
        DDBltClip(&primarySurface, 0, 0, 320, 240, &backBuffer, 0, 0, BLT_OPAQUE);
        PlatformDisplayShowPrimary();
    } else {
        PlatformDisplayFlip();
    }
}

void DDRestoreDisplaySurfaces() {
    // The whole flip chain comes back with the primary surface.
    PlatformDisplayRestorePrimary();
}

void DDRelease() {
    for (Surface& slot : surfaceTable)
        DDReleaseSurface(&slot);
    if (PlatformDisplayHasPalette()) PlatformDisplayReleasePalette();
    if (PlatformDisplayHasPrimary()) PlatformDisplayReleasePrimary();
    primarySurface.surface = nullptr;
    backBuffer.surface = nullptr;
    if (PlatformDisplayExists()) {
        if (PlatformDisplayReleaseDevice() != 0)
            PlatformMessageBox(nullptr, "解放漏れがあります", "DirectDraw", MB_ICONERROR);
    }
}
