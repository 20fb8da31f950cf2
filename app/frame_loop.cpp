// One frame of the game, and the gate that paces frames.
#include "app/frame_loop.h"

#include <cstring>

#include "app/frame_state.h"
#include "app/main_window.h"
#include "app/session_replay.h"
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
uint32_t lastGateReading = 0;
bool lowPowerGate = false;
void (*frameOpened)() = nullptr;
void (*framePresented)() = nullptr;

// Sleeps through most of the wait, judged from the gate's own last reading so that the wait itself adds
// no clock reads; the last LOW_POWER_SPIN_MS are spun as usual, which absorbs a sleep that runs long.
void SleepTowardDeadline() {
    const auto left = static_cast<int32_t>(nextFrameTime - lastGateReading);
    if (left > static_cast<int32_t>(LOW_POWER_SPIN_MS))
        PlatformSleep(static_cast<uint32_t>(left) - LOW_POWER_SPIN_MS);
}
} // namespace

void ResetFrameTimer() {
    frameTimerStarted = false;
    nextFrameTime = 0;
    lastGateReading = 0;
    lowPowerGate = false;
    ResetFrameState();
}

void SetLowPowerGate(bool on) {
    lowPowerGate = on;
}

bool LowPowerGateWanted(const char* setting) {
    return !setting || std::strcmp(setting, "0") != 0;
}

void SetFrameObservers(void (*opened)(), void (*presented)()) {
    frameOpened = opened;
    framePresented = presented;
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
    lastGateReading = now;
    if (rate == 0) return true;
    // Compared as a signed distance, so a deadline set just before the clock wraps still opens after it.
    if (static_cast<int32_t>(now - nextFrameTime) < 0) return false;
    nextFrameTime = now + 1000 / rate;
    return true;
}

bool RunFrame() {
    while (!FrameTimer(FRAME_RATE)) {
        // Fast-forward: the same frame, without the wait.
        if (SessionReplaySkipsWait()) break;
        if (lowPowerGate) SleepTowardDeadline();
    }
    if (frameOpened) frameOpened();
    if (!DDRestoreSurfaces()) return false;
    SampleControls(&inputState, 0, CONTROL_SOURCE_JOYSTICK | CONTROL_SOURCE_KEYBOARD);
    const char* state = FrameStateName();
    if (currentScene == SCENE_TITLE) {
        if (!TitleScene()) return false;
    } else if (currentScene == SCENE_GAME) {
        if (!GameScene()) return false;
    }
    if (paletteFadeActive) DDUploadWorkPalette(PALETTE_DARKENING_ENTRIES);
    DDPresent();
    NoteFrameState(state);
    if (framePresented) framePresented();
    return true;
}
