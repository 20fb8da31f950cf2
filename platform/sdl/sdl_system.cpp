// The SDL backend's window, clock and event pump: SDL events become the game's window messages.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/failure.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/screenshot.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_shutdown.h"
#include "platform/sdl/sdl_video.h"

SdlVideo sdlVideo = {};

namespace {
PlatformWindow gameWindow = nullptr;

bool Unset(const char* value) {
    return !value || !*value;
}

// Whether driver is one of the names in SDL_VIDEODRIVER (a comma-separated list), in any case.
bool AskedForByName(const char* driver) {
    const char* list = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (Unset(list) || !driver) return false;
    const size_t length = std::strlen(driver);
    for (const char* item = list; item;) {
        const char* end = std::strchr(item, ',');
        const size_t itemLength = end ? static_cast<size_t>(end - item) : std::strlen(item);
        if (itemLength == length && SDL_strncasecmp(item, driver, length) == 0) return true;
        item = end ? end + 1 : nullptr;
    }
    return false;
}

// SDL falls back to drivers that draw only into memory when it finds no screen. The player would see
// nothing and the game would run for ever, so such a driver counts as no display unless it was asked for.
bool ShowsNothing(const char* driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
           !AskedForByName(driver);
}

void NoteNoDisplay(const char* sdlError) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string reason = "no display to show the game on: ";
    if (Unset(x11) && Unset(wayland)) {
        reason += "DISPLAY is not set; start the game from a desktop session";
    } else {
        reason += Unset(x11) ? "cannot open the Wayland display " + std::string(wayland)
                             : "cannot open the X display " + std::string(x11);
        if (!Unset(sdlError)) reason += std::string(" (") + sdlError + ")";
    }
    NoteFailure(reason.c_str());
}

bool WantWindowed() {
    const char* value = std::getenv("QUILLMARSH_WINDOWED");
    return value && *value && std::strcmp(value, "0") != 0;
}

uintptr_t VirtualKeyOf(SDL_Keycode key) {
    switch (key) {
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_z:
        return VK_Z;
    case SDLK_x:
        return VK_X;
    default:
        return 0;
    }
}

// F12 belongs to the player, not the game: the picture is saved and the window procedure never hears of
// the key, so play goes on exactly as it would have.
void TakeScreenshot() {
    std::string path, why;
    if (SaveScreenshot(&path, &why)) {
        std::printf("quillmarsh: screenshot saved as %s\n", path.c_str());
        std::fflush(stdout);
    } else {
        std::fprintf(stderr, "quillmarsh: cannot save a screenshot: %s\n", why.c_str());
    }
}

void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        PlatformPostMessage(gameWindow, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            PlatformPostMessage(gameWindow, WM_ACTIVATEAPP, 1, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            PlatformPostMessage(gameWindow, WM_ACTIVATEAPP, 0, 0);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            PlatformPostMessage(gameWindow, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_MOVED:
            PlatformPostMessage(gameWindow, WM_MOVE, 0, 0);
            break;
        // The backend keeps the last picture itself, so a repaint needs nothing from the game.
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            SdlRepaint();
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN: {
        const SDL_Keycode key = event.key.keysym.sym;
        if ((key == SDLK_RETURN || key == SDLK_KP_ENTER) && (event.key.keysym.mod & KMOD_ALT)) {
            if (!event.key.repeat) SdlToggleFullScreen(event.key.timestamp);
            break;
        }
        if (key == SDLK_F12) {
            if (!event.key.repeat) TakeScreenshot();
            break;
        }
        const uintptr_t vk = VirtualKeyOf(key);
        if (vk) PlatformPostMessage(gameWindow, WM_KEYDOWN, vk, event.key.repeat ? KEY_REPEAT_BIT | 1 : 1);
        break;
    }
    case SDL_AUDIODEVICEREMOVED:
        SdlAudioDeviceRemoved(event.adevice.iscapture != 0);
        break;
    default:
        SdlInputHandleEvent(event);
        break;
    }
}
} // namespace

