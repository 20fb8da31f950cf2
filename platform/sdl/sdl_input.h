// The SDL keyboard and joystick backend's hooks into the event pump.
#pragma once

#include <SDL.h>

bool SdlInputInit();
void SdlInputQuit();
// Joystick and game controller arrivals and departures.
void SdlInputHandleEvent(const SDL_Event& event);
