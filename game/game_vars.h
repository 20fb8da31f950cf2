// The variables of a running game and of the stage in progress, shared by both scenes.
#pragma once
#include <cstdint>

// A scene's phase: it loads on its first frame, runs, and asks for its own end.
enum ScenePhase : int32_t {
    PHASE_LOAD = 0,
    PHASE_RUN = 1,
    PHASE_UNLOAD = -1,
};

enum GameStateId : int32_t {
    GAME_INTRO = 0,
    GAME_PLAY = 1,
    GAME_CLEARED = 2,
    GAME_CAUGHT = 3,
    GAME_FADEOUT = 4,
};

enum StageResult : int32_t {
    RESULT_NONE = 0,
    RESULT_CLEARED = 1,
    RESULT_CAUGHT = 2,
};

constexpr int32_t LIGHT_MIN = 1000;
constexpr int32_t LIGHT_MAX = 25500;

extern int32_t stage;      // from 1
extern int32_t lives;      // retries left; the game ends below 0
extern int32_t bestRecord; // most stages cleared in one game, as read from the record file
extern int32_t gamePhase;
extern int32_t GameState;
extern int32_t stageResult;
extern int32_t lightLevel;
extern int32_t lightStep;
extern int32_t sealChance;
extern uint8_t sealRevealed;
extern int32_t clearPhase;
extern int32_t captionWidth;
extern int32_t captionHeight;
extern int32_t caughtPhase;
extern int32_t caughtTimer;

// Every variable above back to zero, as at process start (tests and replays).
void ResetGameWideVars();
