// Program entry, the window procedure, and the process-wide state of the window.
#pragma once
#include <cstdint>

#include "platform/window.h"

enum SceneId : int32_t {
    SCENE_TITLE = 0,
    SCENE_GAME = 1,
};

extern PlatformWindow mainWindow;
extern uint8_t appActive;
extern uint8_t appStarted;
extern int32_t currentScene;
extern uint8_t paused;
extern PlatformRect clientRect;

// The exit code: 0 when the player quit, 1 when the run ended because something failed (FailureLine says
// what).
int32_t WinMain(void* instance, void* previousInstance, const char* commandLine, int32_t showCommand);
intptr_t MainWndProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void ShowOutOfMemory();
// Puts every variable of the window and the frame loop back to its starting value (tests and replays).
void ResetAppState();
