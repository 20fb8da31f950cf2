// The shared sound layer's own rules, on the recording backend: what it refuses, its faults, the sharing
// of samples among duplicates, what a released device leaves, and the volume and pan law.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/headless/headless_audio.h"

namespace {
PlatformPcmFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
    const auto align = static_cast<uint16_t>(channels * bits / 8);
    return PlatformPcmFormat{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits};
}

class AudioLayerTest : public testing::Test {
  protected:
    void SetUp() override {
        HeadlessAudioReset();
        device = PlatformAudioCreateDevice();
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override { HeadlessAudioReset(); }

    PlatformSoundBuffer* Make(const PlatformPcmFormat& format, uint32_t size) {
        return PlatformAudioCreateBuffer(device, format, samples.data(), size);
    }
    PlatformSoundBuffer* Mono8(uint32_t size = 16) { return Make(Pcm(1, 22050, 8), size); }

    PlatformSoundDevice* device = nullptr;
    // Distinct bytes, so a copy made from the wrong place shows.
    std::vector<uint8_t> samples = [] {
        std::vector<uint8_t> bytes(64);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<uint8_t>(7 + 3 * i);
        return bytes;
    }();
};

TEST_F(AudioLayerTest, OneDeviceAtATimeAndNoCallsOnAnotherOrAClosedOne) {
    EXPECT_EQ(PlatformAudioCreateDevice(), nullptr);
    PlatformSoundDevice* foreign = reinterpret_cast<PlatformSoundDevice*>(&samples);
    EXPECT_FALSE(PlatformAudioSetCooperativeLevel(foreign, nullptr, DSSCL_PRIORITY));
    EXPECT_EQ(PlatformAudioCreatePrimary(nullptr), nullptr);
    EXPECT_EQ(PlatformAudioCreateBuffer(foreign, Pcm(1, 22050, 8), samples.data(), 16), nullptr);
    EXPECT_EQ(HeadlessAudioMisuses(), 3);
    EXPECT_EQ(PlatformAudioReleaseDevice(foreign), 0);
    EXPECT_TRUE(HeadlessAudioDeviceOpen());

    EXPECT_TRUE(PlatformAudioSetCooperativeLevel(device, nullptr, DSSCL_PRIORITY));
    EXPECT_EQ(PlatformAudioReleaseDevice(device), 0);
    EXPECT_FALSE(HeadlessAudioDeviceOpen());
    // The old pointer is the device no more; a new device may be opened.
    const int32_t misuses = HeadlessAudioMisuses();
    EXPECT_FALSE(PlatformAudioSetCooperativeLevel(device, nullptr, DSSCL_PRIORITY));
    EXPECT_EQ(Mono8(), nullptr);
    EXPECT_EQ(HeadlessAudioMisuses(), misuses + 2);
    device = PlatformAudioCreateDevice();
    EXPECT_NE(device, nullptr);
}

TEST_F(AudioLayerTest, BufferFormatsOnBothSidesOfEveryLimit) {
    struct Case {
        PlatformPcmFormat format;
        uint32_t size;
        bool accepted;
    };
    PlatformPcmFormat notPcm = Pcm(1, 22050, 8);
    notPcm.formatTag = 3;
    PlatformPcmFormat misaligned = Pcm(2, 22050, 16);
    misaligned.blockAlign = 2;
    const Case cases[] = {
        {Pcm(1, 22050, 8), 16, true},
        {Pcm(2, 44100, 16), 16, true},
        {notPcm, 16, false},
        {Pcm(0, 22050, 8), 16, false},
        {Pcm(3, 22050, 8), 15, false},
        {Pcm(1, 22050, 12), 16, false},
        {Pcm(1, 22050, 24), 15, false},
        {Pcm(1, 99, 8), 16, false},
        {Pcm(1, 100, 8), 16, true},
        {Pcm(1, 200000, 8), 16, true},
        {Pcm(1, 200001, 8), 16, false},
        {misaligned, 16, false},
        {Pcm(1, 22050, 8), 3, false},
        {Pcm(1, 22050, 8), 4, true},
        {Pcm(1, 22050, 8), DSBSIZE_MAX + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.format.formatTag << " " << c.format.channels << " ch " << c.format.samplesPerSec
                     << " Hz " << c.format.bitsPerSample << " bits align " << c.format.blockAlign << ", "
                     << c.size << " bytes");
        PlatformSoundBuffer* b = Make(c.format, c.size);
        EXPECT_EQ(b != nullptr, c.accepted);
        if (b) {
            const HeadlessAudioBufferState state = HeadlessAudioBuffer(HeadlessAudioBufferId(b));
            EXPECT_EQ(std::vector<uint8_t>(state.samples, state.samples + state.size),
                      std::vector<uint8_t>(samples.begin(), samples.begin() + c.size));
            EXPECT_EQ(state.format.channels, c.format.channels);
            EXPECT_EQ(state.format.samplesPerSec, c.format.samplesPerSec);
        }
    }
    EXPECT_EQ(PlatformAudioCreateBuffer(device, Pcm(1, 22050, 8), nullptr, 16), nullptr);
    // Refusals are the caller's data, not misuse.
    EXPECT_EQ(HeadlessAudioMisuses(), 0);
    EXPECT_EQ(HeadlessAudioHeldSamples(), 5);
}

TEST_F(AudioLayerTest, FaultsRefuseEachStepAndCountFromTheDevicesOpening) {
    platformAudioFaults.refuseCooperativeLevel = true;
    platformAudioFaults.refusePrimary = true;
    EXPECT_FALSE(PlatformAudioSetCooperativeLevel(device, nullptr, DSSCL_PRIORITY));
    EXPECT_EQ(PlatformAudioCreatePrimary(device), nullptr);

    // Two buffers and one duplicate are allowed, then each is refused.
    platformAudioFaults.refuseBuffer = true;
    platformAudioFaults.buffersBeforeRefusal = 2;
    platformAudioFaults.refuseDuplicate = true;
    platformAudioFaults.duplicatesBeforeRefusal = 1;
    PlatformSoundBuffer* first = Mono8();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(PlatformAudioDuplicateBuffer(device, first), nullptr);
    EXPECT_EQ(PlatformAudioDuplicateBuffer(device, first), nullptr);
    EXPECT_NE(Mono8(), nullptr);
    EXPECT_EQ(Mono8(), nullptr);
    EXPECT_EQ(HeadlessAudioBufferCount(), 3);
    // A refused buffer holds nothing.
    EXPECT_EQ(HeadlessAudioHeldSamples(), 2);

    // A new device counts again from nothing.
    EXPECT_EQ(PlatformAudioReleaseDevice(device), 3);
    device = PlatformAudioCreateDevice();
    ASSERT_NE(device, nullptr);
    PlatformSoundBuffer* again = Mono8();
    EXPECT_NE(again, nullptr);
    EXPECT_NE(PlatformAudioDuplicateBuffer(device, again), nullptr);
    EXPECT_NE(Mono8(), nullptr);
    EXPECT_EQ(Mono8(), nullptr);

    PlatformAudioReleaseDevice(device);
    platformAudioFaults.refuseDevice = true;
    EXPECT_EQ(PlatformAudioCreateDevice(), nullptr);
    EXPECT_FALSE(HeadlessAudioDeviceOpen());
}

TEST_F(AudioLayerTest, ThePrimaryBufferOnlyCarriesTheFormat) {
    PlatformSoundBuffer* primary = PlatformAudioCreatePrimary(device);
    ASSERT_NE(primary, nullptr);
    PlatformSoundBuffer* secondary = Mono8();
    const PlatformPcmFormat asked = Pcm(2, 11025, 16);
    EXPECT_FALSE(PlatformAudioSetPrimaryFormat(secondary, asked));
    EXPECT_TRUE(PlatformAudioSetPrimaryFormat(primary, asked));
    PlatformPcmFormat output{};
    EXPECT_FALSE(PlatformAudioOutputFormat(nullptr, &output));
    ASSERT_TRUE(PlatformAudioOutputFormat(device, &output));
    EXPECT_EQ(output.samplesPerSec, 11025u);
    EXPECT_EQ(output.blockAlign, 4);

    EXPECT_FALSE(PlatformAudioSetPosition(primary, 0));
    EXPECT_FALSE(PlatformAudioPlay(primary, 0));
    EXPECT_FALSE(PlatformAudioIsPlaying(primary));
    EXPECT_EQ(PlatformAudioDuplicateBuffer(device, primary), nullptr);
    EXPECT_TRUE(PlatformAudioPlay(secondary, 0));
    EXPECT_TRUE(PlatformAudioIsPlaying(secondary));
    EXPECT_EQ(HeadlessAudioMisuses(), 0);
}

TEST_F(AudioLayerTest, PositionVolumeAndPanOnBothSidesOfTheirRanges) {
    PlatformSoundBuffer* b = Mono8(20);
    ASSERT_NE(b, nullptr);
    const int32_t id = HeadlessAudioBufferId(b);
    EXPECT_TRUE(PlatformAudioSetPosition(b, 20));
    EXPECT_FALSE(PlatformAudioSetPosition(b, 21));
    EXPECT_EQ(HeadlessAudioBuffer(id).position, 20u);

    struct Step {
        int32_t value;
        bool accepted;
        int32_t after;
    };
    for (const Step& s : {Step{-10001, false, 0}, Step{-10000, true, -10000}, Step{-2345, true, -2345},
                          Step{1, false, -2345}, Step{0, true, 0}}) {
        SCOPED_TRACE(s.value);
        EXPECT_EQ(PlatformAudioSetVolume(b, s.value), s.accepted);
        EXPECT_EQ(PlatformAudioGetVolume(b), s.after);
    }
    for (const Step& s : {Step{10001, false, 0}, Step{10000, true, 10000}, Step{-10001, false, 10000},
                          Step{-10000, true, -10000}, Step{1234, true, 1234}}) {
        SCOPED_TRACE(s.value);
        EXPECT_EQ(PlatformAudioSetPan(b, s.value), s.accepted);
        EXPECT_EQ(PlatformAudioGetPan(b), s.after);
    }
    // The volume and pan stayed apart.
    EXPECT_EQ(HeadlessAudioBuffer(id).volume, 0);
    EXPECT_EQ(HeadlessAudioBuffer(id).pan, 1234);
}

TEST_F(AudioLayerTest, DuplicatesShareTheSamplesUntilTheLastOfThemGoes) {
    PlatformSoundBuffer* original = Mono8(24);
    ASSERT_NE(original, nullptr);
    PlatformAudioSetVolume(original, -700);
    PlatformAudioSetPan(original, -300);
    PlatformAudioSetPosition(original, 12);
    PlatformSoundBuffer* copy = PlatformAudioDuplicateBuffer(device, original);
    ASSERT_NE(copy, nullptr);
    const HeadlessAudioBufferState state = HeadlessAudioBuffer(HeadlessAudioBufferId(copy));
    EXPECT_EQ(state.source, HeadlessAudioBufferId(original));
    EXPECT_EQ(state.volume, -700);
    EXPECT_EQ(state.pan, -300);
    EXPECT_EQ(state.position, 0u); // its own position
    EXPECT_EQ(state.size, 24u);
    EXPECT_EQ(state.samples, HeadlessAudioBuffer(HeadlessAudioBufferId(original)).samples);
    EXPECT_EQ(HeadlessAudioHeldSamples(), 1);

    // The original goes first: the copy keeps playing its samples.
    PlatformAudioReleaseBuffer(original);
    EXPECT_EQ(HeadlessAudioHeldSamples(), 1);
    EXPECT_TRUE(PlatformAudioPlay(copy, DSBPLAY_LOOPING));
    EXPECT_EQ(HeadlessAudioBuffer(HeadlessAudioBufferId(copy)).samples[5], samples[5]);
    // A released buffer cannot be used or copied again.
    EXPECT_EQ(PlatformAudioDuplicateBuffer(device, original), nullptr);
    EXPECT_FALSE(PlatformAudioPlay(original, 0));
    EXPECT_EQ(PlatformAudioGetVolume(original), 0);
    EXPECT_EQ(HeadlessAudioMisuses(), 3);

    PlatformAudioReleaseBuffer(copy);
    EXPECT_EQ(HeadlessAudioHeldSamples(), 0);
    EXPECT_EQ(HeadlessAudioLiveBuffers(), 0);
}

TEST_F(AudioLayerTest, ReleasingTheDeviceCountsAndReleasesWhatWasLeft) {
    PlatformSoundBuffer* primary = PlatformAudioCreatePrimary(device);
    PlatformSoundBuffer* a = Mono8();
    PlatformSoundBuffer* b = PlatformAudioDuplicateBuffer(device, a);
    PlatformSoundBuffer* c = Mono8();
    PlatformAudioReleaseBuffer(c);
    PlatformAudioPlay(b, 0);
    EXPECT_EQ(PlatformAudioReleaseDevice(device), 3); // primary, a and b
    EXPECT_EQ(HeadlessAudioLiveBuffers(), 0);
    EXPECT_EQ(HeadlessAudioHeldSamples(), 0);
    EXPECT_FALSE(HeadlessAudioBuffer(HeadlessAudioBufferId(b)).playing);
    EXPECT_EQ(HeadlessAudioBuffer(HeadlessAudioBufferId(b)).plays, 1);
    EXPECT_FALSE(PlatformAudioPlay(b, 0));
    EXPECT_FALSE(PlatformAudioSetPrimaryFormat(primary, Pcm(1, 22050, 8)));
    // A pointer that was never a buffer is refused, not followed.
    EXPECT_FALSE(PlatformAudioStop(reinterpret_cast<PlatformSoundBuffer*>(&samples)));
    EXPECT_EQ(HeadlessAudioBufferId(reinterpret_cast<PlatformSoundBuffer*>(&samples)), 0);
    EXPECT_EQ(HeadlessAudioMisuses(), 3);
}

TEST(AudioLaw, VolumeAndPanOnBothSidesOfSilence) {
    const auto gains = [](int32_t volume, int32_t pan) { return PlatformAudioSideGains(volume, pan); };
    // Volume alone: both sides alike, a tenth every -2000, silence from -10000 down.
    EXPECT_EQ(gains(0, 0).left, 1.0);
    EXPECT_NEAR(gains(-2000, 0).left, 0.1, 1e-12);
    EXPECT_NEAR(gains(-600, 0).right, std::pow(10.0, -0.3), 1e-12);
    EXPECT_NEAR(gains(-9999, 0).left, std::pow(10.0, -4.9995), 1e-15);
    EXPECT_GT(gains(-9999, 0).right, 0.0);
    EXPECT_EQ(gains(-10000, 0).left, 0.0);
    EXPECT_EQ(gains(-10000, 0).right, 0.0);
    EXPECT_EQ(gains(-10001, 0).left, 0.0);
    // Pan lowers only the far side, on top of the volume.
    EXPECT_NEAR(gains(-600, 2000).left, std::pow(10.0, -0.3) * 0.1, 1e-12);
    EXPECT_NEAR(gains(-600, 2000).right, std::pow(10.0, -0.3), 1e-12);
    EXPECT_EQ(gains(0, -3000).left, 1.0);
    EXPECT_NEAR(gains(0, -3000).right, std::pow(10.0, -1.5), 1e-12);
    EXPECT_GT(gains(0, 9999).left, 0.0);
    EXPECT_EQ(gains(0, 10000).left, 0.0);
    EXPECT_EQ(gains(0, 10000).right, 1.0);
    EXPECT_GT(gains(0, -9999).right, 0.0);
    EXPECT_EQ(gains(0, -10000).right, 0.0);
    EXPECT_EQ(gains(0, -10000).left, 1.0);
}
} // namespace
