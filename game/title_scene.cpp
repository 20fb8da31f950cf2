// The title scene: fade-in, the waving line, the record, and the start of a game.
#include "game/title_scene.h"

#include "base/asset_paths.h"
#include "game/game_vars.h"
#include "game/record.h"
#include "game/scene_control.h"
#include "input/controls.h"
#include "sound/sound_group.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/surface.h"

int32_t titlePhase = PHASE_LOAD;
uint32_t titleState = TITLE_FADE_IN;
int32_t titleTimer = 0;

namespace {
constexpr double FADE_STEP = 2.0;
constexpr int32_t WAVE_CYCLES = 3;

Surface* TitlePicture() {
    return &surfaceTable[SURFACE_TITLE];
}
Surface* Parts() {
    return &surfaceTable[SURFACE_PARTS];
}

void DrawBackground() {
    DDFillRect(&backBuffer, 0, 0, 320, 240, 0);
    DDBltClip(&backBuffer, 80, 40, 160, 160, TitlePicture(), 0, 0, BLT_OPAQUE);
}

void DrawStillLine() {
    DDBltClip(&backBuffer, 96, 40, 128, 32, Parts(), 0, 32, BLT_KEYED);
}
} // namespace

void ResetTitleVars() {
    titlePhase = PHASE_LOAD;
    titleState = TITLE_FADE_IN;
    titleTimer = 0;
}

bool TitleScene() {
    switch (titlePhase) {
    case PHASE_LOAD:
        if (!LoadTitle()) return false;
        UpdateTitle();
        break;
    case PHASE_RUN:
        UpdateTitle();
        break;
    case PHASE_UNLOAD:
        UnloadTitle();
        break;
    default:
        break;
    }
    return true;
}

bool LoadTitle() {
    if (!DDLoadTableSurface(SURFACE_TITLE)) return false;
    if (!DDLoadTableSurface(SURFACE_PARTS)) return false;
    titleState = TITLE_FADE_IN;
    titleTimer = TITLE_WAVE_FRAMES;
    // Read at every load, so the record a game just wrote shows when the title returns.
    if (!LoadRecord(ASSET_RECORD)) bestRecord = 0;
    paletteFadeActive = 1;
    titlePhase = PHASE_RUN;
    return true;
}

void UpdateTitle() {
    // One frame per press: a button held from the game, or the press that skipped the wave, starts nothing.
    LatchButtons(&inputState);
    switch (titleState) {
    case TITLE_FADE_IN:
        if (DDFadeIn(workPalette, 0, PALETTE_DARKENING_ENTRIES - 1, 0, 0, 0, FADE_STEP, basePalette)) {
            titleState = TITLE_WAVE;
            paletteFadeActive = 0;
        }
        DrawBackground();
        break;
    case TITLE_WAVE:
        --titleTimer;
        if (inputState.buttons == BUTTON_1) {
            titleTimer = 0;
            titleState = TITLE_WAIT;
        } else if (titleTimer <= 0) {
            titleState = TITLE_WAIT;
        }
        DrawBackground();
        DDBltWave(&backBuffer, 96, 40, 128, 32, WAVE_CYCLES, titleTimer / 10, Parts(), 0, 32, BLT_KEYED);
        break;
    case TITLE_WAIT:
        if (inputState.buttons == BUTTON_1) {
            DSPlay(&soundGroups[SND_DOOR], 0);
            stage = 1;
            lives = 2;
            titleState = TITLE_FADE_OUT;
            paletteFadeActive = 1;
        }
        DrawBackground();
        DrawStillLine();
        DrawRecord();
        break;
    case TITLE_FADE_OUT:
        if (DDFadeOut(workPalette, 0, PALETTE_DARKENING_ENTRIES - 1, 0, 0, 0, FADE_STEP, basePalette)) {
            titlePhase = PHASE_UNLOAD;
            paletteFadeActive = 0;
        }
        DrawBackground();
        DrawRecord();
        break;
    default:
        break;
    }
}

void UnloadTitle() {
    DDReleaseSurface(TitlePicture());
    DDReleaseSurface(Parts());
    titlePhase = PHASE_LOAD;
    currentScene = SCENE_GAME;
}

void DrawRecord() {
    DDBltClip(&backBuffer, 80, 168, 96, 32, Parts(), 0, 64, BLT_KEYED);
    // The game never writes a negative record; a hand-edited one shows as 0 rather than picking a glyph
    // left of the sheet.
    int32_t v = bestRecord < 0 ? 0 : bestRecord;
    for (int32_t i = 0; i < 2; ++i) {
        const int32_t d = v % 10;
        v /= 10;
        if (i == 1 && d == 0) break;
        // The cells are 32 wide but only 16 apart: the tens digit's cell lies over the units' left half,
        // which only the glyphs' keyed surround keeps from showing.
        DDBltClip(&backBuffer, (13 - i) * 16, 168, 32, 32, Parts(), 32 * d, 96, BLT_KEYED);
    }
}
