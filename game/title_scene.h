// The title scene: fade-in, the waving line, the record, and the start of a game.
#pragma once
#include <cstdint>

enum TitleStateId : uint32_t {
    TITLE_FADE_IN = 0,
    TITLE_WAVE = 1,
    TITLE_WAIT = 2,
    TITLE_FADE_OUT = 3,
};

// Frames the line takes to settle when nobody presses anything.
constexpr int32_t TITLE_WAVE_FRAMES = 300;

extern int32_t titlePhase;  // PHASE_LOAD, PHASE_RUN or PHASE_UNLOAD
extern uint32_t titleState; // TITLE_*
extern int32_t titleTimer;  // countdown of the wave

// The title's frame entry; false only when its bitmaps could not be loaded.
bool TitleScene();
bool LoadTitle();
void UpdateTitle();
void UnloadTitle();
// The record label and up to two digits of `bestRecord`.
void DrawRecord();
// The title's variables back to zero, as at process start (tests and replays).
void ResetTitleVars();
