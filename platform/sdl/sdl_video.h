// State shared between the SDL backend's window and display halves.
#pragma once

#include <SDL.h>

struct SdlVideo {
    bool videoReady; // the video subsystem started (there is a screen to show on)
    SDL_Window* window;
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    int textureWidth, textureHeight;
    bool fullScreen;
    bool vsync;
    bool toggled;        // Alt+Enter has switched at least once
    uint32_t lastToggle; // SDL ticks of the last switch
    uint32_t sizeCheckedAt;
    uint32_t mismatchSince; // since when the real window size has differed from SDL's (0 = it does not)
    int mismatchW, mismatchH;
};
extern SdlVideo sdlVideo;

// Puts the last shown picture on the screen again (after an exposure or a change of window size).
void SdlRepaint();
// Switches between full screen and a window, unless the last switch was less than a quarter second
// before now (SDL ticks).
void SdlToggleFullScreen(uint32_t now);
// Where the picture goes in an output of outW x outH: the largest whole multiple of 320x240 that fits
// (at least 1), centred.
SDL_Rect SdlPictureRect(int outW, int outH);
// The window's size as the window system has it, which SDL may not know; false when it cannot be asked.
bool SdlRealWindowSize(int* width, int* height);
// How many times the 320x240 picture a window shows: three if the desktop has room, else two.
int SdlWindowFactor(int displayIndex);
