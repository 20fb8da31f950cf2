// The headless backend's sound device: plays nothing, but records every device and buffer call so tests
// and traces can see what the game asked of it.
#include "platform/headless/headless_audio.h"

#include <memory>

PlatformAudioFaults platformAudioFaults = {};

struct PlatformSoundDevice {
    bool open;
};

struct PlatformSoundBuffer {
    HeadlessAudioBufferState state;
    std::shared_ptr<const std::vector<uint8_t>> samples;
};

namespace {
struct HeadlessAudio {
    PlatformSoundDevice device{};
    // Released buffers are kept until the reset, so a pointer is never reused and a late call on one
    // is caught instead of landing on a newer buffer.
    std::vector<std::unique_ptr<PlatformSoundBuffer>> buffers;
    std::vector<HeadlessAudioCall> calls;
    PlatformPcmFormat primaryFormat{};
    int32_t misuses = 0;
    int32_t buffersMade = 0;
    int32_t duplicatesMade = 0;
};
HeadlessAudio audio;

void Record(HeadlessAudioOp op, int32_t buffer, int64_t value, bool ok, int32_t source = 0) {
    audio.calls.push_back(HeadlessAudioCall{op, buffer, source, value, ok});
}

// The live buffer behind the pointer, or null (counted as a misuse).
PlatformSoundBuffer* Live(PlatformSoundBuffer* buffer) {
    for (const auto& b : audio.buffers) {
        if (b.get() == buffer && !b->state.released) return buffer;
    }
    ++audio.misuses;
    return nullptr;
}

int32_t IdOf(const PlatformSoundBuffer* buffer) {
    for (const auto& b : audio.buffers) {
        if (b.get() == buffer) return b->state.id;
    }
    return 0;
}

PlatformSoundBuffer* NewBuffer(bool primary, int32_t source) {
    audio.buffers.push_back(std::make_unique<PlatformSoundBuffer>());
    PlatformSoundBuffer* b = audio.buffers.back().get();
    b->state = HeadlessAudioBufferState{};
    b->state.id = static_cast<int32_t>(audio.buffers.size());
    b->state.primary = primary;
    b->state.source = source;
    return b;
}

bool DeviceIs(PlatformSoundDevice* device) {
    if (device == &audio.device && audio.device.open) return true;
    ++audio.misuses;
    return false;
}

const char* OpName(HeadlessAudioOp op) {
    switch (op) {
    case AUDIO_CREATE_DEVICE:
        return "create device";
    case AUDIO_COOPERATIVE_LEVEL:
        return "cooperative level";
    case AUDIO_CREATE_PRIMARY:
        return "create primary";
    case AUDIO_PRIMARY_FORMAT:
        return "primary format";
    case AUDIO_CREATE_BUFFER:
        return "create";
    case AUDIO_DUPLICATE:
        return "duplicate";
    case AUDIO_STOP:
        return "stop";
    case AUDIO_SET_POSITION:
        return "position";
    case AUDIO_PLAY:
        return "play";
    case AUDIO_SET_VOLUME:
        return "volume";
    case AUDIO_SET_PAN:
        return "pan";
    case AUDIO_RELEASE_BUFFER:
        return "release";
    case AUDIO_RELEASE_DEVICE:
        return "release device";
    }
    return "?";
}

// Appends in place: building a temporary as "label" + number makes GCC 12 at -O3 warn falsely about
// overlapping copies (-Wrestrict).
void Append(std::string& text, const char* label, int64_t number, const char* unit = "") {
    text += label;
    text += std::to_string(number);
    text += unit;
}
} // namespace

void HeadlessAudioReset() {
    audio = HeadlessAudio{};
    platformAudioFaults = PlatformAudioFaults{};
}

const std::vector<HeadlessAudioCall>& HeadlessAudioCalls() {
    return audio.calls;
}

std::string HeadlessAudioDescribe(const HeadlessAudioCall& call) {
    std::string text = OpName(call.op);
    if (call.buffer) Append(text, " #", call.buffer);
    if (call.op == AUDIO_DUPLICATE) Append(text, " of #", call.source);
    switch (call.op) {
    case AUDIO_COOPERATIVE_LEVEL:
        Append(text, " level ", call.value);
        break;
    case AUDIO_PRIMARY_FORMAT:
        Append(text, " ", audio.primaryFormat.samplesPerSec, " Hz");
        Append(text, " ", audio.primaryFormat.bitsPerSample, " bits");
        Append(text, " ", audio.primaryFormat.channels, " ch");
        break;
    case AUDIO_CREATE_BUFFER:
        Append(text, " ", call.value, " bytes");
        break;
    case AUDIO_SET_POSITION:
        Append(text, " at ", call.value);
        break;
    case AUDIO_PLAY:
        Append(text, " flags ", call.value);
        break;
    case AUDIO_SET_VOLUME:
    case AUDIO_SET_PAN:
        Append(text, " ", call.value);
        break;
    case AUDIO_RELEASE_DEVICE:
        Append(text, " leaked ", call.value);
        break;
    default:
        break;
    }
    if (!call.ok) text += " (refused)";
    return text;
}

