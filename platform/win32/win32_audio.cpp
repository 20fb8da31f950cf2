// The Windows backend's sound: DirectSound, whose units (hundredths of a decibel, pan -10000..10000) are
// the game's own, so volume and pan pass straight through.
#include <algorithm>
#include <cstring>

#include "platform/backend.h"
#include "platform/win32/win32_backend.h"

// A static buffer filled once; the first voice plays it, the others are its duplicates.
struct BackendSamples {
    IDirectSoundBuffer* filled;
};

struct BackendVoice {
    IDirectSoundBuffer* buffer;
};

namespace {
// Static, with every control the game uses; the position is read the modern way.
constexpr DWORD SECONDARY_FLAGS = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                                  DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2; // 0x100E2

IDirectSound* sound = nullptr;
IDirectSoundBuffer* primary = nullptr;

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
} // namespace

bool BackendAudioOpen() {
    if (SUCCEEDED(DirectSoundCreate(nullptr, &sound, nullptr)) && sound) return true;
    sound = nullptr;
    return false;
}

void BackendAudioClose() {
    if (primary) primary->Release();
    primary = nullptr;
    sound->Release();
    sound = nullptr;
}

namespace {
bool SetCooperativeLevel(PlatformWindow, int32_t level) {
    return win32Window && SUCCEEDED(sound->SetCooperativeLevel(win32Window, static_cast<DWORD>(level)));
}

bool CreatePrimary() {
    if (primary) return true;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER;
    return SUCCEEDED(sound->CreateSoundBuffer(&description, &primary, nullptr));
}

bool SetPrimaryFormat(const PlatformPcmFormat& format) {
    const WAVEFORMATEX wave = ToWave(format);
    return primary && SUCCEEDED(primary->SetFormat(&wave));
}
} // namespace

const BackendPrimaryCalls backendPrimaryCalls{SetCooperativeLevel, CreatePrimary, SetPrimaryFormat};

bool BackendAudioOutputFormat(PlatformPcmFormat* format) {
    WAVEFORMATEX wave{};
    if (!primary || FAILED(primary->GetFormat(&wave, sizeof wave, nullptr))) return false;
    *format = PlatformPcmFormat{wave.wFormatTag,      wave.nChannels,   wave.nSamplesPerSec,
                                wave.nAvgBytesPerSec, wave.nBlockAlign, wave.wBitsPerSample};
    return true;
}

BackendSamples* BackendAudioLoadSamples(const PlatformPcmFormat& format, const uint8_t* samples,
                                        uint32_t size) {
    WAVEFORMATEX wave = ToWave(format);
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = SECONDARY_FLAGS;
    description.dwBufferBytes = size;
    description.lpwfxFormat = &wave;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(sound->CreateSoundBuffer(&description, &buffer, nullptr))) return nullptr;
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
    return new BackendSamples{buffer};
}

void BackendAudioFreeSamples(BackendSamples* samples) {
    samples->filled->Release();
    delete samples;
}

BackendVoice* BackendAudioOpenVoice(const PlatformSoundBuffer& buffer) {
    IDirectSoundBuffer* filled = buffer.samples->backend->filled;
    IDirectSoundBuffer* voice = nullptr;
    if (buffer.source == 0) {
        filled->AddRef();
        voice = filled;
    } else if (FAILED(sound->DuplicateSoundBuffer(filled, &voice)) || !voice) {
        return nullptr;
    }
    // A duplicate starts from its source's settings.
    voice->SetVolume(buffer.volume);
    voice->SetPan(buffer.pan);
    return new BackendVoice{voice};
}

void BackendAudioCloseVoice(BackendVoice* voice) {
    // The filled buffer may outlive its first voice (its duplicates still use it): it must not go on playing.
    voice->buffer->Stop();
    voice->buffer->Release();
    delete voice;
}

bool BackendAudioPlay(const PlatformSoundBuffer& buffer, uint32_t flags) {
    // Moving a playing buffer's position restarts it from there.
    IDirectSoundBuffer* voice = buffer.voice->buffer;
    return SUCCEEDED(voice->SetCurrentPosition(buffer.position)) &&
           SUCCEEDED(voice->Play(0, 0, flags & DSBPLAY_LOOPING));
}

void BackendAudioStop(BackendVoice* voice) {
    voice->buffer->Stop();
}

bool BackendAudioIsPlaying(BackendVoice* voice) {
    DWORD status = 0;
    return SUCCEEDED(voice->buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

void BackendAudioSetLevels(const PlatformSoundBuffer& buffer) {
    buffer.voice->buffer->SetVolume(buffer.volume);
    buffer.voice->buffer->SetPan(buffer.pan);
}

void BackendAudioCalled(const PlatformAudioCall&) {}
