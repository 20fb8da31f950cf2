// The sound device on SDL2_mixer: every buffer is a mixer channel of its own, and duplicates share one copy
// of the samples, converted once to the output format.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/failure.h"
#include "platform/audio.h"

PlatformAudioFaults platformAudioFaults = {};

namespace {
// Stereo, so that the ambient sounds' pan is heard; the rate is the mixer's usual one.
constexpr int OUTPUT_RATE = 44100;
constexpr Uint16 OUTPUT_FORMAT = AUDIO_S16SYS;
constexpr int OUTPUT_CHANNELS = 2;
constexpr int OUTPUT_CHUNK = 1024;

// Converted samples, freed with the last buffer that plays them.
struct SharedSamples {
    Uint8* data;
    Uint32 length;
    int32_t users;
};
} // namespace

struct PlatformSoundDevice {
    int rate;
    Uint16 format;
    int channels;
    int frameBytes;
    PlatformPcmFormat primaryRequest;
    std::vector<int> freeChannels;
    int channelCount;
    std::vector<PlatformSoundBuffer*> buffers; // every live buffer, the primary included
    int32_t buffersMade;
    int32_t duplicatesMade;
};

struct PlatformSoundBuffer {
    PlatformSoundDevice* device;
    bool primary;
    PlatformPcmFormat format;
    SharedSamples* samples;
    Mix_Chunk chunk; // this buffer's view of the shared samples, from its play position on
    int channel;
    uint32_t position;
    int32_t volume;
    int32_t pan;
};

