// The WAV reader: which files it takes, which it refuses, and that damaged ones are refused safely.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sound/wave_file.h"
#include "tests/sound/wave_bytes.h"
#include "tests/support/test_files.h"

using namespace wavebytes;

namespace {
const std::vector<uint8_t> kSamples = {1, 2, 3, 4, 5, 6, 7, 8};

class WaveFileTest : public testing::Test {
  protected:
    ScopedWorkDir dir;

    // Writes the bytes as "wave\test.wav" and loads them back.
    bool Load(const std::vector<uint8_t>& bytes) {
        WriteFileBytes("wave\\test.wav", bytes);
        FreeWaveFile(&wave);
        wave = WaveFile{};
        return LoadWaveFile("wave\\test.wav", &wave);
    }

    std::vector<uint8_t> Data() const { return std::vector<uint8_t>(wave.data, wave.data + wave.size); }

    void TearDown() override { FreeWaveFile(&wave); }

    WaveFile wave{};
};

TEST_F(WaveFileTest, LoadsSixteenAndEighteenByteFormatChunks) {
    ASSERT_TRUE(Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8, 16)), Chunk("data", kSamples)})));
    EXPECT_EQ(wave.format.formatTag, 1);
    EXPECT_EQ(wave.format.channels, 1);
    EXPECT_EQ(wave.format.samplesPerSec, 22050u);
    EXPECT_EQ(wave.format.avgBytesPerSec, 22050u);
    EXPECT_EQ(wave.format.blockAlign, 1);
    EXPECT_EQ(wave.format.bitsPerSample, 8);
    EXPECT_EQ(Data(), kSamples);

    std::vector<uint8_t> eighteen = FormatBody(1, 2, 11025, 16, 18);
    eighteen[16] = 0x34; // the extra size is copied as stored, though PCM has no use for it
    ASSERT_TRUE(Load(Riff({Chunk("fmt ", eighteen), Chunk("data", kSamples)})));
    EXPECT_EQ(wave.format.channels, 2);
    EXPECT_EQ(wave.format.blockAlign, 4);
    EXPECT_EQ(wave.format.extraSize, 0x34);
    EXPECT_EQ(Data(), kSamples);
}

TEST_F(WaveFileTest, RefusesLongFormatChunksAndOtherTags) {
    // The extensible block (40 bytes) is refused even when its tag says PCM.
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", FormatBody(0xFFFE, 2, 44100, 16, 40)), Chunk("data", kSamples)})));
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", FormatBody(1, 2, 44100, 16, 40)), Chunk("data", kSamples)})));
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8, 20)), Chunk("data", kSamples)})));
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", FormatBody(3, 1, 22050, 32, 18)), Chunk("data", kSamples)})));
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", FormatBody(7, 1, 8000, 8, 18)), Chunk("data", kSamples)})));
    // A chunk too short to hold a tag has no PCM tag either.
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", {}), Chunk("data", kSamples)})));
}

TEST_F(WaveFileTest, SkipsOtherChunksAndKeepsWordAlignment) {
    const std::vector<uint8_t> odd = {'a', 'b', 'c'}; // odd length: one pad byte follows
    ASSERT_TRUE(Load(Riff({Chunk("JUNK", odd), Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("LIST", odd),
                           Chunk("fact", {4, 0, 0, 0}), Chunk("data", kSamples)})));
    EXPECT_EQ(Data(), kSamples);

    // An odd-sized "data" chunk is taken whole, without its pad byte.
    const std::vector<uint8_t> five = {9, 8, 7, 6, 5};
    ASSERT_TRUE(Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", five)})));
    EXPECT_EQ(Data(), five);
}

TEST_F(WaveFileTest, DataCountsOnlyAfterFormat) {
    EXPECT_FALSE(Load(Riff({Chunk("data", kSamples), Chunk("fmt ", FormatBody(1, 1, 22050, 8))})));
    // A "data" before "fmt " is stepped over like any other chunk; the one after it is the samples.
    const std::vector<uint8_t> later = {42, 43, 44, 45};
    ASSERT_TRUE(Load(
        Riff({Chunk("data", kSamples), Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", later)})));
    EXPECT_EQ(Data(), later);
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8))})));
}

TEST_F(WaveFileTest, LoadsSixteenBitStereoInItsOwnFormat) {
    const std::vector<uint8_t> samples = Tone(2, 44100, 16, 0.01, 1000, 0.5);
    ASSERT_TRUE(Load(Wave(2, 44100, 16, samples)));
    EXPECT_EQ(wave.format.channels, 2);
    EXPECT_EQ(wave.format.samplesPerSec, 44100u);
    EXPECT_EQ(wave.format.bitsPerSample, 16);
    EXPECT_EQ(wave.format.blockAlign, 4);
    EXPECT_EQ(wave.format.avgBytesPerSec, 176400u);
    EXPECT_EQ(wave.size, samples.size());
    EXPECT_EQ(Data(), samples);
}

