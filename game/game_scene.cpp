// The game scene: one stage from its start to its end, and what follows it.
#include "game/game_scene.h"

#include "base/asset_paths.h"
#include "base/failure.h"
#include "base/trace.h"
#include "game/enemy.h"
#include "game/game_vars.h"
#include "game/hud.h"
#include "game/map.h"
#include "game/player.h"
#include "game/record.h"
#include "game/scene_control.h"
#include "game/stage_rules.h"
#include "input/controls.h"
#include "platform/file_failure.h"
#include "sound/sound_group.h"
#include "video/blend.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/surface.h"

namespace {
constexpr double FADE_STEP = 2.0;
constexpr int32_t CAPTION_WIDTH = 96;
constexpr int32_t CAPTION_HEIGHT = 32;
constexpr int32_t SMEAR_FRAMES = 200;
constexpr int32_t GLYPH_FRAMES = 100;

const SurfaceId stageSurfaces[] = {SURFACE_MAPCHIP, SURFACE_PLAYER,    SURFACE_ENEMY,
                                   SURFACE_PARTS,   SURFACE_FIXEDTEXT, SURFACE_MASK};

Surface* Slot(SurfaceId id) {
    return &surfaceTable[id];
}

void DrawMask() {
    DDBltClip(&backBuffer, 0, 0, 320, 240, Slot(SURFACE_MASK), 0, 0, BLT_KEYED);
}

// Whether the work surface exists; without it the capture has nothing to copy, smear or show.
bool HaveWorkSurface() {
    return Slot(SURFACE_WORK)->surface != nullptr;
}

void DrawWorkView() {
    if (HaveWorkSurface()) DDBltClip(&backBuffer, 80, 40, 160, 160, Slot(SURFACE_WORK), 0, 0, BLT_OPAQUE);
}

void RunIntro() {
    const bool done =
        DDFadeIn(workPalette, 0, PALETTE_DARKENING_ENTRIES - 1, 0, 0, 0, FADE_STEP, basePalette);
    if (done) {
        GameState = GAME_PLAY;
        paletteFadeActive = 0;
    }
    DDFillRect(&backBuffer, 80, 40, 160, 160, 3);
    DrawPlayfield();
}

void RunPlay() {
    PlayAmbientSound();
    UpdateLight();
    if (player.body.anim.sequence != SEQ_OPEN) MovePlayer(&player, &inputState);
    ResolvePlayerCollision(&player.body);
    if (sealRevealed && IsOnSeal(&player)) {
        DSPlay(&soundGroups[SND_SEAL], 0);
        stageResult = RESULT_CLEARED;
        GameState = GAME_CLEARED;
        return;
    }
    if (inputState.buttons & BUTTON_1) PlayerOpen(&player);
    UpdateEnemies(&enemyList);
    if (EnemyTouchesPlayer(&enemyList)) {
        DSPlay(&soundGroups[SND_DEATH], 0);
        stageResult = RESULT_CAUGHT;
        GameState = GAME_CAUGHT;
        return;
    }
    DrawPlayfield();
}

void DrawClearedStill() {
    DrawMap();
    DrawPlayer(&player);
    DDBltClip(&backBuffer, 120, 80, CAPTION_WIDTH, CAPTION_HEIGHT, Slot(SURFACE_FIXEDTEXT), 0, 0, BLT_KEYED);
    DrawMask();
}

void RunCleared() {
    switch (clearPhase) {
    case 0:
    case 1:
        if (clearPhase == 0) {
            clearPhase = 1;
            captionHeight = 0;
            captionWidth = 1;
        } else if (captionWidth < CAPTION_WIDTH) {
            captionWidth += 1;
        }
        if (captionHeight < CAPTION_HEIGHT) captionHeight += 1;
        if (inputState.buttons == BUTTON_1) {
            captionWidth = CAPTION_WIDTH;
            captionHeight = CAPTION_HEIGHT;
            clearPhase = 2;
        } else if (captionWidth >= CAPTION_WIDTH) {
            clearPhase = 2;
        }
        DrawMap();
        DrawPlayer(&player);
        DDBltStretch(&backBuffer, 168 - captionWidth / 2, 112 - captionHeight, captionWidth, captionHeight,
                     Slot(SURFACE_FIXEDTEXT), 0, 0, CAPTION_WIDTH, CAPTION_HEIGHT, DDBLT_KEYSRC);
        DrawMask();
        break;
    case 2:
        if (inputState.buttons == BUTTON_1) clearPhase = 3;
        DrawClearedStill();
        break;
    case 3:
        DrawClearedStill();
        clearPhase = 0;
        GameState = GAME_FADEOUT;
        paletteFadeActive = 1;
        break;
    default:
        break;
    }
}

void DrawCaughtGlyph() {
    DrawWorkView();
    DDBltClip(&backBuffer, 144, 104, 32, 32, Slot(SURFACE_FIXEDTEXT), 0, 32, BLT_KEYED);
    DrawMask();
}

void RunCaught() {
    if (caughtPhase == 0) {
        caughtTimer = 0;
        StartAnim(&player.body.anim, SEQ_CAUGHT);
        caughtPhase = 1;
    }
    switch (caughtPhase) {
    case 1:
        DrawMap();
        DrawPlayer(&player);
        DrawEnemies(&enemyList);
        if (CurrentAnimFrame(&player.body.anim) == ANIM_END) {
            // Taken before the mask, in the frame the player is no longer drawn.
            if (HaveWorkSurface())
                DDBltClip(Slot(SURFACE_WORK), 0, 0, 160, 160, &backBuffer, 80, 40, BLT_OPAQUE);
            caughtPhase = 2;
        }
        DrawMask();
        break;
    case 2:
        caughtTimer += 1;
        if (caughtTimer >= SMEAR_FRAMES) {
            caughtPhase = 3;
            caughtTimer = 0;
        }
        if (caughtTimer % 10 == 0 && HaveWorkSurface())
            HalfBlendSmear(Slot(SURFACE_WORK), 0, 0, 160, 160, halfBlendTable);
        DrawWorkView();
        DrawMask();
        break;
    case 3:
        caughtTimer += 1;
        if (caughtTimer >= GLYPH_FRAMES) caughtPhase = 4;
        DrawCaughtGlyph();
        break;
    case 4:
        DrawCaughtGlyph();
        caughtPhase = 0;
        GameState = GAME_FADEOUT;
        paletteFadeActive = 1;
        break;
    default:
        break;
    }
}

void RunFadeOut() {
    if (DDFadeOut(workPalette, 0, PALETTE_DARKENING_ENTRIES - 1, 0, 0, 0, FADE_STEP, basePalette)) {
        gamePhase = PHASE_UNLOAD;
        paletteFadeActive = 0;
    }
}
} // namespace

