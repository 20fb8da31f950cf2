// The game's sounds through the real SDL2_mixer backend, written to disk by SDL's disk audio driver and
// measured there: every sound heard at its level, silence at -10000, pan as a left/right difference.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/asset_paths.h"
#include "base/trace.h"
#include "platform/file.h"
#include "sound/sound_device.h"
#include "sound/sound_group.h"
#include "sound/wave_file.h"
#include "tests/sound/wave_bytes.h"

namespace fs = std::filesystem;
using namespace wavebytes;

namespace {
std::vector<std::string> traced;
void KeepTrace(const char* text) {
    traced.emplace_back(text);
}

// Peak levels (0..1) and the span of audible frames of one side or of a source file.
struct Level {
    double peak = 0;
    size_t first = 0, last = 0; // frames above 1% of the peak
    size_t Span() const { return last > first ? last - first : 0; }
};

Level Measure(const std::vector<double>& samples) {
    Level l;
    for (double s : samples)
        l.peak = std::max(l.peak, std::fabs(s));
    bool seen = false;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (l.peak > 0 && std::fabs(samples[i]) > 0.01 * l.peak) {
            if (!seen) l.first = i;
            seen = true;
            l.last = i;
        }
    }
    return l;
}

// A source file's first channel as -1..1.
std::vector<double> SourceSamples(const char* path, uint32_t* rate) {
    WaveFile w{};
    if (!LoadWaveFile(path, &w)) return {};
    std::vector<double> out;
    const uint32_t bytes = w.format.bitsPerSample / 8u;
    for (uint32_t at = 0; at + w.format.blockAlign <= w.size; at += w.format.blockAlign) {
        if (bytes == 1) {
            out.push_back((w.data[at] - 128) / 128.0);
        } else {
            out.push_back(static_cast<int16_t>(w.data[at] | w.data[at + 1] << 8) / 32768.0);
        }
    }
    *rate = w.format.samplesPerSec;
    FreeWaveFile(&w);
    return out;
}

struct Capture {
    std::vector<double> left, right;
    uint32_t rate = 0;
};

