// Placeholder until the sound subsystem lands: no device, so every operation succeeds doing nothing.
#include "app/asset_paths.h"
#include "sound/sound_group.h"

PlatformSoundDevice* soundDevice = nullptr;
PlatformSoundBuffer* primaryBuffer = nullptr;

const SoundSource soundSources[SND_COUNT] = {
    {ASSET_WAVE_CURSOR, 1, -500}, {ASSET_WAVE_DOOR, 1, 0},   {ASSET_WAVE_OPEN, 3, 0},
    {ASSET_WAVE_APPEAR, 3, 0},    {ASSET_WAVE_SEAL, 1, 0},   {ASSET_WAVE_PAUSE, 2, 0},
    {ASSET_WAVE_DEATH, 1, 0},     {ASSET_WAVE_SCREAM, 3, 0}, {ASSET_WAVE_GROAN, 3, 0},
    {ASSET_WAVE_DEVIL_CHILD, 3, 0}, {ASSET_WAVE_HELP, 3, 0},
};
SoundGroup soundGroups[SND_COUNT] = {};

bool DS_Init(PlatformWindow, int32_t, int32_t, int32_t) { return true; }
void DS_Release() {}
int32_t DSCreateBufferGroup(SoundGroup*, const SoundSource*) { return 1; }
void DSPlay(SoundGroup*, uint32_t) {}
