// The sound device's bookkeeping for every backend: argument checks, faults, buffers and their shared
// samples, volume and pan. The backend only opens its output and plays voices.
#include "platform/audio.h"

#include <cmath>
#include <memory>
#include <vector>

#include "platform/backend.h"

PlatformAudioFaults platformAudioFaults{};

struct PlatformSoundDevice {
    bool open;
};

namespace {
struct AudioState {
    PlatformSoundDevice device{};
    std::vector<std::unique_ptr<PlatformSoundBuffer>> buffers;
    int32_t misuses = 0;
    int32_t buffersMade = 0;
    int32_t duplicatesMade = 0;
};
AudioState audio;

void Report(PlatformAudioOp op, int32_t buffer, int64_t value, bool ok, int32_t source = 0) {
    BackendAudioCalled(PlatformAudioCall{op, buffer, source, value, ok});
}

// The live buffer behind the pointer, or null (counted as a misuse). Searched, not trusted: the pointer
// may be anything.
PlatformSoundBuffer* Live(PlatformSoundBuffer* buffer) {
    for (const auto& b : audio.buffers) {
        if (b.get() == buffer && !b->released) return buffer;
    }
    ++audio.misuses;
    return nullptr;
}

bool DeviceIs(const PlatformSoundDevice* device) {
    if (device == &audio.device && audio.device.open) return true;
    ++audio.misuses;
    return false;
}

// A fault with a count refuses only once that many have been made.
bool Refused(bool refuse, int32_t made, int32_t allowed) {
    return refuse && made >= allowed;
}

std::unique_ptr<PlatformSoundBuffer> NewRecord(bool primary) {
    auto b = std::make_unique<PlatformSoundBuffer>();
    b->id = static_cast<int32_t>(audio.buffers.size()) + 1;
    b->primary = primary;
    return b;
}

void DropSamples(PlatformSoundSamples* samples) {
    if (--samples->users > 0) return;
    BackendAudioFreeSamples(samples->backend);
    delete samples;
}

// Gives voice and samples back; the record stays, marked released.
void Release(PlatformSoundBuffer* b) {
    if (b->voice) BackendAudioCloseVoice(b->voice);
    b->voice = nullptr;
    if (b->samples) DropSamples(b->samples);
    b->samples = nullptr;
    b->released = true;
}

// Opens the new buffer's voice and lists it; null (and the samples given back) when there is no voice.
PlatformSoundBuffer* Adopt(std::unique_ptr<PlatformSoundBuffer> b) {
    b->voice = BackendAudioOpenVoice(*b);
    if (!b->voice) {
        DropSamples(b->samples);
        return nullptr;
    }
    audio.buffers.push_back(std::move(b));
    return audio.buffers.back().get();
}

double Gain(int32_t hundredthsOfDecibel) {
    if (hundredthsOfDecibel <= -10000) return 0.0;
    return std::pow(10.0, hundredthsOfDecibel / 2000.0);
}
} // namespace

PlatformPcmFormat PlatformMakePcmFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample) {
    const auto blockAlign = static_cast<uint16_t>(bitsPerSample / 8 * channels);
    return PlatformPcmFormat{WAVE_FORMAT_PCM, channels,     samplesPerSec, blockAlign * samplesPerSec,
                             blockAlign,      bitsPerSample};
}

bool PlatformAudioTakes(const PlatformPcmFormat& format, uint32_t size) {
    return format.formatTag == WAVE_FORMAT_PCM && (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) && format.samplesPerSec >= 100 &&
           format.samplesPerSec <= 200000 &&
           format.blockAlign == format.channels * format.bitsPerSample / 8 && size >= DSBSIZE_MIN &&
           size <= DSBSIZE_MAX;
}

PlatformSoundDevice* PlatformAudioCreateDevice() {
    // One device at a time, as the game only ever opens one.
    const bool ok = !platformAudioFaults.refuseDevice && !audio.device.open && BackendAudioOpen();
    Report(AUDIO_CREATE_DEVICE, 0, 0, ok);
    if (!ok) return nullptr;
    audio.device.open = true;
    audio.buffersMade = 0;
    audio.duplicatesMade = 0;
    return &audio.device;
}

