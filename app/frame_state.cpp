// The state each frame ran in, traced as it changes, so a script driving the real game can wait for it.
#include "app/frame_state.h"

#include <string>

#include "app/main_window.h"
#include "base/trace.h"
#include "game/game_vars.h"
#include "game/title_scene.h"

namespace {
const char* lastState = nullptr;

const char* TitleStateName() {
    // A loading frame starts the fade-in at once; an unloading one shows the faded-out picture.
    if (titlePhase == PHASE_LOAD) return "title-fade-in";
    if (titlePhase == PHASE_UNLOAD) return "title-fade-out";
    switch (titleState) {
    case TITLE_FADE_IN:
        return "title-fade-in";
    case TITLE_WAVE:
        return "title-wave";
    case TITLE_WAIT:
        return "title-settled";
    default:
        return "title-fade-out";
    }
}

const char* GameStateName() {
    if (gamePhase == PHASE_LOAD) return "game-intro";
    if (gamePhase == PHASE_UNLOAD) return "game-fade-out";
    // A paused frame runs nothing, whatever the state it froze.
    if (paused) return "game-paused";
    switch (GameState) {
    case GAME_INTRO:
        return "game-intro";
    case GAME_PLAY:
        return "game-play";
    case GAME_CLEARED:
        return "game-cleared";
    case GAME_CAUGHT:
        return "game-caught";
    default:
        return "game-fade-out";
    }
}
} // namespace

const char* FrameStateName() {
    if (currentScene == SCENE_TITLE) return TitleStateName();
    if (currentScene == SCENE_GAME) return GameStateName();
    return "other";
}

void NoteFrameState(const char* name) {
    // The names are literals: the same state is the same pointer.
    if (name == lastState) return;
    lastState = name;
    TraceLog((std::string("quillmarsh: state ") + name).c_str());
}

void ResetFrameState() {
    lastState = nullptr;
}
