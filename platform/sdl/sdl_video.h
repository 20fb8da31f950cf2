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
};
extern SdlVideo sdlVideo;

// Puts the last shown picture on the screen again (after an exposure or a change of window size).
void SdlRepaint();
void SdlToggleFullScreen();
// How many times the 320x240 picture a window shows: three if the desktop has room, else two.
int SdlWindowFactor(int displayIndex);
