// The Windows backend's display: DirectDraw 7 in an 8-bit exclusive mode, each finished picture copied
// into the back buffer of a real flip chain under a real palette.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/failure.h"
#include "platform/backend.h"
#include "platform/win32/win32_backend.h"

namespace {
constexpr DWORD COOPERATIVE_LEVEL = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE; // 0x13

struct DirectDrawState {
    IDirectDraw7* device;
    IDirectDrawSurface7* primary;
    IDirectDrawSurface7* back;
    IDirectDrawPalette* palette;
    PALETTEENTRY entries[256];
    int32_t width, height;
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

void UpdatePalette(const PaletteEntry palette[256]) {
    PALETTEENTRY wanted[256];
    for (int i = 0; i < 256; ++i)
        wanted[i] = PALETTEENTRY{palette[i].red, palette[i].green, palette[i].blue, PC_RESERVED};
    if (std::memcmp(wanted, dd.entries, sizeof wanted) == 0) return;
    std::memcpy(dd.entries, wanted, sizeof wanted);
    dd.palette->SetEntries(0, 0, 256, dd.entries);
}
} // namespace

bool BackendDisplayOpen() {
    if (dd.device) return true;
    HRESULT result =
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd.device), IID_IDirectDraw7, nullptr);
    if (FAILED(result)) {
        dd.device = nullptr;
        NoteDirectDraw("to start (no DirectDraw device)", result);
        return false;
    }
    result = dd.device->SetCooperativeLevel(win32Window, COOPERATIVE_LEVEL);
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
    // A mode the device cannot set is not a failure yet: the game tries the next one.
    if (FAILED(dd.device->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height), 8, 0, 0)))
        return false;
    ReleaseChain();
    if (!CreateChain()) {
        ReleaseChain();
        return false;
    }
    dd.width = width;
    dd.height = height;
    if (const char* trace = std::getenv("QUILLMARSH_TRACE"); trace && *trace) {
        DDSURFACEDESC2 mode{};
        mode.dwSize = sizeof mode;
        if (SUCCEEDED(dd.device->GetDisplayMode(&mode))) {
            char line[96];
            std::snprintf(line, sizeof line, "quillmarsh: display mode %lux%lux%lu",
                          static_cast<unsigned long>(mode.dwWidth), static_cast<unsigned long>(mode.dwHeight),
                          static_cast<unsigned long>(mode.ddpfPixelFormat.dwRGBBitCount));
            Win32Report(line);
        }
    }
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
    if (!dd.back || width != dd.width || height != dd.height) return;
    if (dd.primary->IsLost() == DDERR_SURFACELOST && FAILED(dd.primary->Restore())) return;
    UpdatePalette(palette);
    DDSURFACEDESC2 locked{};
    locked.dwSize = sizeof locked;
    if (FAILED(dd.back->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr))) return;
    auto* target = static_cast<uint8_t*>(locked.lpSurface);
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(target + static_cast<ptrdiff_t>(y) * locked.lPitch,
                    pixels + static_cast<ptrdiff_t>(y) * pitch, static_cast<size_t>(width));
    dd.back->Unlock(nullptr);
    dd.primary->Flip(nullptr, waitVerticalBlank ? DDFLIP_WAIT : DDFLIP_WAIT | DDFLIP_NOVSYNC);
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
