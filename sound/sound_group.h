// The eleven sound effects as groups of duplicate buffers, played round-robin.
#pragma once
#include <cstdint>

#include "sound/sound_device.h"

enum SoundId : int32_t {
    SND_CURSOR = 0,
    SND_DOOR = 1,
    SND_OPEN = 2,
    SND_APPEAR = 3,
    SND_SEAL = 4,
    SND_PAUSE = 5,
    SND_DEATH = 6,
    SND_SCREAM = 7,
    SND_GROAN = 8,
    SND_DEVIL_CHILD = 9,
    SND_HELP = 10,
    SND_COUNT = 11,
};

struct SoundSource {
    const char* path;
    int32_t copies;
    int32_t volume; // hundredths of a decibel; 0 leaves the buffers at full volume
};

struct SoundGroup {
    char name[260];                // the WAV path the group was made from
    PlatformSoundBuffer** buffers; // slot 0 loaded from the file, the rest its duplicates; owned
    int32_t count;                 // set only once every buffer exists
    int32_t next;                  // the buffer the next DSPlay restarts
    // Length of the buffers array. A group whose creation failed part-way still has count 0, and this
    // lets its release find every buffer that was made.
    int32_t slots;
};

constexpr int32_t DSBVOLUME_MIN = -10000;
constexpr int32_t DSBVOLUME_MAX = 0;
constexpr int32_t DSBPAN_LEFT = -10000;
constexpr int32_t DSBPAN_RIGHT = 10000;

extern const SoundSource soundSources[SND_COUNT];
extern SoundGroup soundGroups[SND_COUNT];

int32_t DSCreateBufferGroup(SoundGroup* groups, const SoundSource* sources);
bool DSCreateBufferGropeFromFile(SoundGroup* group, const char* path, int32_t copies, int32_t volume);
void DSPlay(SoundGroup* group, uint32_t flags);
// Tells observer (null to stop) of every sound DSPlay starts: the group, the index of the buffer it
// restarted, and that buffer's volume and pan as it starts. For traces of play.
void SetSoundPlayObserver(void (*observer)(const SoundGroup* group, int32_t index, int32_t volume,
                                           int32_t pan));
int32_t DSSetVolume(SoundGroup* group, int32_t index, int32_t volume, int32_t relative);
int32_t DSGetVolume(SoundGroup* group, int32_t index);
int32_t DSSetPan(SoundGroup* group, int32_t index, int32_t pan, int32_t relative);
int32_t DSGetPan(SoundGroup* group, int32_t index);
void DSReleaseBufferGroup(SoundGroup* group);
