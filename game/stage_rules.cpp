// The rules of a stage in play: the light level, opening a closed tile, the ambient sounds.
#include "game/stage_rules.h"

#include "base/random.h"
#include "game/enemy.h"
#include "game/fixed.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "sound/sound_group.h"
#include "video/palette.h"

namespace {
void TintToLight() {
    DDTintPalette(workPalette, 0, PALETTE_DARKENING_ENTRIES - 1, lightLevel / 100, 0, 0, 0, basePalette);
    DDUploadWorkPalette(PALETTE_DARKENING_ENTRIES);
}
} // namespace

void UpdateLight() {
    lightStep = lightLevel / 100;
    AddLight(-LIGHT_DECAY);
    // The palette only changes when the weight does, every 25 frames.
    if (lightLevel / 100 != lightStep) TintToLight();
}

void AddLight(int32_t delta) {
    int64_t level = static_cast<int64_t>(lightLevel) + delta;
    if (level < LIGHT_MIN)
        level = LIGHT_MIN;
    else if (level > LIGHT_MAX)
        level = LIGHT_MAX;
    lightLevel = static_cast<int32_t>(level);
}

bool OpenClosedTile(int32_t column, int32_t row) {
    uint8_t& cell = mapData.rows[row][column];
    bool sealed = false;
    if (sealRevealed == 0) {
        const int32_t r = qm::rand() % 100 + 1;
        if (sealChance > r) {
            cell = TILE_SEAL;
            sealRevealed = 1;
            sealed = true;
        }
    }
    if (!sealed) {
        const int32_t r = qm::rand() % 100 + 1;
        if (stage * 3 + 10 > r) {
            cell = TILE_OPENED;
            Enemy templ{};
            templ.body.x = Pixels(column * 32 + 8);
            templ.body.y = Pixels(row * 32 + 16);
            SetBodyPoints(&templ.body);
            UpdateScreenPos(&templ.body);
            templ.delay = RELEASE_DELAY;
            if (!AddEnemy(&enemyList, &templ)) return false;
            DSPlay(&soundGroups[SND_APPEAR], 0);
            sealChance += qm::rand() % 3 + 1;
        } else {
            cell = TILE_OPENED;
            sealChance += qm::rand() % 2 + 1;
        }
    }
    AddLight(LIGHT_PER_OPENING);
    TintToLight();
    return true;
}

void PlayAmbientSound() {
    if (qm::rand() % 700 != 0) return;
    SoundGroup* group = &soundGroups[SND_SCREAM + qm::rand() % 4];
    const int32_t volume =
        qm::rand() % (AMBIENT_VOLUME_HIGHEST - AMBIENT_VOLUME_LOWEST + 1) + AMBIENT_VOLUME_LOWEST;
    DSSetVolume(group, group->next, volume, 0);
    const int32_t pan = qm::rand() % (2 * AMBIENT_PAN_WIDEST + 1) - AMBIENT_PAN_WIDEST;
    DSSetPan(group, group->next, pan, 0);
    DSPlay(group, 0);
}
