// Which scene runs, the pause flag, and the one window the scenes answer to when memory runs out.
#pragma once
#include <cstdint>

#include "platform/window.h"

enum SceneId : int32_t {
    SCENE_TITLE = 0,
    SCENE_GAME = 1,
};

// Written by the scenes as they hand over to each other, read by the frame loop and the window procedure.
extern int32_t currentScene;
// Toggled by the window procedure (Space in play), read by the game scene.
extern uint8_t paused;
// The one window, set by the entry when it is made: owner of the out-of-memory box, and where a scene that
// ran out of memory posts its close request.
extern PlatformWindow mainWindow;

void ShowOutOfMemory();
