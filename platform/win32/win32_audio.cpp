// The Windows backend's sound: DirectSound, whose units (hundredths of a decibel, pan -10000..10000) are
// the game's own, so volume and pan pass straight through.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/audio.h"
#include "platform/win32/win32_backend.h"

PlatformAudioFaults platformAudioFaults{};

struct PlatformSoundDevice {
    IDirectSound* sound;
    std::vector<PlatformSoundBuffer*> buffers; // secondary buffers still alive
    PlatformSoundBuffer* primary;
};

struct PlatformSoundBuffer {
    PlatformSoundDevice* device;
    IDirectSoundBuffer* buffer;
    bool primary;
};

namespace {
// Static, with every control the game uses; the position is read the modern way.
constexpr DWORD SECONDARY_FLAGS = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                                  DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2; // 0x100E2

WAVEFORMATEX ToWave(const PlatformPcmFormat& format) {
    WAVEFORMATEX wave{};
    wave.wFormatTag = format.formatTag;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.samplesPerSec;
    wave.nAvgBytesPerSec = format.avgBytesPerSec;
    wave.nBlockAlign = format.blockAlign;
    wave.wBitsPerSample = format.bitsPerSample;
    return wave;
}

PlatformSoundBuffer* Keep(PlatformSoundDevice* device, IDirectSoundBuffer* buffer) {
    auto* kept = new PlatformSoundBuffer{device, buffer, false};
    device->buffers.push_back(kept);
    return kept;
}

bool Refused(bool refuse, int32_t& allowed) {
    if (!refuse) return false;
    if (allowed > 0) {
        --allowed;
        return false;
    }
    return true;
}
} // namespace

PlatformSoundDevice* PlatformAudioCreateDevice() {
    if (platformAudioFaults.refuseDevice) return nullptr;
    IDirectSound* sound = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &sound, nullptr)) || !sound) return nullptr;
    return new PlatformSoundDevice{sound, {}, nullptr};
}

bool PlatformAudioSetCooperativeLevel(PlatformSoundDevice* device, PlatformWindow, int32_t level) {
    if (!device || platformAudioFaults.refuseCooperativeLevel || !win32Window) return false;
    return SUCCEEDED(device->sound->SetCooperativeLevel(win32Window, static_cast<DWORD>(level)));
}

PlatformSoundBuffer* PlatformAudioCreatePrimary(PlatformSoundDevice* device) {
    if (!device || platformAudioFaults.refusePrimary) return nullptr;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->sound->CreateSoundBuffer(&description, &buffer, nullptr))) return nullptr;
    auto* primary = new PlatformSoundBuffer{device, buffer, true};
    device->primary = primary;
    return primary;
}

bool PlatformAudioSetPrimaryFormat(PlatformSoundBuffer* primary, const PlatformPcmFormat& format) {
    if (!primary || !primary->primary) return false;
    const WAVEFORMATEX wave = ToWave(format);
    return SUCCEEDED(primary->buffer->SetFormat(&wave));
}

bool PlatformAudioOutputFormat(PlatformSoundDevice* device, PlatformPcmFormat* format) {
    if (!device || !device->primary || !format) return false;
    WAVEFORMATEX wave{};
    if (FAILED(device->primary->buffer->GetFormat(&wave, sizeof wave, nullptr))) return false;
    *format = PlatformPcmFormat{wave.wFormatTag,      wave.nChannels,   wave.nSamplesPerSec,
                                wave.nAvgBytesPerSec, wave.nBlockAlign, wave.wBitsPerSample};
    return true;
}

