// The sound device's voices on SDL2_mixer: every buffer is a mixer channel of its own, and duplicates share
// one copy of the samples, converted once to the output format.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/failure.h"
#include "platform/backend.h"
#include "platform/sdl/sdl_audio.h"

// Converted samples.
struct BackendSamples {
    Uint8* data;
    Uint32 length;
};

struct BackendVoice {
    int channel;
    Mix_Chunk chunk; // the buffer's view of its samples, from its play position on
};

namespace {
// Stereo, so that the ambient sounds' pan is heard; the rate is the mixer's usual one.
constexpr int OUTPUT_RATE = 44100;
constexpr Uint16 OUTPUT_FORMAT = AUDIO_S16SYS;
constexpr int OUTPUT_CHANNELS = 2;
constexpr int OUTPUT_CHUNK = 1024;

struct SdlOutput {
    int rate;
    Uint16 format;
    int channels;
    int frameBytes;
    std::vector<int> freeChannels;
    int channelCount;
    bool open;
    bool lost; // said once: the device went away during the run
};
SdlOutput output;

Uint8 Level(double gain) {
    const double level = std::round(gain * 255.0);
    return static_cast<Uint8>(level < 0.0 ? 0.0 : level > 255.0 ? 255.0 : level);
}

// Volume and pan become the two sides' levels of the channel's panning effect. The mixer drops a
// channel's effects whenever it stops, so this runs again before every play.
void ApplyLevels(const PlatformSoundBuffer& b) {
    const PlatformSideGains gains = PlatformAudioSideGains(b.volume, b.pan);
    Mix_SetPanning(b.voice->channel, Level(gains.left), Level(gains.right));
    // The panning effect cannot reach exact silence on every path; the channel volume can.
    Mix_Volume(b.voice->channel, gains.left > 0.0 || gains.right > 0.0 ? MIX_MAX_VOLUME : 0);
}

int TakeChannel() {
    if (output.freeChannels.empty()) {
        const int more = output.channelCount < 8 ? 8 : output.channelCount;
        const int total = Mix_AllocateChannels(output.channelCount + more);
        for (int c = total - 1; c >= output.channelCount; --c)
            output.freeChannels.push_back(c);
        output.channelCount = total;
        if (output.freeChannels.empty()) return -1;
    }
    const int channel = output.freeChannels.back();
    output.freeChannels.pop_back();
    return channel;
}

SDL_AudioFormat SourceFormat(const PlatformPcmFormat& f) {
    return f.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}

// Points the voice's chunk at the buffer's play position, in output frames.
void AimChunk(const PlatformSoundBuffer& b) {
    const BackendSamples* samples = b.samples->backend;
    const uint64_t frame = b.position / b.format.blockAlign;
    const uint64_t outFrame = frame * static_cast<uint64_t>(output.rate) / b.format.samplesPerSec;
    uint64_t offset = outFrame * static_cast<uint64_t>(output.frameBytes);
    if (offset > samples->length) offset = samples->length;
    Mix_Chunk& chunk = b.voice->chunk;
    chunk.allocated = 0;
    chunk.abuf = samples->data + offset;
    chunk.alen = samples->length - static_cast<Uint32>(offset);
    chunk.volume = MIX_MAX_VOLUME;
}

// The game will not start without sound; the dummy driver lets it run silently.
void NoteNoSoundDevice(const char* sdlError) {
    std::string reason = "no sound device";
    if (sdlError && *sdlError) reason += std::string(" (") + sdlError + ")";
    reason += "; to play without sound, start the game with SDL_AUDIODRIVER=dummy";
    NoteFailure(reason.c_str());
}
} // namespace

