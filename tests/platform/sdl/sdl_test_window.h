// The game's window on SDL's dummy video driver, opened and closed the way the entry does, for SDL tests.
#pragma once
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "app/main_window.h"
#include "platform/backend.h"
#include "platform/sdl/sdl_video.h"
#include "video/display.h"

inline void OpenSdlTestWindow() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("QUILLMARSH_WINDOWED", "0", 1);
    PlatformResetWindows();
    ResetAppState();
    displayModes[0] = DisplayMode{320, 240, 8};
    ASSERT_TRUE(PlatformRegisterWindowClass("Quillmarsh", MainWndProc));
    mainWindow = PlatformCreateWindow("Quillmarsh", "Quillmarsh", 100, 100, 320, 240);
    ASSERT_NE(mainWindow, nullptr);
    PlatformShowWindow(mainWindow, SW_SHOWNORMAL);
}

inline void CloseSdlTestWindow() {
    DDRelease();
    PlatformDestroyWindow(mainWindow);
    PlatformResetWindows();
    SDL_Quit();
}
