// Plays the game's sounds through the real sound device at set levels and pans, then checks a recording
// of what the sound server heard. Used by pulse_audio_test.sh with a PulseAudio null sink.
//   quillmarsh-pulse-play play               (from the build folder, SDL_AUDIODRIVER=pulseaudio)
//   quillmarsh-pulse-play check RECORDING    (raw signed 16-bit little-endian stereo at 44100 Hz)
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/failure.h"
#include "sound/sound_device.h"
#include "sound/sound_group.h"
#include "sound/wave_file.h"

namespace {
constexpr int RECORD_RATE = 44100;
constexpr uint32_t GAP_MS = 400; // silence between plays, so each is a burst of its own

// One play: which sound, at what volume and pan (the game's units).
struct Play {
    int32_t sound;
    int32_t volume;
    int32_t pan;
};
// Unequal steps on both sides, so a swapped side or a wrong law shows.
constexpr Play PLAYS[] = {
    {SND_PAUSE, 0, 0}, {SND_PAUSE, -600, 0}, {SND_PAUSE, 0, 2000}, {SND_PAUSE, 0, -1000}, {SND_CURSOR, 0, 0},
};
constexpr size_t PLAY_COUNT = sizeof PLAYS / sizeof PLAYS[0];

double Gain(int32_t hundredths) {
    return std::pow(10.0, hundredths / 2000.0);
}

bool Playing(const SoundGroup& group) {
    for (int32_t i = 0; group.buffers && i < group.count; ++i)
        if (PlatformAudioIsPlaying(group.buffers[i])) return true;
    return false;
}

int PlayAll() {
    if (!DS_Init(nullptr, 22050, 8, 1) || DSCreateBufferGroup(soundGroups, soundSources) != 1) {
        std::fprintf(stderr, "%s\n", FailureLine());
        return 1;
    }
    SDL_Delay(GAP_MS);
    for (const Play& p : PLAYS) {
        SoundGroup& group = soundGroups[p.sound];
        // Levels relative to the sound's own table volume, set on the copy that plays next.
        DSSetVolume(&group, group.next, soundSources[p.sound].volume + p.volume, 0);
        DSSetPan(&group, group.next, p.pan, 0);
        DSPlay(&group, 0);
        for (int waits = 0; waits < 1000 && Playing(group); ++waits)
            SDL_Delay(5);
        SDL_Delay(GAP_MS);
    }
    DS_Release();
    return 0;
}

// The peak of a sound file's first channel, -1..1 scale.
double FilePeak(const char* path) {
    WaveFile w{};
    if (!LoadWaveFile(path, &w)) return 0;
    double peak = 0;
    const uint32_t bytes = w.format.bitsPerSample / 8u;
    for (uint32_t at = 0; at + w.format.blockAlign <= w.size; at += w.format.blockAlign) {
        const double s = bytes == 1 ? (w.data[at] - 128) / 128.0
                                    : static_cast<int16_t>(w.data[at] | w.data[at + 1] << 8) / 32768.0;
        peak = std::max(peak, std::fabs(s));
    }
    FreeWaveFile(&w);
    return peak;
}

struct Burst {
    size_t first, last; // frames
    double left, right; // peaks
};

// Stretches of sound separated by at least a fifth of a second of near-silence.
std::vector<Burst> FindBursts(const std::vector<int16_t>& frames) {
    std::vector<Burst> bursts;
    const size_t count = frames.size() / 2;
    const size_t quiet = RECORD_RATE / 5;
    size_t lastLoud = 0;
    bool inBurst = false;
    for (size_t i = 0; i < count; ++i) {
        const double l = frames[2 * i] / 32768.0, r = frames[2 * i + 1] / 32768.0;
        const bool loud = std::fabs(l) > 0.01 || std::fabs(r) > 0.01;
        if (loud) {
            if (!inBurst || i - lastLoud > quiet) {
                bursts.push_back(Burst{i, i, 0, 0});
                inBurst = true;
            }
            lastLoud = i;
            bursts.back().last = i;
        }
        if (inBurst) {
            bursts.back().left = std::max(bursts.back().left, std::fabs(l));
            bursts.back().right = std::max(bursts.back().right, std::fabs(r));
        }
    }
    return bursts;
}

bool Near(const char* what, double got, double want, double tolerance) {
    const bool ok = std::fabs(got - want) <= tolerance;
    std::printf("  %-40s %.4f (expected %.4f +- %.4f) %s\n", what, got, want, tolerance, ok ? "ok" : "WRONG");
    return ok;
}

int Check(const char* recording) {
    std::ifstream in(recording, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<int16_t> frames(bytes.size() / 2);
    std::memcpy(frames.data(), bytes.data(), frames.size() * 2);
    const std::vector<Burst> bursts = FindBursts(frames);
    std::printf("recorded %.2f s, %zu bursts\n", static_cast<double>(frames.size() / 2) / RECORD_RATE,
                bursts.size());
    for (const Burst& b : bursts)
        std::printf("  at %.3f s for %.3f s: left %.4f right %.4f\n",
                    static_cast<double>(b.first) / RECORD_RATE,
                    static_cast<double>(b.last - b.first) / RECORD_RATE, b.left, b.right);
    if (bursts.size() != PLAY_COUNT) {
        std::printf("FAIL: %zu plays, %zu bursts heard\n", PLAY_COUNT, bursts.size());
        return 1;
    }
    bool ok = true;
    const double pause = FilePeak(soundSources[SND_PAUSE].path),
                 cursor = FilePeak(soundSources[SND_CURSOR].path);
    const Burst& full = bursts[0];
    // The server passes the game's mix on unchanged: the full-volume play is heard at the file's level.
    ok &= Near("full volume, left (file peak)", full.left, pause, 0.1 * pause);
    ok &= Near("full volume, right (file peak)", full.right, pause, 0.1 * pause);
    ok &= Near("volume -600, left / full", bursts[1].left / full.left, Gain(-600), 0.08 * Gain(-600));
    ok &= Near("volume -600, right / full", bursts[1].right / full.right, Gain(-600), 0.08 * Gain(-600));
    ok &= Near("pan 2000, right / full", bursts[2].right / full.right, 1.0, 0.05);
    ok &= Near("pan 2000, left / full", bursts[2].left / full.left, Gain(-2000),
               0.12 * Gain(-2000) + 1.0 / 255);
    ok &= Near("pan -1000, left / full", bursts[3].left / full.left, 1.0, 0.05);
    ok &= Near("pan -1000, right / full", bursts[3].right / full.right, Gain(-1000),
               0.12 * Gain(-1000) + 1.0 / 255);
    const double cursorLevel = cursor * Gain(soundSources[SND_CURSOR].volume);
    ok &= Near("cursor at its table volume, left", bursts[4].left, cursorLevel, 0.12 * cursorLevel);
    ok &= Near("cursor at its table volume, right", bursts[4].right, cursorLevel, 0.12 * cursorLevel);
    std::printf(ok ? "levels and pan: passed\n" : "FAIL: levels or pan\n");
    return ok ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "play") == 0) {
        const int result = PlayAll();
        SDL_Quit();
        return result;
    }
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) return Check(argv[2]);
    std::fprintf(stderr, "usage: %s play | check RECORDING\n", argv[0]);
    return 2;
}
