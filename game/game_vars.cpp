// The variables of a running game and of the stage in progress.
#include "game/game_vars.h"

int32_t stage = 0;
int32_t lives = 0;
int32_t bestRecord = 0;
int32_t gamePhase = PHASE_LOAD;
int32_t GameState = GAME_INTRO;
int32_t stageResult = RESULT_NONE;
int32_t lightLevel = 0;
int32_t lightStep = 0;
int32_t sealChance = 0;
uint8_t sealRevealed = 0;
int32_t clearPhase = 0;
int32_t captionWidth = 0;
int32_t captionHeight = 0;
int32_t caughtPhase = 0;
int32_t caughtTimer = 0;

void ResetGameWideVars() {
    stage = 0;
    lives = 0;
    bestRecord = 0;
    gamePhase = PHASE_LOAD;
    GameState = GAME_INTRO;
    stageResult = RESULT_NONE;
    lightLevel = 0;
    lightStep = 0;
    sealChance = 0;
    sealRevealed = 0;
    clearPhase = 0;
    captionWidth = 0;
    captionHeight = 0;
    caughtPhase = 0;
    caughtTimer = 0;
}
