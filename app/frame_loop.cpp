// One frame of the game, and the gate that paces frames.
#include "app/frame_loop.h"

#include "app/main_window.h"
#include "game/game_scene.h"
#include "game/title_scene.h"
#include "input/controls.h"
#include "platform/clock.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/surface.h"

namespace {
bool frameTimerStarted = false;
uint32_t nextFrameTime = 0;
} // namespace

void ResetFrameTimer() {
    frameTimerStarted = false;
    nextFrameTime = 0;
}

uint32_t FrameTimerNext() {
    return nextFrameTime;
}

bool FrameTimer(uint32_t rate) {
    if (!frameTimerStarted) {
        frameTimerStarted = true;
        nextFrameTime = PlatformTimeGetTime();
    }
    const uint32_t now = PlatformTimeGetTime();
    if (rate == 0) return true;
    // Compared as a signed distance, so a deadline set just before the clock wraps still opens after it.
    if (static_cast<int32_t>(now - nextFrameTime) < 0) return false;
    nextFrameTime = now + 1000 / rate;
    return true;
}

bool RunFrame() {
    while (!FrameTimer(FRAME_RATE)) {
    }
    if (!DDRestoreSurfaces()) return false;
    SampleControls(&inputState, 0, CONTROL_SOURCE_JOYSTICK | CONTROL_SOURCE_KEYBOARD);
    if (currentScene == SCENE_TITLE) {
        if (!TitleScene()) return false;
    } else if (currentScene == SCENE_GAME) {
        if (!GameScene()) return false;
    }
    if (paletteFadeActive) DDUploadWorkPalette(PALETTE_DARKENING_ENTRIES);
    DDPresent();
    return true;
}