class SdlAudioTest : public testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        work = fs::temp_directory_path() / ("quillmarsh-sdl-audio-" + std::to_string(getpid()));
        fs::remove_all(work);
        fs::create_directories(work / "wave");
        // The game's own asset tree beside the tests when the asset tool has laid it out, else tones of our
        // own.
        bool haveAssets = true;
        for (const SoundSource& s : soundSources)
            haveAssets = haveAssets && fs::exists(PlatformNativePath(s.path));
        if (haveAssets) {
            for (const SoundSource& s : soundSources)
                fs::copy_file(PlatformNativePath(s.path), work / PlatformNativePath(s.path));
        }
        fs::current_path(work);
        if (!haveAssets) WriteTones();
        RecordProperty("sounds", haveAssets ? "asset tree" : "synthesised tones");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        // Unpaced but not spinning: about 20 times faster than real time.
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        traced.clear();
        SetTraceSink(KeepTrace);
        std::memset(soundGroups, 0, sizeof soundGroups);
    }

    void TearDown() override {
        DS_Release();
        SetTraceSink(nullptr);
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::error_code ignored;
        fs::current_path(previous, ignored);
        fs::remove_all(work, ignored);
    }

    // Tones in the formats a WAV file may have, each through a different conversion.
    static void WriteTones() {
        for (int32_t id = 0; id < SND_COUNT; ++id) {
            const double hz = 220.0 + 40.0 * id;
            std::vector<uint8_t> file;
            switch (id % 4) {
            case 0:
                file = Wave(1, 22050, 8, Tone(1, 22050, 8, 0.25, hz, 0.5));
                break;
            case 1:
                file = Wave(2, 44100, 16, Tone(2, 44100, 16, 0.25, hz, 0.5));
                break;
            case 2:
                file = Wave(1, 11025, 16, Tone(1, 11025, 16, 0.25, hz, 0.5));
                break;
            default:
                file = Wave(2, 8000, 8, Tone(2, 8000, 8, 0.25, hz, 0.5));
                break;
            }
            std::ofstream(PlatformNativePath(soundSources[id].path), std::ios::binary)
                .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        }
    }

    // Opens the device onto a fresh output file, creates the sound table, runs the scene, waits until
    // every buffer has played out, closes the device and reads back what was written.
    Capture Run(const std::function<void()>& scene) {
        const std::string out = (work / ("out" + std::to_string(++runs) + ".raw")).string();
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
        Capture c;
        if (!DS_Init(nullptr, 22050, 8, 1)) {
            ADD_FAILURE() << "DS_Init failed";
            return c;
        }
        EXPECT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
        PlatformPcmFormat output{};
        EXPECT_TRUE(PlatformAudioOutputFormat(soundDevice, &output));
        EXPECT_EQ(output.channels, 2);
        EXPECT_EQ(output.bitsPerSample, 16);
        c.rate = output.samplesPerSec;
        scene();
        for (int waits = 0; waits < 2000 && Playing(); ++waits)
            SDL_Delay(5);
        EXPECT_FALSE(Playing()) << "still playing after 10 s";
        SDL_Delay(30); // let the last mixed blocks reach the file
        DS_Release();
        std::ifstream in(out, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (size_t at = 0; at + 4 <= bytes.size(); at += 4) {
            int16_t l, r;
            std::memcpy(&l, &bytes[at], 2);
            std::memcpy(&r, &bytes[at + 2], 2);
            c.left.push_back(l / 32768.0);
            c.right.push_back(r / 32768.0);
        }
        return c;
    }

    static bool Playing() {
        for (const SoundGroup& g : soundGroups)
            for (int32_t i = 0; g.buffers && i < g.count; ++i)
                if (PlatformAudioIsPlaying(g.buffers[i])) return true;
        return false;
    }

    fs::path previous, work;
    int runs = 0;
};

double Gain(int32_t hundredths) {
    return std::pow(10.0, hundredths / 2000.0);
}

TEST_F(SdlAudioTest, EverySoundIsHeardAtItsLevelAndLength) {
    for (int32_t id = 0; id < SND_COUNT; ++id) {
        SCOPED_TRACE(soundSources[id].path);
        uint32_t sourceRate = 0;
        const Level source = Measure(SourceSamples(soundSources[id].path, &sourceRate));
        ASSERT_GT(source.peak, 0.05);
        const Capture c = Run([id] { DSPlay(&soundGroups[id], 0); });
        const Level left = Measure(c.left), right = Measure(c.right);
        const double expected = source.peak * Gain(soundSources[id].volume);
        EXPECT_NEAR(left.peak, expected, 0.12 * expected);
        EXPECT_NEAR(right.peak, expected, 0.12 * expected);
        // As long as the file says, at the output's rate.
        const double seconds = static_cast<double>(source.Span()) / sourceRate;
        EXPECT_NEAR(static_cast<double>(left.Span()) / c.rate, seconds, 0.02 * seconds + 0.005);
        std::printf("  %-28s peak %.3f (file %.3f, volume %d) left/right %.3f/%.3f, %.3f s\n",
                    soundSources[id].path, left.peak, source.peak, soundSources[id].volume, left.peak,
                    right.peak, static_cast<double>(left.Span()) / c.rate);
    }
    EXPECT_TRUE(traced.empty());
}

