// The Windows game in an ordinary window: GDI stretches the 8-bit picture by a whole factor through a
// colour table made from the game's palette, centred on black.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win32/win32_backend.h"

bool win32Windowed = false;

namespace {
constexpr int32_t GAME_WIDTH = 320;
constexpr int32_t GAME_HEIGHT = 240;
constexpr DWORD WINDOW_STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Larger than this the window would cover most desktops and show nothing more.
constexpr int32_t MAX_WINDOW_FACTOR = 3;

struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

struct KeptPicture {
    std::vector<uint8_t> pixels; // rows of `stride` bytes, the top row first
    int32_t width, height, stride;
    PaletteEntry palette[256];
    DibInfo info;
};
KeptPicture kept = {};

// The largest whole multiple of 320x240 that fits the area (at least 1): the 640x480 picture has every
// pixel doubled, so it is counted in 320x240 steps too and each game pixel stays square and equal.
int32_t FittingFactor(int32_t width, int32_t height) {
    int32_t factor = 1;
    while ((factor + 1) * GAME_WIDTH <= width && (factor + 1) * GAME_HEIGHT <= height)
        ++factor;
    return factor;
}

RECT WorkArea() {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}
} // namespace

void Win32KeepPicture(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                      const PaletteEntry palette[256]) {
    // GDI wants each row of an 8-bit DIB padded to four bytes.
    const int32_t stride = (width + 3) & ~3;
    kept.pixels.resize(static_cast<size_t>(stride) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(&kept.pixels[static_cast<size_t>(y) * static_cast<size_t>(stride)],
                    pixels + static_cast<ptrdiff_t>(y) * pitch, static_cast<size_t>(width));
    kept.width = width;
    kept.height = height;
    kept.stride = stride;
    std::memcpy(kept.palette, palette, sizeof kept.palette);
    kept.info.header = BITMAPINFOHEADER{};
    kept.info.header.biSize = sizeof kept.info.header;
    kept.info.header.biWidth = width;
    kept.info.header.biHeight = -height; // top row first
    kept.info.header.biPlanes = 1;
    kept.info.header.biBitCount = 8;
    kept.info.header.biCompression = BI_RGB;
    kept.info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i)
        kept.info.colours[i] = RGBQUAD{palette[i].blue, palette[i].green, palette[i].red, 0};
}

bool Win32KeptPicture(const uint8_t** pixels, int32_t* pitch, int32_t* width, int32_t* height,
                      const PaletteEntry** palette) {
    if (kept.pixels.empty()) return false;
    *pixels = kept.pixels.data();
    *pitch = kept.stride;
    *width = kept.width;
    *height = kept.height;
    *palette = kept.palette;
    return true;
}

void Win32PaintPicture(HDC dc) {
    if (!win32Window) return;
    RECT client{};
    GetClientRect(win32Window, &client);
    const int32_t factor = FittingFactor(client.right, client.bottom);
    const int32_t w = factor * GAME_WIDTH, h = factor * GAME_HEIGHT;
    const int32_t x = (client.right - w) / 2, y = (client.bottom - h) / 2;
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (kept.pixels.empty()) {
        FillRect(dc, &client, black);
        return;
    }
    // Only the bands around the picture: filling under it too would flicker.
    const RECT bands[4] = {{0, 0, client.right, y},
                           {0, y + h, client.right, client.bottom},
                           {0, y, x, y + h},
                           {x + w, y, client.right, y + h}};
    for (const RECT& band : bands)
        if (band.right > band.left && band.bottom > band.top) FillRect(dc, &band, black);
    // Whole factors only ever repeat pixels; this mode never blends neighbours into new colours.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, w, h, 0, 0, kept.width, kept.height, kept.pixels.data(),
                  reinterpret_cast<const BITMAPINFO*>(&kept.info), DIB_RGB_COLORS, SRCCOPY);
}

void Win32PlaceInWindow() {
    if (!win32Window) return;
    const RECT work = WorkArea();
    int32_t factor = MAX_WINDOW_FACTOR;
    RECT outer{};
    for (; factor >= 1; --factor) {
        outer = RECT{0, 0, factor * GAME_WIDTH, factor * GAME_HEIGHT};
        AdjustWindowRectEx(&outer, WINDOW_STYLE, FALSE, 0);
        if (outer.right - outer.left <= work.right - work.left &&
            outer.bottom - outer.top <= work.bottom - work.top)
            break;
    }
    if (factor < 1) factor = 1;
    const int32_t width = outer.right - outer.left, height = outer.bottom - outer.top;
    SetWindowLongA(win32Window, GWL_EXSTYLE, 0);
    SetWindowLongA(win32Window, GWL_STYLE, static_cast<LONG>(WINDOW_STYLE | WS_VISIBLE));
    SetWindowPos(win32Window, HWND_NOTOPMOST, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    // The frame drawn for the old size would otherwise stay in the caption until something covers it.
    RedrawWindow(win32Window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    if (Win32Tracing()) {
        RECT client{};
        GetClientRect(win32Window, &client);
        POINT corner{0, 0};
        ClientToScreen(win32Window, &corner);
        char line[96];
        std::snprintf(line, sizeof line, "quillmarsh: window %ldx%ld at %ld,%ld", client.right, client.bottom,
                      corner.x, corner.y);
        Win32Report(line);
    }
}

void Win32PlaceFullScreen() {
    if (!win32Window) return;
    SetWindowLongA(win32Window, GWL_EXSTYLE, WS_EX_TOPMOST);
    SetWindowLongA(win32Window, GWL_STYLE, static_cast<LONG>(WS_POPUP));
}
