// The SDL backend's display: each finished 8-bit picture through its palette, scaled by a whole factor.
#include <SDL.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/failure.h"
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

// How long the window must keep a size other than the one SDL believes before SDL is told: a window
// manager may still be carrying out the last request.
constexpr uint32_t SIZE_SETTLE_MS = 500;
constexpr uint32_t SIZE_CHECK_MS = 100;
// Alt+Enter pressed faster than the window manager can follow leaves a cropped or misplaced picture.
constexpr uint32_t TOGGLE_GAP_MS = 250;

// A window manager may refuse a size (matchbox keeps every window as large as the desktop) without SDL
// noticing: its renderer then draws for the size it asked for, in a corner of the real window. Once the
// real size has held for a moment, SDL is told, and its renderer follows.
void FollowRealWindowSize() {
    if (sdlVideo.fullScreen || !sdlVideo.window) return;
    const uint32_t now = SDL_GetTicks();
    if (sdlVideo.sizeCheckedAt && now - sdlVideo.sizeCheckedAt < SIZE_CHECK_MS) return;
    sdlVideo.sizeCheckedAt = now ? now : 1;
    int realW = 0, realH = 0, believedW = 0, believedH = 0;
    if (!SdlRealWindowSize(&realW, &realH)) return;
    SDL_GetWindowSize(sdlVideo.window, &believedW, &believedH);
    if (realW == believedW && realH == believedH) {
        sdlVideo.mismatchSince = 0;
        return;
    }
    if (!sdlVideo.mismatchSince || realW != sdlVideo.mismatchW || realH != sdlVideo.mismatchH) {
        sdlVideo.mismatchSince = now ? now : 1;
        sdlVideo.mismatchW = realW;
        sdlVideo.mismatchH = realH;
        return;
    }
    if (now - sdlVideo.mismatchSince < SIZE_SETTLE_MS) return;
    sdlVideo.mismatchSince = 0;
    SDL_SetWindowSize(sdlVideo.window, realW, realH);
}

void Draw() {
    if (!sdlVideo.renderer || !sdlVideo.texture) return;
    FollowRealWindowSize();
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(sdlVideo.renderer, &outW, &outH);
    const SDL_Rect dest = SdlPictureRect(outW, outH);
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

SDL_Rect SdlPictureRect(int outW, int outH) {
    // Counted in 320x240 steps whatever the texture: the 640x480 picture has every pixel doubled, so
    // showing it at 3 x 320 keeps each game pixel exactly 3 screen pixels wide.
    int factor = 1;
    while ((factor + 1) * 320 <= outW && (factor + 1) * 240 <= outH)
        ++factor;
    return SDL_Rect{(outW - factor * 320) / 2, (outH - factor * 240) / 2, factor * 320, factor * 240};
}

void SdlRepaint() {
    if (!sdlVideo.texture || lastPicture.empty()) return;
    Draw();
}

int SdlWindowFactor(int displayIndex) {
    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(displayIndex < 0 ? 0 : displayIndex, &usable) != 0) return 2;
    return (usable.w >= 960 && usable.h >= 720) ? 3 : 2;
}

void SdlToggleFullScreen(uint32_t now) {
    if (!sdlVideo.window) return;
    if (sdlVideo.toggled && now - sdlVideo.lastToggle < TOGGLE_GAP_MS) return;
    sdlVideo.toggled = true;
    sdlVideo.lastToggle = now;
    sdlVideo.mismatchSince = 0;
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
        if (!sdlVideo.renderer) {
            NoteFailure((std::string("cannot draw in the game's window (") + SDL_GetError() + ")").c_str());
            return false;
        }
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