PlatformSoundBuffer* PlatformAudioCreateBuffer(PlatformSoundDevice* device, const PlatformPcmFormat& format,
                                               const uint8_t* samples, uint32_t size) {
    if (!device || !samples || !PlatformAudioBufferAcceptable(format, size)) return nullptr;
    if (Refused(platformAudioFaults.refuseBuffer, platformAudioFaults.buffersBeforeRefusal)) return nullptr;
    WAVEFORMATEX wave = ToWave(format);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = SECONDARY_FLAGS;
    description.dwBufferBytes = size;
    description.lpwfxFormat = &wave;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->sound->CreateSoundBuffer(&description, &buffer, nullptr))) return nullptr;
    void *first = nullptr, *second = nullptr;
    DWORD firstSize = 0, secondSize = 0;
    if (FAILED(buffer->Lock(0, size, &first, &firstSize, &second, &secondSize, 0))) {
        buffer->Release();
        return nullptr;
    }
    std::memcpy(first, samples, std::min<DWORD>(firstSize, size));
    if (second && secondSize)
        std::memcpy(second, samples + firstSize, std::min<DWORD>(secondSize, size - firstSize));
    buffer->Unlock(first, firstSize, second, secondSize);
    return Keep(device, buffer);
}

PlatformSoundBuffer* PlatformAudioDuplicateBuffer(PlatformSoundDevice* device, PlatformSoundBuffer* source) {
    if (!device || !source || source->primary) return nullptr;
    if (Refused(platformAudioFaults.refuseDuplicate, platformAudioFaults.duplicatesBeforeRefusal))
        return nullptr;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->sound->DuplicateSoundBuffer(source->buffer, &buffer)) || !buffer) return nullptr;
    // A duplicate starts from the source's settings.
    buffer->SetVolume(PlatformAudioGetVolume(source));
    buffer->SetPan(PlatformAudioGetPan(source));
    return Keep(device, buffer);
}

bool PlatformAudioStop(PlatformSoundBuffer* buffer) {
    return buffer && SUCCEEDED(buffer->buffer->Stop());
}

bool PlatformAudioSetPosition(PlatformSoundBuffer* buffer, uint32_t bytePosition) {
    return buffer && !buffer->primary && SUCCEEDED(buffer->buffer->SetCurrentPosition(bytePosition));
}

bool PlatformAudioPlay(PlatformSoundBuffer* buffer, uint32_t flags) {
    return buffer && SUCCEEDED(buffer->buffer->Play(0, 0, flags & DSBPLAY_LOOPING));
}

bool PlatformAudioIsPlaying(PlatformSoundBuffer* buffer) {
    DWORD status = 0;
    return buffer && SUCCEEDED(buffer->buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

bool PlatformAudioSetVolume(PlatformSoundBuffer* buffer, int32_t volume) {
    return buffer && SUCCEEDED(buffer->buffer->SetVolume(std::clamp(volume, -10000, 0)));
}

int32_t PlatformAudioGetVolume(PlatformSoundBuffer* buffer) {
    LONG volume = 0;
    if (!buffer || FAILED(buffer->buffer->GetVolume(&volume))) return 0;
    return static_cast<int32_t>(volume);
}

bool PlatformAudioSetPan(PlatformSoundBuffer* buffer, int32_t pan) {
    return buffer && SUCCEEDED(buffer->buffer->SetPan(std::clamp(pan, -10000, 10000)));
}

int32_t PlatformAudioGetPan(PlatformSoundBuffer* buffer) {
    LONG pan = 0;
    if (!buffer || FAILED(buffer->buffer->GetPan(&pan))) return 0;
    return static_cast<int32_t>(pan);
}

void PlatformAudioReleaseBuffer(PlatformSoundBuffer* buffer) {
    if (!buffer) return;
    PlatformSoundDevice* device = buffer->device;
    if (buffer->primary) {
        device->primary = nullptr;
    } else {
        auto& list = device->buffers;
        list.erase(std::remove(list.begin(), list.end(), buffer), list.end());
    }
    buffer->buffer->Release();
    delete buffer;
}

int32_t PlatformAudioReleaseDevice(PlatformSoundDevice* device) {
    if (!device) return 0;
    const auto leaked = static_cast<int32_t>(device->buffers.size());
    while (!device->buffers.empty())
        PlatformAudioReleaseBuffer(device->buffers.back());
    if (device->primary) PlatformAudioReleaseBuffer(device->primary);
    device->sound->Release();
    delete device;
    return leaked;
}
