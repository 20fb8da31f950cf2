// Puts every process-wide record of the game back to its starting value, so tests do not leak into each
// other.
#include "tests/support/reset.h"

#include <cstring>

#include "app/main_window.h"
#include "base/random.h"
#include "game/enemy.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"
#include "game/title_scene.h"
#include "input/controls.h"
#include "platform/file_roots.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_input.h"
#include "sound/sound_device.h"
#include "sound/sound_group.h"
#include "video/blend.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/surface.h"

void ResetGameProcess() {
    fileRoots = FileRoots{};
    for (Surface& slot : surfaceTable)
        DDReleaseSurface(&slot);
    std::memset(surfaceTable, 0, sizeof surfaceTable);
    DS_Release();
    std::memset(soundGroups, 0, sizeof soundGroups);
    HeadlessReset();
    HeadlessAudioReset();
    HeadlessReleaseAllKeys();
    HeadlessSetJoystick(false, 32767, 32767, 0);
    primarySurface = Surface{};
    backBuffer = Surface{};
    displayModes[0] = DisplayMode{320, 240, 8};
    displayModes[1] = DisplayMode{640, 480, 8};
    copyPresent = 0;
    ResetAppState();
    qm::srand(1);
    std::memset(basePalette, 0, sizeof basePalette);
    std::memset(workPalette, 0, sizeof workPalette);
    paletteFadeActive = 0;
    fadeOutAngle = 90.0;
    fadeInAngle = 0.0;
    wavePhase = 0;
    std::memset(halfBlendTable, 0, sizeof halfBlendTable);
    inputState = InputState{};
    ResetGameWideVars();
    FreeMapData(&mapData);
    mapData = MapData{};
    FreeEnemies(&enemyList);
    player = Player{};
    scrollX = 0;
    scrollY = 0;
    mapAllocationsLeft = -1;
    enemyAllocationsLeft = -1;
    ResetTitleVars();
}