std::string HeadlessAudioTranscript() {
    std::string text;
    for (const HeadlessAudioCall& call : audio.calls)
        text += HeadlessAudioDescribe(call) + "\n";
    return text;
}

int32_t HeadlessAudioBufferId(const PlatformSoundBuffer* buffer) {
    return IdOf(buffer);
}

HeadlessAudioBufferState HeadlessAudioBuffer(int32_t id) {
    if (id < 1 || id > static_cast<int32_t>(audio.buffers.size())) return HeadlessAudioBufferState{};
    return audio.buffers[static_cast<size_t>(id - 1)]->state;
}

int32_t HeadlessAudioBufferCount() {
    return static_cast<int32_t>(audio.buffers.size());
}

int32_t HeadlessAudioLiveBuffers() {
    int32_t live = 0;
    for (const auto& b : audio.buffers)
        live += b->state.released ? 0 : 1;
    return live;
}

bool HeadlessAudioDeviceOpen() {
    return audio.device.open;
}
PlatformPcmFormat HeadlessAudioPrimaryFormat() {
    return audio.primaryFormat;
}
int32_t HeadlessAudioMisuses() {
    return audio.misuses;
}

void HeadlessAudioFinish(int32_t id) {
    if (id >= 1 && id <= static_cast<int32_t>(audio.buffers.size()))
        audio.buffers[static_cast<size_t>(id - 1)]->state.playing = false;
}

PlatformSoundDevice* PlatformAudioCreateDevice() {
    // One device at a time, as the game only ever opens one.
    const bool ok = !platformAudioFaults.refuseDevice && !audio.device.open;
    Record(AUDIO_CREATE_DEVICE, 0, 0, ok);
    if (!ok) return nullptr;
    audio.device.open = true;
    audio.buffersMade = 0;
    audio.duplicatesMade = 0;
    return &audio.device;
}

bool PlatformAudioSetCooperativeLevel(PlatformSoundDevice* device, PlatformWindow, int32_t level) {
    const bool ok = DeviceIs(device) && !platformAudioFaults.refuseCooperativeLevel;
    Record(AUDIO_COOPERATIVE_LEVEL, 0, level, ok);
    return ok;
}

PlatformSoundBuffer* PlatformAudioCreatePrimary(PlatformSoundDevice* device) {
    if (!DeviceIs(device) || platformAudioFaults.refusePrimary) {
        Record(AUDIO_CREATE_PRIMARY, 0, 0, false);
        return nullptr;
    }
    PlatformSoundBuffer* b = NewBuffer(true, 0);
    Record(AUDIO_CREATE_PRIMARY, b->state.id, 0, true);
    return b;
}

bool PlatformAudioSetPrimaryFormat(PlatformSoundBuffer* primary, const PlatformPcmFormat& format) {
    PlatformSoundBuffer* b = Live(primary);
    const bool ok = b && b->state.primary;
    if (ok) {
        audio.primaryFormat = format;
        b->state.format = format;
    }
    Record(AUDIO_PRIMARY_FORMAT, IdOf(primary), 0, ok);
    return ok;
}

bool PlatformAudioOutputFormat(PlatformSoundDevice* device, PlatformPcmFormat* format) {
    // Nothing is mixed here, so the device takes whatever the primary buffer was asked for.
    if (device != &audio.device || !audio.device.open) return false;
    *format = audio.primaryFormat;
    return true;
}

PlatformSoundBuffer* PlatformAudioCreateBuffer(PlatformSoundDevice* device, const PlatformPcmFormat& format,
                                               const uint8_t* samples, uint32_t size) {
    bool ok = DeviceIs(device) && PlatformAudioBufferAcceptable(format, size) && samples;
    if (ok && platformAudioFaults.refuseBuffer &&
        audio.buffersMade >= platformAudioFaults.buffersBeforeRefusal)
        ok = false;
    if (!ok) {
        Record(AUDIO_CREATE_BUFFER, 0, size, false);
        return nullptr;
    }
    ++audio.buffersMade;
    PlatformSoundBuffer* b = NewBuffer(false, 0);
    b->samples = std::make_shared<const std::vector<uint8_t>>(samples, samples + size);
    b->state.format = format;
    b->state.samples = b->samples->data();
    b->state.size = size;
    Record(AUDIO_CREATE_BUFFER, b->state.id, size, true);
    return b;
}