uint32_t PlatformTimeGetTime() {
    return SDL_GetTicks();
}
void PlatformTimeBeginPeriod(uint32_t) {}
void PlatformTimeEndPeriod(uint32_t) {}
void PlatformSleep(uint32_t milliseconds) {
    SDL_Delay(milliseconds);
}

void BackendPumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        HandleEvent(event);
}

void BackendWaitEvents() {
    SDL_Event event;
    if (SDL_WaitEvent(&event)) HandleEvent(event);
}

bool BackendCreateWindow(PlatformWindow window, const char* caption, int32_t x, int32_t y, int32_t width,
                         int32_t height) {
    gameWindow = window;
    sdlVideo = SdlVideo{};
    SdlInputInit();
    // Without a screen the window still exists for the game; the display set-up then fails and says so.
    // With no desktop session named and no driver asked for, the drivers are not even tried: some print
    // complaints of their own, which would come before the game's one line.
    if (Unset(std::getenv("DISPLAY")) && Unset(std::getenv("WAYLAND_DISPLAY")) &&
        Unset(SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
        NoteNoDisplay(nullptr);
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        NoteNoDisplay(SDL_GetError());
        return true;
    }
    if (ShowsNothing(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        NoteNoDisplay(nullptr);
        return true;
    }
    sdlVideo.videoReady = true;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    Uint32 flags = SDL_WINDOW_HIDDEN;
    sdlVideo.fullScreen = !WantWindowed();
    SDL_DisplayMode desktop;
    if (sdlVideo.fullScreen && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        // Created at the desktop's size: some window managers (and none at all) keep a window's first size.
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        width = desktop.w;
        height = desktop.h;
        x = y = SDL_WINDOWPOS_UNDEFINED;
    } else {
        sdlVideo.fullScreen = false;
        const int factor = SdlWindowFactor(0);
        width *= factor;
        height *= factor;
        x = y = SDL_WINDOWPOS_CENTERED;
    }
    sdlVideo.window = SDL_CreateWindow(caption, x, y, width, height, flags);
    if (!sdlVideo.window) {
        NoteFailure(
            (std::string("cannot open the game's window on the display (") + SDL_GetError() + ")").c_str());
        sdlVideo.videoReady = false;
        return true;
    }
    return true;
}

void BackendShowWindow(PlatformWindow window) {
    if (sdlVideo.window) {
        SDL_ShowWindow(sdlVideo.window);
        SDL_RaiseWindow(sdlVideo.window);
    }
    // Shown in the foreground: the application is active from here, as on the desktop it was made for.
    PlatformSendMessage(window, WM_ACTIVATEAPP, 1, 0);
}

void BackendDestroyWindow(PlatformWindow) {
    if (sdlVideo.texture) SDL_DestroyTexture(sdlVideo.texture);
    if (sdlVideo.renderer) SDL_DestroyRenderer(sdlVideo.renderer);
    if (sdlVideo.window) SDL_DestroyWindow(sdlVideo.window);
    sdlVideo = SdlVideo{};
    gameWindow = nullptr;
}

void BackendSetFullScreenStyle(PlatformWindow) {}

PlatformRect BackendClientRectOnScreen(PlatformWindow) {
    int x = 0, y = 0, w = 320, h = 240;
    if (sdlVideo.window) {
        SDL_GetWindowPosition(sdlVideo.window, &x, &y);
        SDL_GetWindowSize(sdlVideo.window, &w, &h);
    }
    return PlatformRect{x, y, x + w, y + h};
}

void BackendMessageBox(const char* text, const char* caption, uint32_t flags) {
    const Uint32 kind = (flags & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    // The box needs the cursor, which the game hides.
    const int shown = SDL_ShowCursor(SDL_QUERY);
    SDL_ShowCursor(SDL_ENABLE);
    SDL_ShowSimpleMessageBox(kind, caption, text, sdlVideo.window);
    SDL_ShowCursor(shown);
}

void BackendSetCursorVisible(bool visible) {
    if (sdlVideo.videoReady) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// Files here are ordinary files: nothing more to do once one is in place.
void BackendFileReplaced(const char*) {}

void SdlShutdown() {
    SDL_Quit();
}
