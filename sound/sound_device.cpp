// The sound device, its primary format, and buffers made from WAV files.
#include "sound/sound_device.h"

#include <string>

#include "base/failure.h"
#include "base/trace.h"
#include "platform/file.h"
#include "platform/file_failure.h"
#include "sound/sound_group.h"
#include "sound/wave_file.h"

PlatformSoundDevice* soundDevice = nullptr;
PlatformSoundBuffer* primaryBuffer = nullptr;

bool DS_Init(PlatformWindow window, int32_t samplesPerSec, int32_t bitsPerSample, int32_t channels) {
    soundDevice = PlatformAudioCreateDevice();
    if (!soundDevice) {
        // The backend has usually said more already (and how to play without sound); this is the fallback.
        NoteFailure("no sound device could be opened");
        TraceLog("DIRECTSOUNDCREATE_ERR!");
        return false;
    }
    if (!PlatformAudioSetCooperativeLevel(soundDevice, window, DSSCL_PRIORITY)) {
        NoteFailure("the sound device refused the game");
        TraceLog("SETCOOPERATIVELEVEL_ERR!");
        return false;
    }
    primaryBuffer = PlatformAudioCreatePrimary(soundDevice);
    if (!primaryBuffer) {
        NoteFailure("the sound device refused the game");
        TraceLog("CREATESOUNDBUFFER_ERR!");
        return false;
    }
    const PlatformPcmFormat format =
        PlatformMakePcmFormat(static_cast<uint16_t>(channels), static_cast<uint32_t>(samplesPerSec),
                              static_cast<uint16_t>(bitsPerSample));
    // Only a wish: the device may mix in a format of its own, and every buffer keeps its file's format.
    PlatformAudioSetPrimaryFormat(primaryBuffer, format);
    return true;
}

void DS_Release() {
    if (!soundDevice) return;
    for (int32_t id = 0; id < SND_COUNT; ++id)
        DSReleaseBufferGroup(&soundGroups[id]);
    if (primaryBuffer) {
        PlatformAudioReleaseBuffer(primaryBuffer);
        primaryBuffer = nullptr;
    }
    PlatformAudioReleaseDevice(soundDevice);
    soundDevice = nullptr;
}

bool DSCreateBufferFromFile(PlatformSoundBuffer** slot, const char* path) {
    if (!soundDevice) return true;
    WaveFile wave{};
    if (!LoadWaveFile(path, &wave)) {
        NoteFileFailure("the sound", path);
        TraceLog((std::string(path) + "読み込み失敗！").c_str());
        return false;
    }
    *slot = PlatformAudioCreateBuffer(soundDevice, wave.format, wave.data, wave.size);
    // The samples now live in the buffer (or are not wanted any more).
    FreeWaveFile(&wave);
    if (!*slot) {
        NoteFailure(("the sound device refused the sound " + PlatformNativePath(path)).c_str());
        TraceLog((std::string(path) + "生成失敗！").c_str());
        return false;
    }
    return true;
}

bool DSDuplicateBuffer(PlatformSoundBuffer** slot, PlatformSoundBuffer* source) {
    if (!soundDevice) return true;
    *slot = PlatformAudioDuplicateBuffer(soundDevice, source);
    return *slot != nullptr;
}