TEST_F(SdlAudioTest, MinimumVolumeIsSilenceAndTheLawHoldsBetween) {
    const Capture silent = Run([] {
        for (int32_t i = 0; i < soundGroups[SND_OPEN].count; ++i)
            DSSetVolume(&soundGroups[SND_OPEN], i, -10000, 0);
        DSPlay(&soundGroups[SND_OPEN], 0);
        DSPlay(&soundGroups[SND_OPEN], 0);
    });
    ASSERT_FALSE(silent.left.empty());
    EXPECT_EQ(Measure(silent.left).peak, 0.0);
    EXPECT_EQ(Measure(silent.right).peak, 0.0);

    const Capture full = Run([] { DSPlay(&soundGroups[SND_DOOR], 0); });
    for (int32_t volume : {-600, -2000}) {
        SCOPED_TRACE(volume);
        const Capture quiet = Run([volume] {
            DSSetVolume(&soundGroups[SND_DOOR], 0, volume, 0);
            DSPlay(&soundGroups[SND_DOOR], 0);
        });
        const double ratio = Measure(quiet.left).peak / Measure(full.left).peak;
        EXPECT_NEAR(ratio, Gain(volume), 0.1 * Gain(volume));
        std::printf("  volume %d: level ratio %.4f (law %.4f)\n", volume, ratio, Gain(volume));
    }
}

TEST_F(SdlAudioTest, PanAttenuatesTheOtherSide) {
    for (int32_t pan : {2000, -2000, 5000}) {
        SCOPED_TRACE(pan);
        const Capture c = Run([pan] {
            DSSetPan(&soundGroups[SND_SCREAM], soundGroups[SND_SCREAM].next, pan, 0);
            DSPlay(&soundGroups[SND_SCREAM], 0);
        });
        const double left = Measure(c.left).peak, right = Measure(c.right).peak;
        const double near = pan > 0 ? right : left, far = pan > 0 ? left : right;
        ASSERT_GT(near, 0.05);
        EXPECT_NEAR(far / near, Gain(-std::abs(pan)), 0.15 * Gain(-std::abs(pan)) + 1.0 / 255);
        std::printf("  pan %d: left %.4f right %.4f (far/near %.4f, law %.4f)\n", pan, left, right,
                    far / near, Gain(-std::abs(pan)));
    }
}

TEST_F(SdlAudioTest, EachCopyIsAChannelOfItsOwn) {
    // Three copies started together add up; a fourth play restarts the first instead of adding a fourth.
    const std::vector<uint8_t> file = Wave(1, 22050, 16, Tone(1, 22050, 16, 0.2, 300, 0.2));
    std::ofstream("wave/quiet.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    auto playQuiet = [](int plays) {
        SoundGroup group{};
        ASSERT_TRUE(DSCreateBufferGropeFromFile(&group, "wave\\quiet.wav", 3, 0));
        for (int i = 0; i < plays; ++i)
            DSPlay(&group, 0);
        for (int waits = 0; waits < 2000 && PlatformAudioIsPlaying(group.buffers[0]); ++waits)
            SDL_Delay(5);
        DSReleaseBufferGroup(&group); // before the device, as at shut-down
    };
    const Capture one = Run([&] { playQuiet(1); });
    const Capture four = Run([&] { playQuiet(4); });
    const double ratio = Measure(four.left).peak / Measure(one.left).peak;
    EXPECT_NEAR(ratio, 3.0, 0.3);
    std::printf("  four plays of a group of three: %.2f times one\n", ratio);
}

TEST_F(SdlAudioTest, WithoutAnAudioDeviceInitFailsQuietly) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_EQ(soundDevice, nullptr);
    EXPECT_EQ(traced, std::vector<std::string>{"DIRECTSOUNDCREATE_ERR!"});
    // Nothing else needs the device: the table is created as nothing, and release does nothing.
    EXPECT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
    DS_Release();

    // The dummy driver plays in silence, which is enough to run the game.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
    DSPlay(&soundGroups[SND_PAUSE], 0);
    EXPECT_TRUE(PlatformAudioIsPlaying(soundGroups[SND_PAUSE].buffers[0]));
    DS_Release();
    EXPECT_EQ(soundDevice, nullptr);
}
} // namespace
