// The game window's real size, asked of the X server: SDL only knows the sizes it asked for.
#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/sdl/sdl_video.h"

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {
using GetGeometry = decltype(&XGetGeometry);

// SDL has loaded Xlib already when it runs on X; this only finds the function again, so the game needs
// no Xlib of its own at build or run time.
GetGeometry FindGetGeometry() {
    static bool searched = false;
    static GetGeometry found = nullptr;
    if (!searched) {
        searched = true;
        if (void* xlib = SDL_LoadObject("libX11.so.6"))
            found = reinterpret_cast<GetGeometry>(SDL_LoadFunction(xlib, "XGetGeometry"));
    }
    return found;
}
} // namespace

bool SdlRealWindowSize(int* width, int* height) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!sdlVideo.window || !SDL_GetWindowWMInfo(sdlVideo.window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    const GetGeometry getGeometry = FindGetGeometry();
    if (!getGeometry) return false;
    Window root;
    int x = 0, y = 0;
    unsigned int w = 0, h = 0, border = 0, depth = 0;
    if (!getGeometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &w, &h, &border, &depth))
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}
#else
bool SdlRealWindowSize(int*, int*) {
    return false;
}
#endif
