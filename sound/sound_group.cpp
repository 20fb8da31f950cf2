// The eleven sound effects as groups of duplicate buffers, played round-robin.
#include "sound/sound_group.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/asset_paths.h"
#include "base/failure.h"
#include "base/trace.h"
#include "platform/file.h"

const SoundSource soundSources[SND_COUNT] = {
    {ASSET_WAVE_CURSOR, 1, -500},   {ASSET_WAVE_DOOR, 1, 0},   {ASSET_WAVE_OPEN, 3, 0},
    {ASSET_WAVE_APPEAR, 3, 0},      {ASSET_WAVE_SEAL, 1, 0},   {ASSET_WAVE_PAUSE, 2, 0},
    {ASSET_WAVE_DEATH, 1, 0},       {ASSET_WAVE_SCREAM, 3, 0}, {ASSET_WAVE_GROAN, 3, 0},
    {ASSET_WAVE_DEVIL_CHILD, 3, 0}, {ASSET_WAVE_HELP, 3, 0},
};
SoundGroup soundGroups[SND_COUNT] = {};

namespace {
void (*playObserver)(const SoundGroup*, int32_t, int32_t, int32_t) = nullptr;

void TracePath(const char* path, const char* message) {
    TraceLog((std::string(path) + message).c_str());
}

// The buffer at index, or null when the group has no such buffer.
PlatformSoundBuffer* BufferAt(const SoundGroup* group, int32_t index) {
    if (!group->buffers || index < 0 || index >= group->slots) return nullptr;
    return group->buffers[index];
}

int32_t Clamp(int64_t value, int32_t low, int32_t high) {
    if (value < low) return low;
    if (value > high) return high;
    return static_cast<int32_t>(value);
}
// Volume and pan follow one rule: relative only for the value 1, then clamped to the device's range.
int32_t SetLevel(SoundGroup* group, int32_t index, int32_t value, int32_t relative,
                 int32_t (*get)(SoundGroup*, int32_t), bool (*set)(PlatformSoundBuffer*, int32_t),
                 int32_t low, int32_t high) {
    if (!soundDevice) return 0;
    int64_t wanted = value;
    if (relative == 1) wanted += get(group, index);
    const int32_t clamped = Clamp(wanted, low, high);
    if (PlatformSoundBuffer* buffer = BufferAt(group, index)) set(buffer, clamped);
    return clamped;
}
} // namespace

int32_t DSCreateBufferGroup(SoundGroup* groups, const SoundSource* sources) {
    for (int32_t id = 0; id < SND_COUNT; ++id) {
        if (groups[id].buffers) continue;
        if (!DSCreateBufferGropeFromFile(&groups[id], sources[id].path, sources[id].copies,
                                         sources[id].volume)) {
            TraceLog("DSCreateBufferGropeFromFile失敗！");
            return 0;
        }
    }
    return 1;
}

bool DSCreateBufferGropeFromFile(SoundGroup* group, const char* path, int32_t copies, int32_t volume) {
    if (!soundDevice) return true;
    std::memset(group, 0, sizeof *group);
    // A group needs at least the buffer loaded from the file.
    void* array =
        copies > 0 ? std::calloc(static_cast<size_t>(copies), sizeof(PlatformSoundBuffer*)) : nullptr;
    if (!array) {
        NoteFailure(("not enough memory for the sound " + PlatformNativePath(path)).c_str());
        TracePath(path, "のメモリ確保失敗！");
        return false;
    }
    group->buffers = static_cast<PlatformSoundBuffer**>(array);
    group->slots = copies;
    if (!DSCreateBufferFromFile(&group->buffers[0], path)) return false;
    for (int32_t i = 1; i < copies; ++i) {
        if (!DSDuplicateBuffer(&group->buffers[i], group->buffers[0])) {
            NoteFailure(("the sound device cannot play the sound " + PlatformNativePath(path) +
                         " several times at once")
                            .c_str());
            TracePath(path, "のメモリ共用バッファの生成失敗！");
            return false;
        }
    }
    group->count = copies;
    std::strncpy(group->name, path, sizeof group->name - 1);
    group->name[sizeof group->name - 1] = '\0';
    if (volume != 0) {
        for (int32_t j = 0; j < group->count; ++j)
            DSSetVolume(group, j, volume, 0);
    }
    return true;
}

void SetSoundPlayObserver(void (*observer)(const SoundGroup* group, int32_t index, int32_t volume,
                                           int32_t pan)) {
    playObserver = observer;
}

void DSPlay(SoundGroup* group, uint32_t flags) {
    if (!soundDevice || group->count <= 0) return;
    if (group->next < 0 || group->next >= group->count) group->next = 0;
    PlatformSoundBuffer* buffer = BufferAt(group, group->next);
    if (buffer) {
        // Restarting the oldest copy cuts it off: the group never grows during play.
        PlatformAudioStop(buffer);
        PlatformAudioSetPosition(buffer, 0);
        PlatformAudioPlay(buffer, flags);
        if (playObserver)
            playObserver(group, group->next, PlatformAudioGetVolume(buffer), PlatformAudioGetPan(buffer));
    }
    if (++group->next >= group->count) group->next = 0;
}

int32_t DSSetVolume(SoundGroup* group, int32_t index, int32_t volume, int32_t relative) {
    return SetLevel(group, index, volume, relative, DSGetVolume, PlatformAudioSetVolume, DSBVOLUME_MIN,
                    DSBVOLUME_MAX);
}

int32_t DSGetVolume(SoundGroup* group, int32_t index) {
    if (!soundDevice) return 0;
    PlatformSoundBuffer* buffer = BufferAt(group, index);
    return buffer ? PlatformAudioGetVolume(buffer) : 0;
}

int32_t DSSetPan(SoundGroup* group, int32_t index, int32_t pan, int32_t relative) {
    return SetLevel(group, index, pan, relative, DSGetPan, PlatformAudioSetPan, DSBPAN_LEFT, DSBPAN_RIGHT);
}

int32_t DSGetPan(SoundGroup* group, int32_t index) {
    if (!soundDevice) return 0;
    PlatformSoundBuffer* buffer = BufferAt(group, index);
    return buffer ? PlatformAudioGetPan(buffer) : 0;
}

void DSReleaseBufferGroup(SoundGroup* group) {
    if (!soundDevice || !group->buffers) return;
    // Duplicates go before the buffer whose samples they share; every slot is visited, so a group that
    // failed part-way (count still 0) loses nothing.
    for (int32_t i = 1; i < group->slots; ++i) {
        if (group->buffers[i]) {
            PlatformAudioReleaseBuffer(group->buffers[i]);
            group->buffers[i] = nullptr;
        }
    }
    if (group->buffers[0]) {
        PlatformAudioReleaseBuffer(group->buffers[0]);
        group->buffers[0] = nullptr;
    }
    std::free(group->buffers);
    group->buffers = nullptr;
    group->slots = 0;
}
