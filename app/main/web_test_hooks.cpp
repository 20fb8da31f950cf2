// Hooks the page tests call through the browser's DevTools: what the game is doing, and two shortcuts to
// moments a test cannot wait minutes for. A player never reaches them. Plain C functions, exported by the
// page's link (EXPORTED_FUNCTIONS), so the page can call them by name.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/frame_trace.h"
#include "app/main_window.h"
#include "game/game_vars.h"
#include "platform/clock.h"
#include "platform/display_device.h"
#include "platform/web/web_backend.h"
#include "sound/sound_group.h"

extern "C" {

// The game's state as JSON, for the tests to read between frames: whether the page is active, how many
// pictures it has shown, and the trace's line for the picture on the screen now (under "trace").
const char* QuillmarshProbe() {
    static std::string text;
    static uint8_t indices[320 * 240];
    PaletteEntry palette[256];
    // Before the first picture the hashes are of a black screen; the tests only read the records then.
    if (!PlatformDisplayLastPicture(indices)) std::fill(indices, indices + sizeof indices, uint8_t{0});
    PlatformDisplayGetEntries(palette);
    text = "{\"active\":" + std::to_string(appActive) + ",\"presents\":" + std::to_string(WebPresentCount) +
           ",\"trace\":" +
           FrameTraceLine(WebPresentCount, PlatformTimeGetTime(), {}, FramePicture{indices, palette}, false) +
           "}";
    return text.c_str();
}

// Ends the game in play as if its last life were taken at this stage: the game's own capture, fade,
// record and title follow. 0 when there is no play to end.
int QuillmarshLoseLastLife(int stageReached) {
    if (currentScene != SCENE_GAME || gamePhase != PHASE_RUN || GameState != GAME_PLAY || stageReached < 1)
        return 0;
    stage = stageReached;
    lives = 0;
    stageResult = RESULT_CAUGHT;
    GameState = GAME_CAUGHT;
    return 1;
}

// Plays one of the game's sounds with the given pan (hundredths of a decibel off the far side).
int QuillmarshPlaySound(int group, int pan) {
    if (group < 0 || group >= SND_COUNT || soundGroups[group].count <= 0) return 0;
    SoundGroup* sounds = &soundGroups[group];
    const int32_t next = sounds->next >= 0 && sounds->next < sounds->count ? sounds->next : 0;
    DSSetPan(sounds, next, pan, 0);
    DSPlay(sounds, 0);
    return 1;
}
}
