// Hooks the page tests call through the browser's DevTools: what the game is doing, and two shortcuts to
// moments a test cannot wait minutes for. A player never reaches them.
#include <emscripten.h>

#include <cstdio>

#include "app/main_window.h"
#include "game/game_vars.h"
#include "game/player.h"
#include "platform/web/web_backend.h"
#include "sound/sound_group.h"

extern "C" {

// The game's state as JSON, for the tests to read between frames.
EMSCRIPTEN_KEEPALIVE const char* QuillmarshProbe() {
    static char text[320];
    std::snprintf(text, sizeof text,
                  "{\"scene\":%d,\"active\":%d,\"presents\":%u,\"stage\":%d,\"lives\":%d,\"bestRecord\":%d,"
                  "\"gamePhase\":%d,\"GameState\":%d,\"playerX\":%d,\"playerY\":%d}",
                  static_cast<int>(currentScene), static_cast<int>(appActive), WebPresentCount,
                  static_cast<int>(stage), static_cast<int>(lives), static_cast<int>(bestRecord),
                  static_cast<int>(gamePhase), static_cast<int>(GameState), static_cast<int>(player.body.x),
                  static_cast<int>(player.body.y));
    return text;
}

// Ends the game in play as if its last life were taken at this stage: the game's own capture, fade,
// record and title follow. 0 when there is no play to end.
EMSCRIPTEN_KEEPALIVE int QuillmarshLoseLastLife(int stageReached) {
    if (currentScene != SCENE_GAME || gamePhase != PHASE_RUN || GameState != GAME_PLAY || stageReached < 1)
        return 0;
    stage = stageReached;
    lives = 0;
    stageResult = RESULT_CAUGHT;
    GameState = GAME_CAUGHT;
    return 1;
}

// Plays one of the game's sounds with the given pan (hundredths of a decibel off the far side).
EMSCRIPTEN_KEEPALIVE int QuillmarshPlaySound(int group, int pan) {
    if (group < 0 || group >= SND_COUNT || soundGroups[group].count <= 0) return 0;
    SoundGroup* sounds = &soundGroups[group];
    const int32_t next = sounds->next >= 0 && sounds->next < sounds->count ? sounds->next : 0;
    DSSetPan(sounds, next, pan, 0);
    DSPlay(sounds, 0);
    return 1;
}
}