bool GameScene() {
    switch (gamePhase) {
    case PHASE_LOAD:
        if (!LoadGameScene()) return false;
        RunGameState();
        return true;
    case PHASE_RUN:
        RunGameState();
        return true;
    case PHASE_UNLOAD:
        UnloadGameScene();
        return true;
    default:
        return true;
    }
}

bool LoadGameScene() {
    for (SurfaceId id : stageSurfaces) {
        if (!DDLoadTableSurface(id)) return false;
    }
    if (!DDCreateSurface(Slot(SURFACE_WORK), 160, 160, 1, MEMORY_SYSTEM)) TraceLog("DDCreateSurface失敗！");
    // Stage n plays file ((n - 1) mod 5) + 1; kept inside the list for any stage number.
    const int32_t file = ((stage - 1) % 5 + 5) % 5;
    if (!LoadMapData(&mapData, ASSET_STAGES[file])) {
        NoteFileFailure("the stage file", ASSET_STAGES[file]);
        TraceLog("LoadMapData失敗！");
        return false;
    }
    ResetGameVars();
    ScatterClosedTiles();
    PlacePlayer(&player);
    if (!InitEnemy(&enemyList)) {
        NoteFailure("cannot place the ghosts of the stage: not enough memory, or no room far enough from the "
                    "player");
        TraceLog("InitEnemy失敗！");
        return false;
    }
    GameState = GAME_INTRO;
    paletteFadeActive = 1;
    gamePhase = PHASE_RUN;
    return true;
}

void ResetGameVars() {
    gamePhase = PHASE_LOAD;
    GameState = GAME_INTRO;
    scrollX = 0;
    scrollY = 0;
    sealChance = 0;
    stageResult = RESULT_NONE;
    sealRevealed = 0;
    lightLevel = LIGHT_MAX;
}

void RunGameState() {
    // A pause freezes everything, fades included; the frame still presents the unchanged picture.
    if (paused) return;
    switch (GameState) {
    case GAME_INTRO:
        RunIntro();
        break;
    case GAME_PLAY:
        RunPlay();
        break;
    case GAME_CLEARED:
        RunCleared();
        break;
    case GAME_CAUGHT:
        RunCaught();
        break;
    case GAME_FADEOUT:
        RunFadeOut();
        break;
    default:
        break;
    }
}

void DrawPlayfield() {
    DrawMap();
    DrawPlayer(&player);
    DrawEnemies(&enemyList);
    DrawMask();
    DrawStageNumber();
    DrawLives();
}

void UnloadGameScene() {
    for (SurfaceId id : stageSurfaces)
        DDReleaseSurface(Slot(id));
    DDReleaseSurface(Slot(SURFACE_WORK));
    FreeMapData(&mapData);
    FreeEnemies(&enemyList);
    gamePhase = PHASE_LOAD;
    switch (stageResult) {
    case RESULT_CLEARED:
        currentScene = SCENE_GAME;
        stage += 1;
        break;
    case RESULT_CAUGHT:
        lives -= 1;
        if (lives >= 0) {
            currentScene = SCENE_GAME;
        } else {
            SaveRecord(ASSET_RECORD);
            currentScene = SCENE_TITLE;
        }
        break;
    default:
        break;
    }
}
