// The generated sounds: short, clean, unclipped, balanced, and accepted by the game's own reader.
#include "base/asset_paths.h"
#include "sound/wave_file.h"
#include "tests/tools/assets/temp_tree.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/make_assets.h"
#include "tools/assets/sounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace assets;

namespace {
double RmsDb(const std::vector<double>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += s[i] * s[i];
    return 10 * std::log10(sum / static_cast<double>(to - from));
}
} // namespace

TEST(AssetSounds, TheDoorsCreakIsNearlyAsLoudAsItsThud) {
    std::vector<double> door = MakeSound(1);
    const size_t thudAt = static_cast<size_t>(kDoorThudAt * kSoundRate);
    ASSERT_LT(thudAt, door.size());
    double creak = RmsDb(door, 0, thudAt), thud = RmsDb(door, thudAt, door.size());
    EXPECT_LE(thud - creak, 6.0) << creak << " dB creak, " << thud << " dB thud";
    EXPECT_GE(thud - creak, 0.0); // the door still ends on its loudest sound
    EXPECT_GT(creak, -24.0);
}

TEST(AssetSounds, AreShortCleanUnclippedAndAcceptedByTheGamesReader) {
    TempTree tree("sounds");
    for (int id = 0; id < kSoundCount; ++id) {
        SCOPED_TRACE(id);
        std::vector<double> s = MakeSound(id);
        ASSERT_GT(s.size(), 1000u);
        EXPECT_LT(s.size(), static_cast<size_t>(3 * kSoundRate));
        double peak = 0;
        for (double v : s)
            peak = std::max(peak, std::abs(v));
        EXPECT_LT(peak, 0.95); // the headroom the mix needs is checked on the files (sound_levels_test)
        EXPECT_GT(peak, 0.2);
        // Both ends at rest, so starting or cutting a copy does not click.
        EXPECT_LT(std::abs(s.front()), 0.01);
        EXPECT_LT(std::abs(s.back()), 0.01);

        std::string name = "s"; // appended in place: GCC 12 at -O3 warns falsely on "s" + number
        name += std::to_string(id);
        name += ".wav";
        std::string path = (tree.path / name).string();
        ASSERT_TRUE(WriteBytesToFile(path, EncodeWave(s, kSoundRate)));
        WaveFile wave{};
        ASSERT_TRUE(LoadWaveFile(path.c_str(), &wave));
        EXPECT_EQ(wave.format.formatTag, 1);
        EXPECT_EQ(wave.format.channels, 1);
        EXPECT_EQ(wave.format.samplesPerSec, 22050u);
        EXPECT_EQ(wave.size, s.size() * 2);
        FreeWaveFile(&wave);
    }
    EXPECT_TRUE(MakeSound(kSoundCount).empty());
}
