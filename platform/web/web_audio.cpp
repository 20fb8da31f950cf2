// The sound device on Web Audio: every buffer's samples become one AudioBuffer shared by its duplicates,
// and each play is a new source through two gains, one per side, so that volume and pan follow the same
// decibel law as on the desktop (pan only lowers the far side; no equal-power centre).
#include <emscripten.h>

#include <cmath>
#include <vector>

#include "base/failure.h"
#include "platform/audio.h"

PlatformAudioFaults platformAudioFaults{};

namespace {
// Samples as the page holds them, freed with the last buffer that plays them.
struct SharedSamples {
    int32_t id;
    int32_t users;
};
} // namespace

struct PlatformSoundDevice {
    uint32_t rate;
    std::vector<PlatformSoundBuffer*> buffers; // every live buffer, the primary included
    int32_t buffersMade;
    int32_t duplicatesMade;
    int32_t nextVoice;
};

struct PlatformSoundBuffer {
    PlatformSoundDevice* device;
    bool primary;
    PlatformPcmFormat format;
    SharedSamples* samples;
    int32_t voice; // the page's record of what this buffer is playing
    uint32_t position;
    int32_t volume;
    int32_t pan;
};

namespace {
PlatformSoundDevice* openDevice = nullptr;

EM_JS(int, WebAudioOpen, (), {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    var context;
    try {
        context = new Context();
    } catch (e) {
        return 0;
    }
    var audio = {context : context, master : context.createGain(), samples : [], voices : {}};
    audio.master.connect(context.destination);
    // A page may not make sound before the player does something: the first key or click wakes it.
    audio.wake = function() {
        // The game may close the context before a resume completes (Esc as the first key).
        if (context.state == 'suspended') context.resume().catch(function(){});
    };
    [ 'keydown', 'mousedown', 'touchstart', 'pointerdown' ].forEach(
        function(name) { window.addEventListener(name, audio.wake, true); });
    Module.quillmarshAudio = audio;
    return context.sampleRate | 0;
});

EM_JS(void, WebAudioClose, (), {
    var audio = Module.quillmarshAudio;
    if (!audio) return;
    [ 'keydown', 'mousedown', 'touchstart', 'pointerdown' ].forEach(
        function(name) { window.removeEventListener(name, audio.wake, true); });
    for (var voice in audio.voices) {
        try {
            audio.voices[voice].source.stop();
        } catch (e) {
        }
    }
    audio.context.close().catch(function(){});
    Module.quillmarshAudio = null;
});

EM_JS(int, WebAudioSamples, (const uint8_t* pcm, int frames, int channels, int bits, int rate), {
    var audio = Module.quillmarshAudio;
    if (!audio || frames <= 0) return -1;
    // Web Audio holds rates from 3000 Hz up; slower sounds are stretched by repeating each frame, which
    // keeps their pitch and length.
    var repeat = rate < 3000 ? Math.ceil(3000 / rate) : 1;
    var buffer;
    try {
        buffer = audio.context.createBuffer(channels, frames * repeat, rate * repeat);
    } catch (e) {
        return -1;
    }
    for (var c = 0; c < channels; c++) {
        var out = buffer.getChannelData(c);
        for (var i = 0; i < frames; i++) {
            var k = i * channels + c;
            // Byte by byte: the samples need not start on an even address.
            var value = bits == 8 ? (HEAPU8[pcm + k] - 128) / 128
                                  : (HEAP8[pcm + 2 * k + 1] * 256 + HEAPU8[pcm + 2 * k]) / 32768;
            for (var r = 0; r < repeat; r++)
                out[i * repeat + r] = value;
        }
    }
    var id = audio.samples.indexOf(null);
    if (id < 0) id = audio.samples.length;
    audio.samples[id] = buffer;
    return id;
});

EM_JS(void, WebAudioFreeSamples, (int id), {
    var audio = Module.quillmarshAudio;
    if (audio) audio.samples[id] = null;
});

EM_JS(void, WebAudioStop, (int voice), {
    var audio = Module.quillmarshAudio;
    var playing = audio && audio.voices[voice];
    if (!playing) return;
    delete audio.voices[voice];
    playing.source.onended = null;
    try {
        playing.source.stop();
    } catch (e) {
    }
    playing.source.disconnect();
});

EM_JS(int, WebAudioPlay, (int voice, int samples, double offset, int loop, double left, double right), {
    var audio = Module.quillmarshAudio;
    if (!audio || !audio.samples[samples]) return 0;
    var context = audio.context;
    var buffer = audio.samples[samples];
    var source = context.createBufferSource();
    source.buffer = buffer;
    source.loop = loop != 0;
    var leftGain = context.createGain(), rightGain = context.createGain();
    var merger = context.createChannelMerger(2);
    leftGain.gain.value = left;
    rightGain.gain.value = right;
    if (buffer.numberOfChannels == 2) {
        var splitter = context.createChannelSplitter(2);
        source.connect(splitter);
        splitter.connect(leftGain, 0);
        splitter.connect(rightGain, 1);
    } else {
        source.connect(leftGain);
        source.connect(rightGain);
    }
    leftGain.connect(merger, 0, 0);
    rightGain.connect(merger, 0, 1);
    merger.connect(audio.master);
    var playing = {source : source, left : leftGain, right : rightGain};
    source.onended = function() {
        if (audio.voices[voice] == playing) delete audio.voices[voice];
    };
    audio.voices[voice] = playing;
    source.start(0, Math.min(offset, buffer.duration));
    return 1;
});

EM_JS(void, WebAudioLevels, (int voice, double left, double right), {
    var audio = Module.quillmarshAudio;
    var playing = audio && audio.voices[voice];
    if (!playing) return;
    playing.left.gain.value = left;
    playing.right.gain.value = right;
});

EM_JS(int, WebAudioPlaying, (int voice), {
    var audio = Module.quillmarshAudio;
    return audio && audio.voices[voice] ? 1 : 0;
});

// Hundredths of a decibel of attenuation to a linear gain; -10000 and below is silence.
double Gain(int32_t hundredthsOfDecibel) {
    if (hundredthsOfDecibel <= -10000) return 0.0;
    return std::pow(10.0, hundredthsOfDecibel / 2000.0);
}

double LeftGain(const PlatformSoundBuffer* b) {
    return Gain(b->volume) * (b->pan > 0 ? Gain(-b->pan) : 1.0);
}

double RightGain(const PlatformSoundBuffer* b) {
    return Gain(b->volume) * (b->pan < 0 ? Gain(b->pan) : 1.0);
}

PlatformSoundBuffer* NewBuffer(PlatformSoundDevice* d, bool primary) {
    auto* b = new PlatformSoundBuffer{};
    b->device = d;
    b->primary = primary;
    b->voice = d->nextVoice++;
    d->buffers.push_back(b);
    return b;
}

void FreeBuffer(PlatformSoundBuffer* b) {
    PlatformSoundDevice* d = b->device;
    WebAudioStop(b->voice);
    if (b->samples && --b->samples->users == 0) {
        WebAudioFreeSamples(b->samples->id);
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
    const int rate = WebAudioOpen();
    if (rate <= 0) {
        NoteFailure("no sound device: this browser offers no Web Audio");
        return nullptr;
    }
    auto* d = new PlatformSoundDevice{};
    d->rate = static_cast<uint32_t>(rate);
    openDevice = d;
    return d;
}

bool PlatformAudioSetCooperativeLevel(PlatformSoundDevice* device, PlatformWindow, int32_t) {
    // A page shares the output with everything else; there is nothing to ask for.
    return device && !platformAudioFaults.refuseCooperativeLevel;
}

PlatformSoundBuffer* PlatformAudioCreatePrimary(PlatformSoundDevice* device) {
    if (!device || platformAudioFaults.refusePrimary) return nullptr;
    return NewBuffer(device, true);
}

bool PlatformAudioSetPrimaryFormat(PlatformSoundBuffer* primary, const PlatformPcmFormat& format) {
    if (!primary || !primary->primary) return false;
    // Kept for the record only: the browser mixes in float at its own rate.
    primary->format = format;
    return true;
}

bool PlatformAudioOutputFormat(PlatformSoundDevice* device, PlatformPcmFormat* format) {
    if (!device) return false;
    PlatformPcmFormat f{};
    f.formatTag = WAVE_FORMAT_PCM;
    f.channels = 2;
    f.samplesPerSec = device->rate;
    f.bitsPerSample = 16;
    f.blockAlign = 4;
    f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
    *format = f;
    return true;
}

PlatformSoundBuffer* PlatformAudioCreateBuffer(PlatformSoundDevice* device, const PlatformPcmFormat& format,
                                               const uint8_t* samples, uint32_t size) {
    if (!device || !samples || !PlatformAudioBufferAcceptable(format, size)) return nullptr;
    if (platformAudioFaults.refuseBuffer && device->buffersMade >= platformAudioFaults.buffersBeforeRefusal)
        return nullptr;
    // A partial frame at the end would not be heard.
    const uint32_t frames = size / format.blockAlign;
    const int id = WebAudioSamples(samples, static_cast<int>(frames), format.channels, format.bitsPerSample,
                                   static_cast<int>(format.samplesPerSec));
    if (id < 0) return nullptr;
    ++device->buffersMade;
    PlatformSoundBuffer* b = NewBuffer(device, false);
    b->format = format;
    b->samples = new SharedSamples{id, 1};
    return b;
}

PlatformSoundBuffer* PlatformAudioDuplicateBuffer(PlatformSoundDevice* device, PlatformSoundBuffer* source) {
    if (!device || !source || source->primary) return nullptr;
    if (platformAudioFaults.refuseDuplicate &&
        device->duplicatesMade >= platformAudioFaults.duplicatesBeforeRefusal)
        return nullptr;
    ++device->duplicatesMade;
    PlatformSoundBuffer* b = NewBuffer(device, false);
    b->format = source->format;
    b->samples = source->samples;
    ++b->samples->users;
    b->volume = source->volume;
    b->pan = source->pan;
    return b;
}

bool PlatformAudioStop(PlatformSoundBuffer* buffer) {
    if (!buffer || buffer->primary) return false;
    WebAudioStop(buffer->voice);
    return true;
}

bool PlatformAudioSetPosition(PlatformSoundBuffer* buffer, uint32_t bytePosition) {
    if (!buffer || buffer->primary) return false;
    buffer->position = bytePosition;
    return true;
}

bool PlatformAudioPlay(PlatformSoundBuffer* buffer, uint32_t flags) {
    if (!buffer || buffer->primary || !buffer->samples) return false;
    WebAudioStop(buffer->voice);
    const double offset =
        static_cast<double>(buffer->position / buffer->format.blockAlign) / buffer->format.samplesPerSec;
    return WebAudioPlay(buffer->voice, buffer->samples->id, offset, (flags & DSBPLAY_LOOPING) ? 1 : 0,
                        LeftGain(buffer), RightGain(buffer)) != 0;
}

bool PlatformAudioIsPlaying(PlatformSoundBuffer* buffer) {
    return buffer && !buffer->primary && WebAudioPlaying(buffer->voice) != 0;
}

bool PlatformAudioSetVolume(PlatformSoundBuffer* buffer, int32_t volume) {
    if (!buffer || buffer->primary || volume < -10000 || volume > 0) return false;
    buffer->volume = volume;
    WebAudioLevels(buffer->voice, LeftGain(buffer), RightGain(buffer));
    return true;
}

int32_t PlatformAudioGetVolume(PlatformSoundBuffer* buffer) {
    return buffer ? buffer->volume : 0;
}

bool PlatformAudioSetPan(PlatformSoundBuffer* buffer, int32_t pan) {
    if (!buffer || buffer->primary || pan < -10000 || pan > 10000) return false;
    buffer->pan = pan;
    WebAudioLevels(buffer->voice, LeftGain(buffer), RightGain(buffer));
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
    WebAudioClose();
    if (openDevice == device) openDevice = nullptr;
    delete device;
    return leaked;
}