bool PlatformAudioSetCooperativeLevel(PlatformSoundDevice* device, PlatformWindow window, int32_t level) {
    const bool ok =
        DeviceIs(device) && !platformAudioFaults.refuseCooperativeLevel &&
        (!backendPrimaryCalls.setCooperativeLevel || backendPrimaryCalls.setCooperativeLevel(window, level));
    Report(AUDIO_COOPERATIVE_LEVEL, 0, level, ok);
    return ok;
}

PlatformSoundBuffer* PlatformAudioCreatePrimary(PlatformSoundDevice* device) {
    if (!DeviceIs(device) || platformAudioFaults.refusePrimary ||
        (backendPrimaryCalls.createPrimary && !backendPrimaryCalls.createPrimary())) {
        Report(AUDIO_CREATE_PRIMARY, 0, 0, false);
        return nullptr;
    }
    audio.buffers.push_back(NewRecord(true));
    PlatformSoundBuffer* b = audio.buffers.back().get();
    Report(AUDIO_CREATE_PRIMARY, b->id, 0, true);
    return b;
}

bool PlatformAudioSetPrimaryFormat(PlatformSoundBuffer* primary, const PlatformPcmFormat& format) {
    PlatformSoundBuffer* b = Live(primary);
    bool ok = b && b->primary;
    if (ok) {
        b->format = format;
        ok = !backendPrimaryCalls.setPrimaryFormat || backendPrimaryCalls.setPrimaryFormat(format);
    }
    Report(AUDIO_PRIMARY_FORMAT, PlatformAudioBufferId(primary), 0, ok);
    return ok;
}

bool PlatformAudioOutputFormat(PlatformSoundDevice* device, PlatformPcmFormat* format) {
    if (!format || device != &audio.device || !audio.device.open) return false;
    return BackendAudioOutputFormat(format);
}

PlatformSoundBuffer* PlatformAudioCreateBuffer(PlatformSoundDevice* device, const PlatformPcmFormat& format,
                                               const uint8_t* samples, uint32_t size) {
    PlatformSoundBuffer* made = nullptr;
    if (DeviceIs(device) && PlatformAudioTakes(format, size) && samples &&
        !Refused(platformAudioFaults.refuseBuffer, audio.buffersMade,
                 platformAudioFaults.buffersBeforeRefusal)) {
        if (BackendSamples* held = BackendAudioLoadSamples(format, samples, size)) {
            auto b = NewRecord(false);
            b->format = format;
            b->size = size;
            b->samples = new PlatformSoundSamples{held, 1};
            made = Adopt(std::move(b));
        }
    }
    if (made) ++audio.buffersMade;
    Report(AUDIO_CREATE_BUFFER, made ? made->id : 0, size, made != nullptr);
    return made;
}

PlatformSoundBuffer* PlatformAudioDuplicateBuffer(PlatformSoundDevice* device, PlatformSoundBuffer* source) {
    const int32_t sourceId = PlatformAudioBufferId(source);
    const PlatformSoundBuffer* from = DeviceIs(device) ? Live(source) : nullptr;
    PlatformSoundBuffer* made = nullptr;
    if (from && !from->primary &&
        !Refused(platformAudioFaults.refuseDuplicate, audio.duplicatesMade,
                 platformAudioFaults.duplicatesBeforeRefusal)) {
        auto b = NewRecord(false);
        b->source = sourceId;
        b->format = from->format;
        b->size = from->size;
        b->samples = from->samples;
        ++b->samples->users;
        b->volume = from->volume;
        b->pan = from->pan;
        made = Adopt(std::move(b));
    }
    if (made) ++audio.duplicatesMade;
    Report(AUDIO_DUPLICATE, made ? made->id : 0, 0, made != nullptr, sourceId);
    return made;
}

bool PlatformAudioStop(PlatformSoundBuffer* buffer) {
    PlatformSoundBuffer* b = Live(buffer);
    if (b && b->voice) BackendAudioStop(b->voice);
    Report(AUDIO_STOP, PlatformAudioBufferId(buffer), 0, b != nullptr);
    return b != nullptr;
}

bool PlatformAudioSetPosition(PlatformSoundBuffer* buffer, uint32_t bytePosition) {
    PlatformSoundBuffer* b = Live(buffer);
    const bool ok = b && !b->primary && bytePosition <= b->size;
    if (ok) b->position = bytePosition;
    Report(AUDIO_SET_POSITION, PlatformAudioBufferId(buffer), bytePosition, ok);
    return ok;
}