bool BackendAudioOpen() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        NoteNoSoundDevice(SDL_GetError());
        return false;
    }
    // Only the rate may differ from what we ask; SDL converts to stereo 16-bit for us if it must.
    if (Mix_OpenAudioDevice(OUTPUT_RATE, OUTPUT_FORMAT, OUTPUT_CHANNELS, OUTPUT_CHUNK, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
        NoteNoSoundDevice(Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    output = SdlOutput{};
    output.open = true;
    Mix_QuerySpec(&output.rate, &output.format, &output.channels);
    output.frameBytes = static_cast<int>(SDL_AUDIO_BITSIZE(output.format) / 8) * output.channels;
    output.channelCount = Mix_AllocateChannels(-1);
    for (int c = output.channelCount - 1; c >= 0; --c)
        output.freeChannels.push_back(c);
    return true;
}

void SdlAudioDeviceRemoved(bool capture) {
    // The game opens one output device and no capture device.
    if (capture || !output.open || output.lost) return;
    output.lost = true;
    SayFailure("the sound device went away; the game plays on without sound (start it again to hear it)");
}

void BackendAudioClose() {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    output = SdlOutput{};
}

// SDL shares the output with other programs, so there is no level to ask for, and its mixer stays stereo
// whatever format the game asks for, so that pan is heard.
const BackendPrimaryCalls backendPrimaryCalls{};

bool BackendAudioOutputFormat(PlatformPcmFormat* format) {
    *format =
        PlatformMakePcmFormat(static_cast<uint16_t>(output.channels), static_cast<uint32_t>(output.rate),
                              static_cast<uint16_t>(SDL_AUDIO_BITSIZE(output.format)));
    return true;
}

// The samples in the output format, through SDL's own converter (and so its resampler). The whole
// sound goes through in one piece: SDL_AudioStream holds back the resampler's last few hundred frames.
BackendSamples* BackendAudioLoadSamples(const PlatformPcmFormat& format, const uint8_t* samples,
                                        uint32_t size) {
    // A partial frame at the end cannot be converted and would not be heard.
    const uint32_t whole = size - size % format.blockAlign;
    SDL_AudioCVT cvt;
    const int needed = SDL_BuildAudioCVT(&cvt, SourceFormat(format), static_cast<Uint8>(format.channels),
                                         static_cast<int>(format.samplesPerSec), output.format,
                                         static_cast<Uint8>(output.channels), output.rate);
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
    length -= length % static_cast<Uint32>(output.frameBytes);
    return new BackendSamples{data, length};
}

void BackendAudioFreeSamples(BackendSamples* samples) {
    SDL_free(samples->data);
    delete samples;
}

BackendVoice* BackendAudioOpenVoice(const PlatformSoundBuffer&) {
    const int channel = TakeChannel();
    if (channel < 0) return nullptr;
    return new BackendVoice{channel, Mix_Chunk{}};
}

void BackendAudioCloseVoice(BackendVoice* voice) {
    Mix_HaltChannel(voice->channel);
    Mix_UnregisterAllEffects(voice->channel);
    Mix_Volume(voice->channel, MIX_MAX_VOLUME);
    output.freeChannels.push_back(voice->channel);
    delete voice;
}

bool BackendAudioPlay(const PlatformSoundBuffer& buffer, uint32_t flags) {
    const int channel = buffer.voice->channel;
    // Halting first keeps the levels set below: the mixer clears a channel's effects when it stops.
    Mix_HaltChannel(channel);
    AimChunk(buffer);
    ApplyLevels(buffer);
    const int loops = (flags & DSBPLAY_LOOPING) ? -1 : 0;
    return Mix_PlayChannel(channel, &buffer.voice->chunk, loops) == channel;
}

void BackendAudioStop(BackendVoice* voice) {
    Mix_HaltChannel(voice->channel);
}

bool BackendAudioIsPlaying(BackendVoice* voice) {
    return Mix_Playing(voice->channel) != 0;
}

void BackendAudioSetLevels(const PlatformSoundBuffer& buffer) {
    if (Mix_Playing(buffer.voice->channel)) ApplyLevels(buffer);
}

void BackendAudioCalled(const PlatformAudioCall&) {}
