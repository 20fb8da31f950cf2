// What each backend (sdl, headless, win32, web) defines beneath the shared platform code, grouped as the
// shared code uses it: window, display, audio, input, clock, files.
#pragma once
#include <cstdint>

#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display_device.h"
#include "platform/input.h"
#include "platform/window.h"

// ---- Window (beneath platform/window.cpp)

// Moves whatever the backend has seen (window events, keys) into the message queue.
void BackendPumpEvents();
// Blocks until the backend has something to pump.
void BackendWaitEvents();

bool BackendCreateWindow(PlatformWindow window, const char* caption, int32_t x, int32_t y, int32_t width,
                         int32_t height);
void BackendShowWindow(PlatformWindow window);
void BackendDestroyWindow(PlatformWindow window);
void BackendSetFullScreenStyle(PlatformWindow window);
PlatformRect BackendClientRectOnScreen(PlatformWindow window);
void BackendMessageBox(const char* text, const char* caption, uint32_t flags);
void BackendSetCursorVisible(bool visible);

// ---- Display (beneath platform/display_device.cpp)

bool BackendDisplayOpen();
bool BackendDisplaySetMode(int32_t width, int32_t height);
bool BackendDisplayRefreshRate(uint32_t* hz);
// Shows a finished picture: width x height indices through the 256 palette entries.
void BackendDisplayShow(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                        const PaletteEntry palette[256], bool waitVerticalBlank);
void BackendDisplayClose();

// ---- Audio (beneath platform/audio.cpp)
//
// The shared layer checks every call, switches the faults, counts buffers and shares samples; a backend
// only opens its output and plays voices. Each backend defines the two records below its own way.

// One sound's samples as the backend holds them, shared by a buffer and its duplicates.
struct BackendSamples;
// What plays one buffer.
struct BackendVoice;

struct PlatformSoundSamples {
    BackendSamples* backend;
    int32_t users; // live buffers over these samples
};

// The shared layer's record of a buffer, which backends read. Released buffers stay listed until
// PlatformAudioReset (the game makes its buffers once), so a pointer is never reused and a late call on
// one is refused instead of landing on a newer buffer.
struct PlatformSoundBuffer {
    int32_t id;     // 1, 2, ... in order of creation since the reset, the primary buffer included
    int32_t source; // for a duplicate, the id of the buffer it was made from; else 0
    bool primary;
    bool released;
    PlatformPcmFormat format;      // for the primary buffer, the format last asked for
    uint32_t size;                 // bytes of samples
    PlatformSoundSamples* samples; // null for the primary buffer and once released
    BackendVoice* voice;           // likewise
    uint32_t position;
    int32_t volume;
    int32_t pan;
};

// The calls that change something, as the shared layer reports them to the backend.
enum PlatformAudioOp : int32_t {
    AUDIO_CREATE_DEVICE,
    AUDIO_COOPERATIVE_LEVEL,
    AUDIO_CREATE_PRIMARY,
    AUDIO_PRIMARY_FORMAT,
    AUDIO_CREATE_BUFFER,
    AUDIO_DUPLICATE,
    AUDIO_STOP,
    AUDIO_SET_POSITION,
    AUDIO_PLAY,
    AUDIO_SET_VOLUME,
    AUDIO_SET_PAN,
    AUDIO_RELEASE_BUFFER,
    AUDIO_RELEASE_DEVICE,
};

// One call and its outcome. 0 means no buffer; a refused or misdirected call has ok false.
struct PlatformAudioCall {
    PlatformAudioOp op;
    int32_t buffer; // the buffer acted on, or the new buffer for create and duplicate
    int32_t source; // the source of a duplicate
    int64_t value;  // level, flags, position, volume, pan, byte size, or buffers leaked at release
    bool ok;
};

// Opens the output (saying why not, where there is something to say); false when there is none.
bool BackendAudioOpen();
void BackendAudioClose();
// The cooperative level and the primary buffer mean something to DirectSound only: a backend that has them
// fills in this record, the others leave a member null, and the shared layer takes such a call as done.
struct BackendPrimaryCalls {
    bool (*setCooperativeLevel)(PlatformWindow window, int32_t level);
    bool (*createPrimary)();
    bool (*setPrimaryFormat)(const PlatformPcmFormat& format);
};
extern const BackendPrimaryCalls backendPrimaryCalls;
bool BackendAudioOutputFormat(PlatformPcmFormat* format);
// A new sound's samples, already checked: size bytes in format. Null when they cannot be held.
BackendSamples* BackendAudioLoadSamples(const PlatformPcmFormat& format, const uint8_t* samples,
                                        uint32_t size);
void BackendAudioFreeSamples(BackendSamples* samples);
// A stopped voice for a new buffer over buffer.samples, at the buffer's volume and pan; null on failure.
BackendVoice* BackendAudioOpenVoice(const PlatformSoundBuffer& buffer);
void BackendAudioCloseVoice(BackendVoice* voice);
// Starts the buffer's voice from buffer.position, once or (DSBPLAY_LOOPING) until stopped, at its volume
// and pan; a playing voice starts again.
bool BackendAudioPlay(const PlatformSoundBuffer& buffer, uint32_t flags);
void BackendAudioStop(BackendVoice* voice);
bool BackendAudioIsPlaying(BackendVoice* voice);
// The buffer's volume or pan has changed; a playing voice follows at once.
void BackendAudioSetLevels(const PlatformSoundBuffer& buffer);
// Told of every call that changes something, after it. The headless backend records them; others ignore it.
void BackendAudioCalled(const PlatformAudioCall& call);

// What the shared layer offers the backends and the tests.

// The linear gain of each side for a volume and pan, for backends that mix themselves: -10000 and below
// is silence, every -2000 is a tenth, and pan only lowers the far side (no equal-power centre).
struct PlatformSideGains {
    double left;
    double right;
};
PlatformSideGains PlatformAudioSideGains(int32_t volume, int32_t pan);
// Every buffer since the reset, released ones included: ids 1..PlatformAudioBufferCount().
int32_t PlatformAudioBufferCount();
const PlatformSoundBuffer* PlatformAudioBufferRecord(int32_t id);
// 0 when the pointer is not one of this layer's buffers.
int32_t PlatformAudioBufferId(const PlatformSoundBuffer* buffer);
int32_t PlatformAudioLiveBuffers();
bool PlatformAudioDeviceOpen();
// Calls made on a released or foreign buffer or device: always a fault of the caller.
int32_t PlatformAudioMisuses();
// Releases everything, closes the device without reporting it, forgets every buffer and fault.
void PlatformAudioReset();

// ---- Input: each backend defines those of platform/input.h, PlatformKeyHeld and PlatformReadJoystick.

// ---- Clock: each backend defines those of platform/clock.h, PlatformTimeGetTime, PlatformTimeBeginPeriod,
// PlatformTimeEndPeriod and PlatformSleep.

// ---- Files (beneath platform/file.cpp)

// Told after PlatformReplaceFile has put a file in place (native path), for backends whose files live
// somewhere that needs telling (the browser's storage). Most do nothing.
void BackendFileReplaced(const char* nativePath);
