// Program entry, the window procedure, and the process-wide state of the window.
#pragma once
#include <cstdint>

#include "game/scene_control.h"
#include "platform/window.h"

extern uint8_t appActive;
extern uint8_t appStarted;
extern PlatformRect clientRect;

// The exit code: 0 when the player quit, 1 when the run ended because something failed (FailureLine says
// what).
int32_t WinMain(void* instance, void* previousInstance, const char* commandLine, int32_t showCommand);
intptr_t MainWndProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Puts every variable of the window and the frame loop back to its starting value (tests and replays).
void ResetAppState();