bool PlatformAudioPlay(PlatformSoundBuffer* buffer, uint32_t flags) {
    PlatformSoundBuffer* b = Live(buffer);
    const bool ok = b && !b->primary && BackendAudioPlay(*b, flags);
    Report(AUDIO_PLAY, PlatformAudioBufferId(buffer), flags, ok);
    return ok;
}

bool PlatformAudioIsPlaying(PlatformSoundBuffer* buffer) {
    PlatformSoundBuffer* b = Live(buffer);
    return b && b->voice && BackendAudioIsPlaying(b->voice);
}

bool PlatformAudioSetVolume(PlatformSoundBuffer* buffer, int32_t volume) {
    PlatformSoundBuffer* b = Live(buffer);
    const bool ok = b && volume >= -10000 && volume <= 0;
    if (ok) {
        b->volume = volume;
        if (b->voice) BackendAudioSetLevels(*b);
    }
    Report(AUDIO_SET_VOLUME, PlatformAudioBufferId(buffer), volume, ok);
    return ok;
}

int32_t PlatformAudioGetVolume(PlatformSoundBuffer* buffer) {
    const PlatformSoundBuffer* b = Live(buffer);
    return b ? b->volume : 0;
}

bool PlatformAudioSetPan(PlatformSoundBuffer* buffer, int32_t pan) {
    PlatformSoundBuffer* b = Live(buffer);
    const bool ok = b && pan >= -10000 && pan <= 10000;
    if (ok) {
        b->pan = pan;
        if (b->voice) BackendAudioSetLevels(*b);
    }
    Report(AUDIO_SET_PAN, PlatformAudioBufferId(buffer), pan, ok);
    return ok;
}

int32_t PlatformAudioGetPan(PlatformSoundBuffer* buffer) {
    const PlatformSoundBuffer* b = Live(buffer);
    return b ? b->pan : 0;
}

void PlatformAudioReleaseBuffer(PlatformSoundBuffer* buffer) {
    PlatformSoundBuffer* b = Live(buffer);
    if (b) Release(b);
    Report(AUDIO_RELEASE_BUFFER, PlatformAudioBufferId(buffer), 0, b != nullptr);
}

int32_t PlatformAudioReleaseDevice(PlatformSoundDevice* device) {
    if (!DeviceIs(device)) {
        Report(AUDIO_RELEASE_DEVICE, 0, 0, false);
        return 0;
    }
    const int32_t leaked = PlatformAudioLiveBuffers();
    // Newest first: duplicates go before the buffers whose samples they share.
    for (auto b = audio.buffers.rbegin(); b != audio.buffers.rend(); ++b) {
        if (!(*b)->released) Release(b->get());
    }
    BackendAudioClose();
    audio.device.open = false;
    Report(AUDIO_RELEASE_DEVICE, 0, leaked, true);
    return leaked;
}

PlatformSideGains PlatformAudioSideGains(int32_t volume, int32_t pan) {
    const double level = Gain(volume);
    return PlatformSideGains{level * (pan > 0 ? Gain(-pan) : 1.0), level * (pan < 0 ? Gain(pan) : 1.0)};
}

int32_t PlatformAudioBufferCount() {
    return static_cast<int32_t>(audio.buffers.size());
}

const PlatformSoundBuffer* PlatformAudioBufferRecord(int32_t id) {
    if (id < 1 || id > PlatformAudioBufferCount()) return nullptr;
    return audio.buffers[static_cast<size_t>(id - 1)].get();
}

int32_t PlatformAudioBufferId(const PlatformSoundBuffer* buffer) {
    for (const auto& b : audio.buffers) {
        if (b.get() == buffer) return b->id;
    }
    return 0;
}

int32_t PlatformAudioLiveBuffers() {
    int32_t live = 0;
    for (const auto& b : audio.buffers)
        live += b->released ? 0 : 1;
    return live;
}

bool PlatformAudioDeviceOpen() {
    return audio.device.open;
}

int32_t PlatformAudioMisuses() {
    return audio.misuses;
}

void PlatformAudioReset() {
    for (auto b = audio.buffers.rbegin(); b != audio.buffers.rend(); ++b) {
        if (!(*b)->released) Release(b->get());
    }
    if (audio.device.open) BackendAudioClose();
    audio = AudioState{};
    platformAudioFaults = PlatformAudioFaults{};
}