namespace {
PlatformSoundDevice* openDevice = nullptr;

// Hundredths of a decibel of attenuation to a linear gain; -10000 and below is silence.
double Gain(int32_t hundredthsOfDecibel) {
    if (hundredthsOfDecibel <= -10000) return 0.0;
    return std::pow(10.0, hundredthsOfDecibel / 2000.0);
}

Uint8 Level(double gain) {
    const double level = std::round(gain * 255.0);
    return static_cast<Uint8>(level < 0.0 ? 0.0 : level > 255.0 ? 255.0 : level);
}

// Volume and pan become the two sides' levels of the channel's panning effect. The mixer drops a
// channel's effects whenever it stops, so this runs again before every play.
void ApplyLevels(const PlatformSoundBuffer* b) {
    const double volume = Gain(b->volume);
    const double left = b->pan > 0 ? Gain(-b->pan) : 1.0;
    const double right = b->pan < 0 ? Gain(b->pan) : 1.0;
    Mix_SetPanning(b->channel, Level(volume * left), Level(volume * right));
    // The panning effect cannot reach exact silence on every path; the channel volume can.
    Mix_Volume(b->channel, volume > 0.0 ? MIX_MAX_VOLUME : 0);
}

int TakeChannel(PlatformSoundDevice* d) {
    if (d->freeChannels.empty()) {
        const int more = d->channelCount < 8 ? 8 : d->channelCount;
        const int total = Mix_AllocateChannels(d->channelCount + more);
        for (int c = total - 1; c >= d->channelCount; --c)
            d->freeChannels.push_back(c);
        d->channelCount = total;
        if (d->freeChannels.empty()) return -1;
    }
    const int channel = d->freeChannels.back();
    d->freeChannels.pop_back();
    return channel;
}

PlatformSoundBuffer* NewBuffer(PlatformSoundDevice* d, bool primary) {
    auto* b = new PlatformSoundBuffer{};
    b->device = d;
    b->primary = primary;
    b->channel = -1;
    d->buffers.push_back(b);
    return b;
}

SDL_AudioFormat SourceFormat(const PlatformPcmFormat& f) {
    return f.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}

// The samples in the output format, through SDL's own converter (and so its resampler). The whole
// sound goes through in one piece: SDL_AudioStream holds back the resampler's last few hundred frames.
SharedSamples* Convert(const PlatformSoundDevice* d, const PlatformPcmFormat& format, const uint8_t* samples,
                       uint32_t size) {
    // A partial frame at the end cannot be converted and would not be heard.
    const uint32_t whole = size - size % format.blockAlign;
    SDL_AudioCVT cvt;
    const int needed = SDL_BuildAudioCVT(&cvt, SourceFormat(format), static_cast<Uint8>(format.channels),
                                         static_cast<int>(format.samplesPerSec), d->format,
                                         static_cast<Uint8>(d->channels), d->rate);
    if (needed < 0) return nullptr;
    const size_t room = static_cast<size_t>(whole) * static_cast<size_t>(needed ? cvt.len_mult : 1);
    Uint8* data = static_cast<Uint8*>(SDL_malloc(room > 0 ? room : 1));
    if (!data) return nullptr;
    SDL_memcpy(data, samples, whole);
    Uint32 length = whole;
    if (needed) {
        cvt.buf = data;
        cvt.len = static_cast<int>(whole);
        if (SDL_ConvertAudio(&cvt) != 0) {
            SDL_free(data);
            return nullptr;
        }
        length = static_cast<Uint32>(cvt.len_cvt);
    }
    length -= length % static_cast<Uint32>(d->frameBytes);
    return new SharedSamples{data, length, 0};
}

// Points the buffer's chunk at its play position, in output frames.
void AimChunk(PlatformSoundBuffer* b) {
    const uint64_t frame = b->position / b->format.blockAlign;
    const uint64_t outFrame = frame * static_cast<uint64_t>(b->device->rate) / b->format.samplesPerSec;
    uint64_t offset = outFrame * static_cast<uint64_t>(b->device->frameBytes);
    if (offset > b->samples->length) offset = b->samples->length;
    b->chunk.allocated = 0;
    b->chunk.abuf = b->samples->data + offset;
    b->chunk.alen = b->samples->length - static_cast<Uint32>(offset);
    b->chunk.volume = MIX_MAX_VOLUME;
}

// The game will not start without sound; the dummy driver lets it run silently.
void NoteNoSoundDevice(const char* sdlError) {
    std::string reason = "no sound device";
    if (sdlError && *sdlError) reason += std::string(" (") + sdlError + ")";
    reason += "; to play without sound, start the game with SDL_AUDIODRIVER=dummy";
    NoteFailure(reason.c_str());
}

void FreeBuffer(PlatformSoundBuffer* b) {
    PlatformSoundDevice* d = b->device;
    if (b->channel >= 0) {
        Mix_HaltChannel(b->channel);
        Mix_UnregisterAllEffects(b->channel);
        Mix_Volume(b->channel, MIX_MAX_VOLUME);
        d->freeChannels.push_back(b->channel);
    }
    if (b->samples && --b->samples->users == 0) {
        SDL_free(b->samples->data);
        delete b->samples;
    }
    for (size_t i = 0; i < d->buffers.size(); ++i) {
        if (d->buffers[i] == b) {
            d->buffers.erase(d->buffers.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    delete b;
}
} // namespace

PlatformSoundDevice* PlatformAudioCreateDevice() {
    if (platformAudioFaults.refuseDevice || openDevice) return nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        NoteNoSoundDevice(SDL_GetError());
        return nullptr;
    }
    // Only the rate may differ from what we ask; SDL converts to stereo 16-bit for us if it must.
    if (Mix_OpenAudioDevice(OUTPUT_RATE, OUTPUT_FORMAT, OUTPUT_CHANNELS, OUTPUT_CHUNK, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
        NoteNoSoundDevice(Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    auto* d = new PlatformSoundDevice{};
    int channels = 0;
    Mix_QuerySpec(&d->rate, &d->format, &channels);
    d->channels = channels;
    d->frameBytes = static_cast<int>(SDL_AUDIO_BITSIZE(d->format) / 8) * channels;
    d->channelCount = Mix_AllocateChannels(-1);
    for (int c = d->channelCount - 1; c >= 0; --c)
        d->freeChannels.push_back(c);
    openDevice = d;
    return d;
}

bool PlatformAudioSetCooperativeLevel(PlatformSoundDevice* device, PlatformWindow, int32_t) {
    // SDL shares the output with other programs; there is nothing to ask for.
    return device && !platformAudioFaults.refuseCooperativeLevel;
}

PlatformSoundBuffer* PlatformAudioCreatePrimary(PlatformSoundDevice* device) {
    if (!device || platformAudioFaults.refusePrimary) return nullptr;
    return NewBuffer(device, true);
}

bool PlatformAudioSetPrimaryFormat(PlatformSoundBuffer* primary, const PlatformPcmFormat& format) {
    if (!primary || !primary->primary) return false;
    // Kept for the record only: the mixer stays stereo so that pan is heard.
    primary->format = format;
    primary->device->primaryRequest = format;
    return true;
}

bool PlatformAudioOutputFormat(PlatformSoundDevice* device, PlatformPcmFormat* format) {
    if (!device) return false;
    PlatformPcmFormat f{};
    f.formatTag = WAVE_FORMAT_PCM;
    f.channels = static_cast<uint16_t>(device->channels);
    f.samplesPerSec = static_cast<uint32_t>(device->rate);
    f.bitsPerSample = static_cast<uint16_t>(SDL_AUDIO_BITSIZE(device->format));
    f.blockAlign = static_cast<uint16_t>(device->frameBytes);
    f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
    *format = f;
    return true;
}

PlatformSoundBuffer* PlatformAudioCreateBuffer(PlatformSoundDevice* device, const PlatformPcmFormat& format,
                                               const uint8_t* samples, uint32_t size) {
    if (!device || !samples || !PlatformAudioBufferAcceptable(format, size)) return nullptr;
    if (platformAudioFaults.refuseBuffer && device->buffersMade >= platformAudioFaults.buffersBeforeRefusal)
        return nullptr;
    const int channel = TakeChannel(device);
    if (channel < 0) return nullptr;
    SharedSamples* shared = Convert(device, format, samples, size);
    if (!shared) {
        device->freeChannels.push_back(channel);
        return nullptr;
    }
    ++device->buffersMade;
    PlatformSoundBuffer* b = NewBuffer(device, false);
    b->format = format;
    b->samples = shared;
    shared->users = 1;
    b->channel = channel;
    AimChunk(b);
    return b;
}

PlatformSoundBuffer* PlatformAudioDuplicateBuffer(PlatformSoundDevice* device, PlatformSoundBuffer* source) {
    if (!device || !source || source->primary) return nullptr;
    if (platformAudioFaults.refuseDuplicate &&
        device->duplicatesMade >= platformAudioFaults.duplicatesBeforeRefusal)
        return nullptr;
    const int channel = TakeChannel(device);
    if (channel < 0) return nullptr;
    ++device->duplicatesMade;
    PlatformSoundBuffer* b = NewBuffer(device, false);
    b->format = source->format;
    b->samples = source->samples;
    ++b->samples->users;
    b->channel = channel;
    b->volume = source->volume;
    b->pan = source->pan;
    AimChunk(b);
    return b;
}

bool PlatformAudioStop(PlatformSoundBuffer* buffer) {
    if (!buffer || buffer->primary) return false;
    Mix_HaltChannel(buffer->channel);
    return true;
}

bool PlatformAudioSetPosition(PlatformSoundBuffer* buffer, uint32_t bytePosition) {
    if (!buffer || buffer->primary) return false;
    buffer->position = bytePosition;
    return true;
}

bool PlatformAudioPlay(PlatformSoundBuffer* buffer, uint32_t flags) {
    if (!buffer || buffer->primary) return false;
    // Halting first keeps the levels set below: the mixer clears a channel's effects when it stops.
    Mix_HaltChannel(buffer->channel);
    AimChunk(buffer);
    ApplyLevels(buffer);
    const int loops = (flags & DSBPLAY_LOOPING) ? -1 : 0;
    return Mix_PlayChannel(buffer->channel, &buffer->chunk, loops) == buffer->channel;
}

bool PlatformAudioIsPlaying(PlatformSoundBuffer* buffer) {
    return buffer && !buffer->primary && Mix_Playing(buffer->channel) != 0;
}

bool PlatformAudioSetVolume(PlatformSoundBuffer* buffer, int32_t volume) {
    if (!buffer || buffer->primary || volume < -10000 || volume > 0) return false;
    buffer->volume = volume;
    if (Mix_Playing(buffer->channel)) ApplyLevels(buffer);
    return true;
}

int32_t PlatformAudioGetVolume(PlatformSoundBuffer* buffer) {
    return buffer ? buffer->volume : 0;
}

bool PlatformAudioSetPan(PlatformSoundBuffer* buffer, int32_t pan) {
    if (!buffer || buffer->primary || pan < -10000 || pan > 10000) return false;
    buffer->pan = pan;
    if (Mix_Playing(buffer->channel)) ApplyLevels(buffer);
    return true;
}

int32_t PlatformAudioGetPan(PlatformSoundBuffer* buffer) {
    return buffer ? buffer->pan : 0;
}

void PlatformAudioReleaseBuffer(PlatformSoundBuffer* buffer) {
    if (buffer) FreeBuffer(buffer);
}

int32_t PlatformAudioReleaseDevice(PlatformSoundDevice* device) {
    if (!device) return 0;
    const auto leaked = static_cast<int32_t>(device->buffers.size());
    while (!device->buffers.empty())
        FreeBuffer(device->buffers.back());
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (openDevice == device) openDevice = nullptr;
    delete device;
    return leaked;
}
