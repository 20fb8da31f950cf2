// The headless backend's sound device: plays nothing, but records every device and buffer call so tests
// and traces can see what the game asked of it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend.h"

// One call as the device saw it (see platform/backend.h). Buffers are numbered from 1 in order of
// creation (the primary buffer included); 0 means no buffer.
using HeadlessAudioOp = PlatformAudioOp;
using HeadlessAudioCall = PlatformAudioCall;

struct HeadlessAudioBufferState {
    int32_t id;
    int32_t source; // 0 for a buffer made from samples, else the buffer it was duplicated from
    bool primary;
    bool released;
    bool playing;
    PlatformPcmFormat format;
    uint32_t position;
    int32_t volume;
    int32_t pan;
    uint32_t playFlags; // of the last play
    int32_t plays;
    const uint8_t* samples; // shared by a buffer and its duplicates
    uint32_t size;
};

// Forgets every call, buffer and fault and closes the device.
void HeadlessAudioReset();
const std::vector<HeadlessAudioCall>& HeadlessAudioCalls();
// Forgets the calls recorded so far, nothing else: a long run calls it every frame so the log stays short.
void HeadlessAudioForgetCalls();
// The calls as lines of text, e.g. "play #3 flags 0"; handy in traces and failure messages.
std::string HeadlessAudioDescribe(const HeadlessAudioCall& call);
std::string HeadlessAudioTranscript();
// 0 when the pointer is not one of this device's buffers.
int32_t HeadlessAudioBufferId(const PlatformSoundBuffer* buffer);
// State of buffer id (1-based); released buffers stay listed until the reset.
HeadlessAudioBufferState HeadlessAudioBuffer(int32_t id);
int32_t HeadlessAudioBufferCount();
int32_t HeadlessAudioLiveBuffers();
bool HeadlessAudioDeviceOpen();
// The last format asked of the primary buffer.
PlatformPcmFormat HeadlessAudioPrimaryFormat();
// Calls made on a released buffer or with a null one: always a fault of the caller.
int32_t HeadlessAudioMisuses();
// Sounds whose samples are still held (by a buffer or its duplicates).
int32_t HeadlessAudioHeldSamples();
// A buffer that has played out stops, as one would on a real device.
void HeadlessAudioFinish(int32_t id);