PlatformSoundBuffer* PlatformAudioDuplicateBuffer(PlatformSoundDevice* device, PlatformSoundBuffer* source) {
    const int32_t sourceId = IdOf(source);
    PlatformSoundBuffer* from = DeviceIs(device) ? Live(source) : nullptr;
    bool ok = from && !from->state.primary;
    if (ok && platformAudioFaults.refuseDuplicate &&
        audio.duplicatesMade >= platformAudioFaults.duplicatesBeforeRefusal)
        ok = false;
    if (!ok) {
        Record(AUDIO_DUPLICATE, 0, 0, false, sourceId);
        return nullptr;
    }
    ++audio.duplicatesMade;
    PlatformSoundBuffer* b = NewBuffer(false, sourceId);
    b->samples = from->samples;
    b->state.format = from->state.format;
    b->state.samples = from->state.samples;
    b->state.size = from->state.size;
    b->state.volume = from->state.volume;
    b->state.pan = from->state.pan;
    Record(AUDIO_DUPLICATE, b->state.id, 0, true, sourceId);
    return b;
}

bool PlatformAudioStop(PlatformSoundBuffer* buffer) {
    PlatformSoundBuffer* b = Live(buffer);
    if (b) b->state.playing = false;
    Record(AUDIO_STOP, IdOf(buffer), 0, b != nullptr);
    return b != nullptr;
}

bool PlatformAudioSetPosition(PlatformSoundBuffer* buffer, uint32_t bytePosition) {
    PlatformSoundBuffer* b = Live(buffer);
    const bool ok = b && !b->state.primary && bytePosition <= b->state.size;
    if (ok) b->state.position = bytePosition;
    Record(AUDIO_SET_POSITION, IdOf(buffer), bytePosition, ok);
    return ok;
}

bool PlatformAudioPlay(PlatformSoundBuffer* buffer, uint32_t flags) {
    PlatformSoundBuffer* b = Live(buffer);
    const bool ok = b && !b->state.primary;
    if (ok) {
        b->state.playing = true;
        b->state.playFlags = flags;
        ++b->state.plays;
    }
    Record(AUDIO_PLAY, IdOf(buffer), flags, ok);
    return ok;
}

bool PlatformAudioIsPlaying(PlatformSoundBuffer* buffer) {
    PlatformSoundBuffer* b = Live(buffer);
    return b && b->state.playing;
}

bool PlatformAudioSetVolume(PlatformSoundBuffer* buffer, int32_t volume) {
    PlatformSoundBuffer* b = Live(buffer);
    const bool ok = b && volume >= -10000 && volume <= 0;
    if (ok) b->state.volume = volume;
    Record(AUDIO_SET_VOLUME, IdOf(buffer), volume, ok);
    return ok;
}

int32_t PlatformAudioGetVolume(PlatformSoundBuffer* buffer) {
    PlatformSoundBuffer* b = Live(buffer);
    return b ? b->state.volume : 0;
}

bool PlatformAudioSetPan(PlatformSoundBuffer* buffer, int32_t pan) {
    PlatformSoundBuffer* b = Live(buffer);
    const bool ok = b && pan >= -10000 && pan <= 10000;
    if (ok) b->state.pan = pan;
    Record(AUDIO_SET_PAN, IdOf(buffer), pan, ok);
    return ok;
}

int32_t PlatformAudioGetPan(PlatformSoundBuffer* buffer) {
    PlatformSoundBuffer* b = Live(buffer);
    return b ? b->state.pan : 0;
}

void PlatformAudioReleaseBuffer(PlatformSoundBuffer* buffer) {
    PlatformSoundBuffer* b = Live(buffer);
    if (b) {
        b->state.released = true;
        b->state.playing = false;
        b->state.samples = nullptr;
        b->samples.reset();
    }
    Record(AUDIO_RELEASE_BUFFER, IdOf(buffer), 0, b != nullptr);
}

int32_t PlatformAudioReleaseDevice(PlatformSoundDevice* device) {
    if (!DeviceIs(device)) {
        Record(AUDIO_RELEASE_DEVICE, 0, 0, false);
        return 0;
    }
    const int32_t leaked = HeadlessAudioLiveBuffers();
    for (const auto& b : audio.buffers) {
        b->state.released = true;
        b->state.playing = false;
        b->state.samples = nullptr;
        b->samples.reset();
    }
    audio.device.open = false;
    Record(AUDIO_RELEASE_DEVICE, 0, leaked, true);
    return leaked;
}
