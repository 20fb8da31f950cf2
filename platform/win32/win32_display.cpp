// The Windows backend's display: DirectDraw 7 in an 8-bit exclusive mode, each finished picture copied
// into the back buffer of a real flip chain under a real palette; or, when the player asks for a window,
// DirectDraw in its normal level and the picture painted into the window (Alt+Enter switches).
#include <cstdio>
#include <cstring>

#include "base/failure.h"
#include "platform/backend.h"
#include "platform/win32/win32_backend.h"

namespace {
constexpr DWORD COOPERATIVE_LEVEL = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE; // 0x13
// Alt+Enter pressed again before the display has settled would leave a half-switched screen.
constexpr DWORD TOGGLE_GAP_MS = 250;

struct DirectDrawState {
    IDirectDraw7* device;
    IDirectDrawSurface7* primary;
    IDirectDrawSurface7* back;
    IDirectDrawPalette* palette;
    PALETTEENTRY entries[256];
    int32_t width, height; // the game's picture
    // The screen is 640x480 with every pixel of a 320x240 picture doubled: a switch from a window to
    // full screen on a display without 320x240.
    bool doubled;
    bool toggled;     // Alt+Enter has switched at least once
    DWORD lastToggle; // the message time of the last switch
};
DirectDrawState dd = {};

void ReleaseChain() {
    if (dd.palette) dd.palette->Release();
    if (dd.back) dd.back->Release();
    if (dd.primary) dd.primary->Release();
    dd.palette = nullptr;
    dd.back = nullptr;
    dd.primary = nullptr;
}

void NoteDirectDraw(const char* step, HRESULT result) {
    char line[160];
    std::snprintf(line, sizeof line, "the display refused %s (DirectDraw error 0x%08lx)", step,
                  static_cast<unsigned long>(result));
    NoteFailure(line);
}

// The chain and its palette for the mode just set: two back buffers, and a placeholder palette until the
// game's own arrives with its first picture.
bool CreateChain() {
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    description.dwBackBufferCount = 2;
    HRESULT result = dd.device->CreateSurface(&description, &dd.primary, nullptr);
    if (FAILED(result)) {
        NoteDirectDraw("the primary surface", result);
        return false;
    }
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    result = dd.primary->GetAttachedSurface(&caps, &dd.back);
    if (FAILED(result)) {
        NoteDirectDraw("the back buffer", result);
        return false;
    }
    dd.entries[0] = PALETTEENTRY{0, 0, 255, PC_RESERVED};
    for (int i = 1; i < 256; ++i)
        dd.entries[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i), 0, PC_RESERVED};
    result = dd.device->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, dd.entries, &dd.palette, nullptr);
    if (FAILED(result)) {
        NoteDirectDraw("the palette", result);
        return false;
    }
    result = dd.primary->SetPalette(dd.palette);
    if (FAILED(result)) {
        NoteDirectDraw("the palette on the screen", result);
        return false;
    }
    return true;
}

void TraceDisplayMode() {
    if (!Win32Tracing()) return;
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof mode;
    if (FAILED(dd.device->GetDisplayMode(&mode))) return;
    char line[96];
    std::snprintf(line, sizeof line, "quillmarsh: display mode %lux%lux%lu",
                  static_cast<unsigned long>(mode.dwWidth), static_cast<unsigned long>(mode.dwHeight),
                  static_cast<unsigned long>(mode.ddpfPixelFormat.dwRGBBitCount));
    Win32Report(line);
}

// Sets the screen mode for the game's picture (width x height) and builds its chain.
bool SetScreenMode(int32_t width, int32_t height, bool doubled) {
    if (FAILED(dd.device->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height), 8, 0, 0)))
        return false;
    ReleaseChain();
    if (!CreateChain()) {
        ReleaseChain();
        return false;
    }
    dd.doubled = doubled;
    return true;
}

void UpdatePalette(const PaletteEntry palette[256]) {
    PALETTEENTRY wanted[256];
    for (int i = 0; i < 256; ++i)
        wanted[i] = PALETTEENTRY{palette[i].red, palette[i].green, palette[i].blue, PC_RESERVED};
    if (std::memcmp(wanted, dd.entries, sizeof wanted) == 0) return;
    std::memcpy(dd.entries, wanted, sizeof wanted);
    dd.palette->SetEntries(0, 0, 256, dd.entries);
}

