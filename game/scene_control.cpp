// Which scene runs, the pause flag, and the one window the scenes answer to when memory runs out.
#include "game/scene_control.h"

int32_t currentScene = SCENE_TITLE;
uint8_t paused = 0;
PlatformWindow mainWindow = nullptr;

void ShowOutOfMemory() {
    PlatformMessageBox(mainWindow, "メモリ不足！再起動してください！", "エラー", MB_OK);
}
