// The sound device's voices on Web Audio: every buffer's samples become one AudioBuffer shared by its
// duplicates, and each play is a new source through two gains, one per side, at the shared volume and pan
// law.
#include <emscripten.h>

#include "base/failure.h"
#include "platform/backend.h"

// The samples as the page holds them.
struct BackendSamples {
    int32_t id;
};

struct BackendVoice {
    int32_t id; // the page's record of what this buffer is playing
};

namespace {
uint32_t outputRate = 0;
int32_t nextVoice = 0;

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

} // namespace

bool BackendAudioOpen() {
    const int rate = WebAudioOpen();
    if (rate <= 0) {
        NoteFailure("no sound device: this browser offers no Web Audio");
        return false;
    }
    outputRate = static_cast<uint32_t>(rate);
    return true;
}

void BackendAudioClose() {
    WebAudioClose();
}

// A page shares the output with everything else, and the browser mixes in float at its own rate: nothing
// to ask for.
const BackendPrimaryCalls backendPrimaryCalls{};

bool BackendAudioOutputFormat(PlatformPcmFormat* format) {
    *format = PlatformMakePcmFormat(2, outputRate, 16);
    return true;
}

BackendSamples* BackendAudioLoadSamples(const PlatformPcmFormat& format, const uint8_t* samples,
                                        uint32_t size) {
    // A partial frame at the end would not be heard.
    const uint32_t frames = size / format.blockAlign;
    const int id = WebAudioSamples(samples, static_cast<int>(frames), format.channels, format.bitsPerSample,
                                   static_cast<int>(format.samplesPerSec));
    if (id < 0) return nullptr;
    return new BackendSamples{id};
}

void BackendAudioFreeSamples(BackendSamples* samples) {
    WebAudioFreeSamples(samples->id);
    delete samples;
}

BackendVoice* BackendAudioOpenVoice(const PlatformSoundBuffer&) {
    return new BackendVoice{nextVoice++};
}

void BackendAudioCloseVoice(BackendVoice* voice) {
    WebAudioStop(voice->id);
    delete voice;
}

bool BackendAudioPlay(const PlatformSoundBuffer& buffer, uint32_t flags) {
    WebAudioStop(buffer.voice->id);
    const double offset =
        static_cast<double>(buffer.position / buffer.format.blockAlign) / buffer.format.samplesPerSec;
    const PlatformSideGains gains = PlatformAudioSideGains(buffer.volume, buffer.pan);
    return WebAudioPlay(buffer.voice->id, buffer.samples->backend->id, offset,
                        (flags & DSBPLAY_LOOPING) ? 1 : 0, gains.left, gains.right) != 0;
}

void BackendAudioStop(BackendVoice* voice) {
    WebAudioStop(voice->id);
}

bool BackendAudioIsPlaying(BackendVoice* voice) {
    return WebAudioPlaying(voice->id) != 0;
}

void BackendAudioSetLevels(const PlatformSoundBuffer& buffer) {
    const PlatformSideGains gains = PlatformAudioSideGains(buffer.volume, buffer.pan);
    WebAudioLevels(buffer.voice->id, gains.left, gains.right);
}

void BackendAudioCalled(const PlatformAudioCall&) {}