TEST_F(WaveFileTest, FindsTheWaveFormPastOtherTopLevelChunks) {
    std::vector<uint8_t> bytes = Chunk("JUNK", {1, 2, 3});
    const std::vector<uint8_t> other = Riff({Chunk("data", {0, 0})}, -1, "AVI ");
    bytes.insert(bytes.end(), other.begin(), other.end());
    const std::vector<uint8_t> good = Wave(1, 22050, 8, kSamples);
    bytes.insert(bytes.end(), good.begin(), good.end());
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(Data(), kSamples);
    EXPECT_FALSE(
        Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", kSamples)}, -1, "AVI ")));
}

TEST_F(WaveFileTest, RefusesDamagedFilesWithoutReadingPastTheEnd) {
    const std::vector<uint8_t> good = Wave(1, 22050, 8, kSamples);
    // Missing, empty, and every cut of a good file short of its last byte.
    WaveFile none{};
    EXPECT_FALSE(LoadWaveFile("wave\\nothing.wav", &none));
    EXPECT_FALSE(Load({}));
    for (size_t cut = 1; cut < good.size(); ++cut)
        EXPECT_FALSE(
            Load(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut))))
            << "cut at " << cut;
    ASSERT_TRUE(Load(good));

    // "data" claims more than the file holds, by a little and by nearly 4 GB (never allocated).
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", kSamples, true, 9)})));
    EXPECT_FALSE(
        Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", kSamples, true, 0xFFFFFFF0)})));
    // A skipped chunk or the RIFF chunk itself runs past the end.
    EXPECT_FALSE(Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)),
                            Chunk("LIST", {1, 2}, true, 0x7FFFFFFF), Chunk("data", kSamples)})));
    EXPECT_FALSE(
        Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", kSamples)}, 0xFFFFFFF0)));
    // "data" lies in the file but outside the RIFF chunk.
    std::vector<uint8_t> outside = Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8))});
    const std::vector<uint8_t> data = Chunk("data", kSamples);
    outside.insert(outside.end(), data.begin(), data.end());
    EXPECT_FALSE(Load(outside));
    // "data" starts inside the RIFF chunk but ends beyond it, though not beyond the file.
    std::vector<uint8_t> straddling =
        Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", {1, 2, 3, 4})});
    straddling[4] = static_cast<uint8_t>(straddling[4] - 4); // the RIFF size stops 4 bytes short
    straddling[straddling.size() - 8] = 12; // the "data" size: 12 bytes where 4 are left in the RIFF chunk
    for (int i = 0; i < 8; ++i)
        straddling.push_back(0x80);
    EXPECT_FALSE(Load(straddling));
    // Not RIFF at all.
    std::vector<uint8_t> rifx = good;
    rifx[3] = 'X';
    EXPECT_FALSE(Load(rifx));
}

TEST_F(WaveFileTest, EmptyDataLoadsAsNoSamplesAndFreeForgetsThem) {
    ASSERT_TRUE(Load(Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", {})})));
    EXPECT_EQ(wave.size, 0u);
    EXPECT_EQ(wave.data, nullptr);

    ASSERT_TRUE(Load(Wave(1, 22050, 8, kSamples)));
    ASSERT_NE(wave.data, nullptr);
    FreeWaveFile(&wave);
    EXPECT_EQ(wave.data, nullptr);
    FreeWaveFile(&wave); // a second free finds nothing to release
}

// Files written by sox, the format and samples checked against sox's own raw rendering of them.
struct SoxCase {
    const char* options;
    bool accepted;
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
};

TEST_F(WaveFileTest, ReadsFilesWrittenBySox) {
    if (std::system("sox --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
    const SoxCase cases[] = {
        {"-r 22050 -b 8 -c 1 -e unsigned-integer", true, 1, 22050, 8}, // odd-sized data, padded
        {"-r 44100 -b 16 -c 2 -e signed-integer", true, 2, 44100, 16},
        {"-r 11025 -b 16 -c 1 -e signed-integer", true, 1, 11025, 16},
        {"-r 8000 -b 8 -c 2 -e unsigned-integer", true, 2, 8000, 8},
        {"-r 8000 -b 24 -c 1 -e signed-integer", false, 0, 0, 0}, // extensible "fmt " of 40 bytes
        {"-r 8000 -e u-law -c 1", false, 0, 0, 0},                // 18 bytes, tag 7
        {"-r 8000 -e ima-adpcm -c 1", false, 0, 0, 0},            // 20 bytes
        {"-r 8000 -b 32 -e floating-point -c 1", false, 0, 0, 0}, // tag 3
    };
    for (const SoxCase& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string made =
            std::string("sox -n ") + c.options +
            " --comment \"Quillmarsh\" wave/sox.wav synth 0.0503 sine 300-900 2> /dev/null";
        ASSERT_EQ(std::system(("mkdir -p wave && " + made).c_str()), 0);
        WaveFile w{};
        ASSERT_EQ(LoadWaveFile("wave\\sox.wav", &w), c.accepted);
        if (!c.accepted) continue;
        EXPECT_EQ(w.format.channels, c.channels);
        EXPECT_EQ(w.format.samplesPerSec, c.rate);
        EXPECT_EQ(w.format.bitsPerSample, c.bits);
        ASSERT_EQ(std::system("sox wave/sox.wav -t raw sox.raw"), 0);
        std::ifstream raw("sox.raw", std::ios::binary);
        const std::vector<uint8_t> expected{std::istreambuf_iterator<char>(raw),
                                            std::istreambuf_iterator<char>()};
        EXPECT_EQ(std::vector<uint8_t>(w.data, w.data + w.size), expected);
        EXPECT_EQ(w.size % w.format.blockAlign, 0u);
        FreeWaveFile(&w);
    }
}
} // namespace
