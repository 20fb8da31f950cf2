// The generated sounds' levels: each file keeps headroom, and two sounds the game plays together stay under
// full scale.
#include "game/stage_rules.h"
#include "sound/sound_group.h"
#include "sound/wave_file.h"
#include "tests/support/generated_assets.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Full scale of a 16-bit file, as a mixer reads it.
constexpr double kFullScale = 32768.0;

double Db(double linear) {
    return 20 * std::log10(linear);
}

// The largest sample magnitude of a 16-bit mono PCM file the game loads, as a fraction of full scale.
double PeakOf(const char* gamePath) {
    WaveFile wave{};
    if (!LoadWaveFile(gamePath, &wave)) {
        ADD_FAILURE() << gamePath << " does not load";
        return 0;
    }
    EXPECT_EQ(wave.format.bitsPerSample, 16) << gamePath;
    EXPECT_EQ(wave.format.channels, 1) << gamePath;
    int peak = 0;
    for (uint32_t i = 0; i + 1 < wave.size; i += 2) {
        const int16_t v = static_cast<int16_t>(wave.data[i] | (wave.data[i + 1] << 8));
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    FreeWaveFile(&wave);
    return peak / kFullScale;
}

bool IsAmbient(int id) {
    return id >= SND_SCREAM && id <= SND_HELP;
}

// The loudest a sound can be on either side of the mix. A volume of v hundredths of a decibel is a
// gain of 10^(v / 2000); pan only lowers the far side, so the near side keeps the volume's gain. The
// ambient cries take a fresh random volume before each play, so their loudest is the top of that draw;
// every other sound keeps the volume it was made with.
double LoudestGain(int id) {
    const int32_t volume = IsAmbient(id) ? AMBIENT_VOLUME_HIGHEST : soundSources[id].volume;
    return std::pow(10.0, volume / 2000.0);
}

} // namespace

TEST(SoundLevels, EveryGeneratedSoundPeaksAtLeastSixDecibelsUnderFullScale) {
    ScopedWorkDir dir;
    std::string error;
    ASSERT_TRUE(CopyGeneratedAssets(&error)) << error;
    const double ceiling = std::pow(10.0, -6.0 / 20); // so no sample is anywhere near full scale
    for (int id = 0; id < SND_COUNT; ++id) {
        const double peak = PeakOf(soundSources[id].path);
        EXPECT_GT(peak, 0.05) << soundSources[id].path << " is all but silent";
        EXPECT_LE(peak, ceiling) << soundSources[id].path << " peaks at " << Db(peak) << " dBFS";
    }
}

// Any two sounds that can sound at once, at the loudest the game plays them and at any offset from
// each other (one frame is 11 ms, and an opening's sound is still going when the seal is stepped on),
// add up to less than full scale: the sum of their peaks bounds every sample of the mix. The cursor
// sound is loaded but never played. A group of several copies can overlap itself, even starting on
// one frame (an open action that opens two slabs plays the opening sound twice).
TEST(SoundLevels, AnyTwoSoundsThatCanPlayTogetherStayUnderFullScale) {
    ScopedWorkDir dir;
    std::string error;
    ASSERT_TRUE(CopyGeneratedAssets(&error)) << error;
    double loudest[SND_COUNT];
    for (int id = 0; id < SND_COUNT; ++id)
        loudest[id] = PeakOf(soundSources[id].path) * LoudestGain(id);

    for (int a = 0; a < SND_COUNT; ++a) {
        if (a == SND_CURSOR) continue;
        for (int b = a; b < SND_COUNT; ++b) {
            if (b == SND_CURSOR || (b == a && soundSources[a].copies < 2)) continue;
            const double sum = loudest[a] + loudest[b];
            const std::string pair = std::string(soundSources[a].path) + " + " + soundSources[b].path;
            EXPECT_LT(sum, 1.0) << pair << " reach " << Db(sum) << " dBFS";
        }
    }
}
