// The whole SDL game (SDL's dummy video and sound) played with a virtual joystick that is pulled out in the
// middle of a stage: the game plays on, the pulled stick no longer steers, and a new one is taken up.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <string>

#include "app/frame_loop.h"
#include "app/frame_state.h"
#include "app/main_window.h"
#include "base/failure.h"
#include "game/player.h"
#include "game/scene_control.h"
#include "platform/sdl/sdl_shutdown.h"
#include "platform/window.h"

namespace {
// How the drive went, frame by frame; read by the test once the game has ended.
struct Drive {
    int frame = 0;
    int phase = 0;
    int phaseFrames = 0;
    SDL_Joystick* stick = nullptr;
    int32_t startX = 0, startY = 0;
    bool movedWithFirst = false;
    bool stoppedWhenPulled = true;
    bool playedOnAfterPull = true;
    bool movedWithSecond = false;
    std::string stateAfterPull;
    bool gaveUp = false;
};
Drive drive;

SDL_Joystick* Attach() {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 2, 0);
    return index < 0 ? nullptr : SDL_JoystickOpen(index);
}

void Pull(SDL_Joystick* stick) {
    const SDL_JoystickID id = SDL_JoystickInstanceID(stick);
    SDL_JoystickClose(stick);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
}

void NextPhase() {
    ++drive.phase;
    drive.phaseFrames = 0;
    drive.startX = player.body.x;
    drive.startY = player.body.y;
}

// Runs after every presented frame, on the game's own thread, as a player's hands would.
void OnPresented() {
    ++drive.frame;
    ++drive.phaseFrames;
    const std::string state = FrameStateName();
    if (drive.frame > 4000) {
        drive.gaveUp = true;
        PlatformPostMessage(mainWindow, WM_CLOSE, 0, 0);
        return;
    }
    switch (drive.phase) {
    case 0: // plugged in on the title
        drive.stick = Attach();
        if (!drive.stick) {
            drive.gaveUp = true;
            PlatformPostMessage(mainWindow, WM_CLOSE, 0, 0);
            return;
        }
        NextPhase();
        break;
    case 1: // button 1 pressed and released until a stage is in play
        SDL_JoystickSetVirtualButton(drive.stick, 0, (drive.frame / 8) % 2 == 0 ? SDL_PRESSED : SDL_RELEASED);
        if (state == "game-play") {
            SDL_JoystickSetVirtualButton(drive.stick, 0, SDL_RELEASED);
            SDL_JoystickSetVirtualAxis(drive.stick, 0, SDL_JOYSTICK_AXIS_MAX); // hold it right
            NextPhase();
        }
        break;
    case 2: // walking right with the stick, then pulled out mid-walk
        if (drive.phaseFrames == 40) {
            drive.movedWithFirst = player.body.x != drive.startX;
            Pull(drive.stick);
            drive.stick = nullptr;
            NextPhase();
        }
        break;
    case 3: // no stick: frames go on in play and nothing steers (no key is held)
        if (state != "game-play") drive.playedOnAfterPull = false;
        // A frame or two may still have sampled the stick before SDL told the game it was gone.
        if (drive.phaseFrames == 5) drive.startX = player.body.x;
        if (drive.phaseFrames > 5 && player.body.x != drive.startX) drive.stoppedWhenPulled = false;
        if (drive.phaseFrames == 60) {
            drive.stateAfterPull = state;
            drive.stick = Attach();
            if (drive.stick) SDL_JoystickSetVirtualAxis(drive.stick, 1, SDL_JOYSTICK_AXIS_MIN); // up
            NextPhase();
        }
        break;
    case 4: // a new stick steers at once
        if (drive.phaseFrames == 40) {
            drive.movedWithSecond = player.body.y != drive.startY;
            if (drive.stick) Pull(drive.stick);
            drive.stick = nullptr;
            PlatformPostMessage(mainWindow, WM_CLOSE, 0, 0);
            NextPhase();
        }
        break;
    default:
        break;
    }
}
} // namespace

TEST(SdlGameJoystick, PulledOutMidStageTheGamePlaysOnAndANewOneSteers) {
    drive = Drive{};
    ClearFailure();
    ResetFrameState();
    // Sleeps between frames like the real game, instead of keeping a core busy for the whole run.
    SetLowPowerGate(true);
    SetFrameObservers(nullptr, OnPresented);
    // SDL's dummy video gives no window the keyboard focus, and SDL ignores joysticks in the background.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);
    SetFrameObservers(nullptr, nullptr);
    const std::string failure = NotedFailure() ? NotedFailure() : "";
    SdlShutdown();

    EXPECT_EQ(exitCode, 0) << failure;
    EXPECT_FALSE(drive.gaveUp) << "stuck in phase " << drive.phase << " at frame " << drive.frame;
    EXPECT_EQ(drive.phase, 5);
    EXPECT_TRUE(drive.movedWithFirst);
    EXPECT_TRUE(drive.playedOnAfterPull);
    EXPECT_EQ(drive.stateAfterPull, "game-play");
    EXPECT_TRUE(drive.stoppedWhenPulled) << "the pulled stick still steered";
    EXPECT_TRUE(drive.movedWithSecond);
}
