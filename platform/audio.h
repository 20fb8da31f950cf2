// The sound device and its buffers, in the units the game's sound wrappers think in: a device, a primary
// buffer that only carries the output format, and secondary buffers of PCM samples that can share their
// samples with duplicates. Volume is hundredths of a decibel (-10000 silent .. 0 full), pan runs from
// -10000 (left only) to 10000 (right only).
#pragma once
#include <cstdint>

#include "platform/window.h"

struct PlatformSoundDevice;
struct PlatformSoundBuffer;

// A PCM format block as stored in a WAV file's "fmt " chunk.
struct PlatformPcmFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;

// The PCM format of that many channels, samples per second and bits, its block alignment and byte rate
// following from them.
PlatformPcmFormat PlatformMakePcmFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);
constexpr int32_t DSSCL_PRIORITY = 2;
constexpr uint32_t DSBPLAY_LOOPING = 1;
// The sizes a secondary buffer may have, in bytes.
constexpr uint32_t DSBSIZE_MIN = 4;
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

// Faults the tests can switch on; all off by default. A refusal with a count lets that many calls
// succeed first (counted from the device's opening), so a failure can be placed part-way through a group
// or the sound table.
struct PlatformAudioFaults {
    bool refuseDevice; // as with no audio hardware at all
    bool refuseCooperativeLevel;
    bool refusePrimary;
    bool refuseBuffer;
    int32_t buffersBeforeRefusal;
    bool refuseDuplicate;
    int32_t duplicatesBeforeRefusal;
};
extern PlatformAudioFaults platformAudioFaults;

// Opens the default output device; null when there is none or one is open already.
PlatformSoundDevice* PlatformAudioCreateDevice();
bool PlatformAudioSetCooperativeLevel(PlatformSoundDevice* device, PlatformWindow window, int32_t level);
PlatformSoundBuffer* PlatformAudioCreatePrimary(PlatformSoundDevice* device);
// Asks for an output format. A device may keep mixing in its own format; callers ignore the result.
bool PlatformAudioSetPrimaryFormat(PlatformSoundBuffer* primary, const PlatformPcmFormat& format);
// The format the device really mixes to; false without a device.
bool PlatformAudioOutputFormat(PlatformSoundDevice* device, PlatformPcmFormat* format);

// A new stopped buffer at full volume and centre pan, holding a copy of size bytes of samples in the
// given format; null when the device refuses or cannot hold them. A buffer holds PCM, 1 or 2 channels,
// 8 or 16 bits, 100..200000 Hz, with a block alignment that matches, and DSBSIZE_MIN..DSBSIZE_MAX bytes.
PlatformSoundBuffer* PlatformAudioCreateBuffer(PlatformSoundDevice* device, const PlatformPcmFormat& format,
                                               const uint8_t* samples, uint32_t size);
// Whether a buffer of size bytes in that format is one the device takes (the rule above); the asset
// checker asks it too, so it refuses exactly the sounds the game would.
bool PlatformAudioTakes(const PlatformPcmFormat& format, uint32_t size);
// A second buffer over the source's samples, with its own position, volume and pan (copied from the
// source); null on failure.
PlatformSoundBuffer* PlatformAudioDuplicateBuffer(PlatformSoundDevice* device, PlatformSoundBuffer* source);

// Calls on a released buffer, or on a buffer or device that is not this device's, are refused. The primary
// buffer only carries the format: it cannot be positioned or played.
bool PlatformAudioStop(PlatformSoundBuffer* buffer);
// In bytes of the buffer's own format, at most its size.
bool PlatformAudioSetPosition(PlatformSoundBuffer* buffer, uint32_t bytePosition);
// Starts the buffer from the position last set (the start, for a new buffer); DSBPLAY_LOOPING repeats it
// until it is stopped. A buffer that is already playing starts again from that position.
bool PlatformAudioPlay(PlatformSoundBuffer* buffer, uint32_t flags);
bool PlatformAudioIsPlaying(PlatformSoundBuffer* buffer);
// Values outside -10000..0 (volume) and -10000..10000 (pan) are refused, not clamped.
bool PlatformAudioSetVolume(PlatformSoundBuffer* buffer, int32_t volume);
int32_t PlatformAudioGetVolume(PlatformSoundBuffer* buffer);
bool PlatformAudioSetPan(PlatformSoundBuffer* buffer, int32_t pan);
int32_t PlatformAudioGetPan(PlatformSoundBuffer* buffer);
// Releases a secondary or the primary buffer; samples go when their last buffer goes.
void PlatformAudioReleaseBuffer(PlatformSoundBuffer* buffer);
// Closes the device. Returns the number of buffers that were still alive (0 = nothing leaked); they
// are released with it.
int32_t PlatformAudioReleaseDevice(PlatformSoundDevice* device);
