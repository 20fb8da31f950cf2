// The headless backend's sound device: plays nothing, but records every device and buffer call so tests
// and traces can see what the game asked of it.
#include "platform/headless/headless_audio.h"

#include <memory>

struct BackendSamples {
    std::vector<uint8_t> bytes;
};

// Kept after the voice closes, until the reset, so a released buffer's plays can still be read.
struct BackendVoice {
    int32_t buffer;
    bool playing;
    uint32_t playFlags; // of the last play
    int32_t plays;
};

namespace {
struct HeadlessAudio {
    std::vector<HeadlessAudioCall> calls;
    std::vector<std::unique_ptr<BackendVoice>> voices;
    PlatformPcmFormat primaryFormat{};
    int32_t heldSamples = 0;
};
HeadlessAudio audio;

BackendVoice* VoiceOf(int32_t id) {
    for (const auto& v : audio.voices) {
        if (v->buffer == id) return v.get();
    }
    return nullptr;
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
    PlatformAudioReset();
    audio = HeadlessAudio{};
}

const std::vector<HeadlessAudioCall>& HeadlessAudioCalls() {
    return audio.calls;
}

void HeadlessAudioForgetCalls() {
    audio.calls.clear(); // keeps its capacity: one frame's worth, reused
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
    return PlatformAudioBufferId(buffer);
}

HeadlessAudioBufferState HeadlessAudioBuffer(int32_t id) {
    const PlatformSoundBuffer* b = PlatformAudioBufferRecord(id);
    if (!b) return HeadlessAudioBufferState{};
    HeadlessAudioBufferState state{};
    state.id = b->id;
    state.source = b->source;
    state.primary = b->primary;
    state.released = b->released;
    state.format = b->format;
    state.position = b->position;
    state.volume = b->volume;
    state.pan = b->pan;
    state.samples = b->samples ? b->samples->backend->bytes.data() : nullptr;
    state.size = b->size;
    if (const BackendVoice* voice = VoiceOf(id)) {
        state.playing = voice->playing;
        state.playFlags = voice->playFlags;
        state.plays = voice->plays;
    }
    return state;
}

int32_t HeadlessAudioBufferCount() {
    return PlatformAudioBufferCount();
}

int32_t HeadlessAudioLiveBuffers() {
    return PlatformAudioLiveBuffers();
}

bool HeadlessAudioDeviceOpen() {
    return PlatformAudioDeviceOpen();
}
PlatformPcmFormat HeadlessAudioPrimaryFormat() {
    return audio.primaryFormat;
}
int32_t HeadlessAudioMisuses() {
    return PlatformAudioMisuses();
}
int32_t HeadlessAudioHeldSamples() {
    return audio.heldSamples;
}

void HeadlessAudioFinish(int32_t id) {
    if (BackendVoice* voice = VoiceOf(id)) voice->playing = false;
}

bool BackendAudioOpen() {
    return true;
}
void BackendAudioClose() {}

namespace {
// The output takes whatever format the game asks for.
bool TakePrimaryFormat(const PlatformPcmFormat& format) {
    audio.primaryFormat = format;
    return true;
}
} // namespace

const BackendPrimaryCalls backendPrimaryCalls{nullptr, nullptr, TakePrimaryFormat};

bool BackendAudioOutputFormat(PlatformPcmFormat* format) {
    // Nothing is mixed here, so the device takes whatever the primary buffer was asked for.
    *format = audio.primaryFormat;
    return true;
}

BackendSamples* BackendAudioLoadSamples(const PlatformPcmFormat&, const uint8_t* samples, uint32_t size) {
    ++audio.heldSamples;
    return new BackendSamples{std::vector<uint8_t>(samples, samples + size)};
}

void BackendAudioFreeSamples(BackendSamples* samples) {
    --audio.heldSamples;
    delete samples;
}

BackendVoice* BackendAudioOpenVoice(const PlatformSoundBuffer& buffer) {
    audio.voices.push_back(std::make_unique<BackendVoice>(BackendVoice{buffer.id, false, 0, 0}));
    return audio.voices.back().get();
}

void BackendAudioCloseVoice(BackendVoice* voice) {
    voice->playing = false;
}

bool BackendAudioPlay(const PlatformSoundBuffer& buffer, uint32_t flags) {
    buffer.voice->playing = true;
    buffer.voice->playFlags = flags;
    ++buffer.voice->plays;
    return true;
}

void BackendAudioStop(BackendVoice* voice) {
    voice->playing = false;
}

bool BackendAudioIsPlaying(BackendVoice* voice) {
    return voice->playing;
}

void BackendAudioSetLevels(const PlatformSoundBuffer&) {}

void BackendAudioCalled(const PlatformAudioCall& call) {
    audio.calls.push_back(call);
}