void ShowOnScreen(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                  const PaletteEntry palette[256], bool waitVerticalBlank) {
    if (!dd.back) return;
    if (dd.primary->IsLost() == DDERR_SURFACELOST && FAILED(dd.primary->Restore())) return;
    UpdatePalette(palette);
    DDSURFACEDESC2 locked{};
    locked.dwSize = sizeof locked;
    if (FAILED(dd.back->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr))) return;
    auto* target = static_cast<uint8_t*>(locked.lpSurface);
    if (dd.doubled) {
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* source = pixels + static_cast<ptrdiff_t>(y) * pitch;
            uint8_t* row = target + static_cast<ptrdiff_t>(2 * y) * locked.lPitch;
            for (int32_t x = 0; x < width; ++x)
                row[2 * x] = row[2 * x + 1] = source[x];
            std::memcpy(row + locked.lPitch, row, static_cast<size_t>(2 * width));
        }
    } else {
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(target + static_cast<ptrdiff_t>(y) * locked.lPitch,
                        pixels + static_cast<ptrdiff_t>(y) * pitch, static_cast<size_t>(width));
    }
    dd.back->Unlock(nullptr);
    dd.primary->Flip(nullptr, waitVerticalBlank ? DDFLIP_WAIT : DDFLIP_WAIT | DDFLIP_NOVSYNC);
}

void EnterWindow() {
    ReleaseChain();
    dd.device->RestoreDisplayMode();
    dd.device->SetCooperativeLevel(win32Window, DDSCL_NORMAL);
    win32Windowed = true;
    Win32PlaceInWindow();
    InvalidateRect(win32Window, nullptr, FALSE);
}

void EnterFullScreen() {
    Win32PlaceFullScreen();
    SetWindowPos(win32Window, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    // The game chose its picture's size in a window, where every size fits: a screen without 320x240
    // shows that picture doubled at 640x480.
    const bool set =
        SUCCEEDED(dd.device->SetCooperativeLevel(win32Window, COOPERATIVE_LEVEL)) &&
        (SetScreenMode(dd.width, dd.height, false) || (dd.width == 320 && SetScreenMode(640, 480, true)));
    if (!set) {
        ReleaseChain();
        dd.device->RestoreDisplayMode();
        dd.device->SetCooperativeLevel(win32Window, DDSCL_NORMAL);
        Win32PlaceInWindow();
        Win32Report("quillmarsh: the display cannot show the game full screen in 256 colours; it stays in a "
                    "window");
        return;
    }
    win32Windowed = false;
    TraceDisplayMode();
    const uint8_t* pixels = nullptr;
    const PaletteEntry* palette = nullptr;
    int32_t pitch = 0, width = 0, height = 0;
    if (Win32KeptPicture(&pixels, &pitch, &width, &height, &palette))
        ShowOnScreen(pixels, pitch, width, height, palette, false);
}
} // namespace

void Win32ToggleFullScreen(DWORD when) {
    // Nothing to switch until the display is up.
    if (!dd.device || !win32Window || dd.width == 0) return;
    if (dd.toggled && when - dd.lastToggle < TOGGLE_GAP_MS) return;
    dd.toggled = true;
    dd.lastToggle = when;
    if (win32Windowed)
        EnterFullScreen();
    else
        EnterWindow();
}

bool BackendDisplayOpen() {
    if (dd.device) return true;
    HRESULT result =
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd.device), IID_IDirectDraw7, nullptr);
    if (FAILED(result)) {
        dd.device = nullptr;
        NoteDirectDraw("to start (no DirectDraw device)", result);
        return false;
    }
    result = dd.device->SetCooperativeLevel(win32Window, win32Windowed ? DDSCL_NORMAL : COOPERATIVE_LEVEL);
    if (FAILED(result)) {
        NoteDirectDraw("full-screen use", result);
        dd.device->Release();
        dd.device = nullptr;
        return false;
    }
    return true;
}

bool BackendDisplaySetMode(int32_t width, int32_t height) {
    if (!dd.device) return false;
    // A window shows either picture; the screen keeps the desktop's mode.
    if (win32Windowed) {
        dd.width = width;
        dd.height = height;
        return true;
    }
    // A mode the device cannot set is not a failure yet: the game tries the next one.
    if (!SetScreenMode(width, height, false)) return false;
    dd.width = width;
    dd.height = height;
    TraceDisplayMode();
    return true;
}

bool BackendDisplayRefreshRate(uint32_t* hz) {
    if (!dd.device) return false;
    DWORD frequency = 0;
    if (FAILED(dd.device->GetMonitorFrequency(&frequency)) || frequency == 0) return false;
    *hz = static_cast<uint32_t>(frequency);
    return true;
}

void BackendDisplayShow(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                        const PaletteEntry palette[256], bool waitVerticalBlank) {
    if (width != dd.width || height != dd.height) return;
    Win32KeepPicture(pixels, pitch, width, height, palette);
    if (win32Windowed) {
        if (HDC dc = win32Window ? GetDC(win32Window) : nullptr) {
            Win32PaintPicture(dc);
            ReleaseDC(win32Window, dc);
        }
        return;
    }
    ShowOnScreen(pixels, pitch, width, height, palette, waitVerticalBlank);
}

void BackendDisplayClose() {
    ReleaseChain();
    if (dd.device) {
        dd.device->RestoreDisplayMode();
        dd.device->SetCooperativeLevel(win32Window, DDSCL_NORMAL);
        dd.device->Release();
    }
    dd = DirectDrawState{};
}
