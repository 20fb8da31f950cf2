// The SDL backend's display: each finished 8-bit picture through its palette, scaled by a whole factor.
#include <SDL.h>

#include <cstring>
#include <vector>

#include "platform/backend.h"
#include "platform/sdl/sdl_video.h"

namespace {
std::vector<uint32_t> lastPicture; // ARGB, textureWidth x textureHeight

bool EnsureTexture(int width, int height) {
    if (sdlVideo.texture && sdlVideo.textureWidth == width && sdlVideo.textureHeight == height) return true;
    if (sdlVideo.texture) SDL_DestroyTexture(sdlVideo.texture);
    sdlVideo.texture = SDL_CreateTexture(sdlVideo.renderer, SDL_PIXELFORMAT_ARGB8888,
                                         SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!sdlVideo.texture) return false;
    sdlVideo.textureWidth = width;
    sdlVideo.textureHeight = height;
    return true;
}

void Draw() {
    if (!sdlVideo.renderer || !sdlVideo.texture) return;
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(sdlVideo.renderer, &outW, &outH);
    // The largest whole factor that fits, centred on black: pixels stay square and sharp.
    int factor = 1;
    while ((factor + 1) * sdlVideo.textureWidth <= outW && (factor + 1) * sdlVideo.textureHeight <= outH)
        ++factor;
    const SDL_Rect dest{(outW - factor * sdlVideo.textureWidth) / 2,
                        (outH - factor * sdlVideo.textureHeight) / 2, factor * sdlVideo.textureWidth,
                        factor * sdlVideo.textureHeight};
    SDL_SetRenderDrawColor(sdlVideo.renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdlVideo.renderer);
    SDL_RenderCopy(sdlVideo.renderer, sdlVideo.texture, nullptr, &dest);
    SDL_RenderPresent(sdlVideo.renderer);
}

void SetVsync(bool on) {
    if (sdlVideo.vsync == on) return;
    sdlVideo.vsync = on;
    SDL_RenderSetVSync(sdlVideo.renderer, on ? 1 : 0);
}
} // namespace

void SdlRepaint() {
    if (!sdlVideo.texture || lastPicture.empty()) return;
    Draw();
}

int SdlWindowFactor(int displayIndex) {
    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(displayIndex < 0 ? 0 : displayIndex, &usable) != 0) return 2;
    return (usable.w >= 960 && usable.h >= 720) ? 3 : 2;
}

void SdlToggleFullScreen() {
    if (!sdlVideo.window) return;
    if (sdlVideo.fullScreen) {
        SDL_SetWindowFullscreen(sdlVideo.window, 0);
        const int factor = SdlWindowFactor(SDL_GetWindowDisplayIndex(sdlVideo.window));
        SDL_SetWindowSize(sdlVideo.window, 320 * factor, 240 * factor);
        SDL_SetWindowPosition(sdlVideo.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        sdlVideo.fullScreen = false;
    } else {
        // Without a window manager a window keeps its size when it goes full screen: give it the desktop's.
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(sdlVideo.window), &desktop) == 0) {
            SDL_SetWindowPosition(sdlVideo.window, 0, 0);
            SDL_SetWindowSize(sdlVideo.window, desktop.w, desktop.h);
        }
        SDL_SetWindowFullscreen(sdlVideo.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        sdlVideo.fullScreen = true;
    }
    SdlRepaint();
}

bool BackendDisplayOpen() {
    if (!sdlVideo.videoReady || !sdlVideo.window) return false;
    if (!sdlVideo.renderer) {
        sdlVideo.renderer = SDL_CreateRenderer(sdlVideo.window, -1, 0);
        if (!sdlVideo.renderer) return false;
        sdlVideo.vsync = false;
    }
    return true;
}

bool BackendDisplaySetMode(int32_t width, int32_t height) {
    return EnsureTexture(width, height);
}

bool BackendDisplayRefreshRate(uint32_t* hz) {
    SDL_DisplayMode mode;
    const int index = sdlVideo.window ? SDL_GetWindowDisplayIndex(sdlVideo.window) : 0;
    if (SDL_GetCurrentDisplayMode(index < 0 ? 0 : index, &mode) != 0 || mode.refresh_rate <= 0) return false;
    *hz = static_cast<uint32_t>(mode.refresh_rate);
    return true;
}

void BackendDisplayShow(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                        const PaletteEntry palette[256], bool waitVerticalBlank) {
    if (!sdlVideo.renderer || !EnsureTexture(width, height)) return;
    lastPicture.resize(static_cast<size_t>(width) * height);
    PlatformConvertToArgb(pixels, pitch, width, height, palette, lastPicture.data());
    SDL_UpdateTexture(sdlVideo.texture, nullptr, lastPicture.data(), width * 4);
    SetVsync(waitVerticalBlank);
    Draw();
}

void BackendDisplayClose() {
    if (sdlVideo.texture) SDL_DestroyTexture(sdlVideo.texture);
    if (sdlVideo.renderer) SDL_DestroyRenderer(sdlVideo.renderer);
    sdlVideo.texture = nullptr;
    sdlVideo.renderer = nullptr;
    lastPicture.clear();
}
