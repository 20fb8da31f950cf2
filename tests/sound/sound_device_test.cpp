// The sound device's start and release, and buffers made from WAV files, on the recording device.
#include "tests/sound/sound_fixture.h"

using namespace wavebytes;

namespace {
using DeviceTest = SoundTest;

TEST_F(DeviceTest, InitOpensTheDeviceAndAsksForThePrimaryFormat) {
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_NE(soundDevice, nullptr);
    EXPECT_NE(primaryBuffer, nullptr);
    EXPECT_EQ(HeadlessAudioTranscript(), "create device\ncooperative level level 2\ncreate primary "
                                         "#1\nprimary format #1 22050 Hz 8 bits 1 ch\n");
    const PlatformPcmFormat asked = HeadlessAudioPrimaryFormat();
    EXPECT_EQ(asked.formatTag, 1);
    EXPECT_EQ(asked.blockAlign, 1);
    EXPECT_EQ(asked.avgBytesPerSec, 22050u);
    EXPECT_TRUE(trace.texts.empty());

    // The block alignment and byte rate follow the request.
    DS_Release();
    ASSERT_TRUE(DS_Init(nullptr, 44100, 16, 2));
    EXPECT_EQ(HeadlessAudioPrimaryFormat().blockAlign, 4);
    EXPECT_EQ(HeadlessAudioPrimaryFormat().avgBytesPerSec, 176400u);
}

TEST_F(DeviceTest, InitFailuresTraceTheirStepAndLeaveTheRestForRelease) {
    platformAudioFaults.refuseDevice = true;
    EXPECT_FALSE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_EQ(trace.texts, std::vector<std::string>{"DIRECTSOUNDCREATE_ERR!"});
    EXPECT_EQ(soundDevice, nullptr);
    DS_Release();
    EXPECT_EQ(HeadlessAudioCalls().size(), 1u); // nothing to release

    HeadlessAudioReset();
    trace.texts.clear();
    platformAudioFaults.refuseCooperativeLevel = true;
    EXPECT_FALSE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_EQ(trace.texts, std::vector<std::string>{"SETCOOPERATIVELEVEL_ERR!"});
    EXPECT_EQ(primaryBuffer, nullptr);
    DS_Release();
    EXPECT_FALSE(HeadlessAudioDeviceOpen());
    EXPECT_EQ(soundDevice, nullptr);

    HeadlessAudioReset();
    trace.texts.clear();
    platformAudioFaults.refusePrimary = true;
    EXPECT_FALSE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_EQ(trace.texts, std::vector<std::string>{"CREATESOUNDBUFFER_ERR!"});
    DS_Release();
    EXPECT_FALSE(HeadlessAudioDeviceOpen());
    EXPECT_EQ(HeadlessAudioMisuses(), 0);
}

TEST_F(DeviceTest, ReleaseGoesGroupsPrimaryDeviceAndIsSafeWithoutInit) {
    DS_Release();
    EXPECT_TRUE(HeadlessAudioCalls().empty());

    WriteSoundTable();
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    ASSERT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
    // Expected release order: each group in SoundId order, its duplicates first, then the primary buffer.
    std::vector<int32_t> expected;
    for (const SoundGroup& g : soundGroups) {
        for (int32_t i = 1; i < g.count; ++i)
            expected.push_back(IdOf(g, i));
        expected.push_back(IdOf(g, 0));
    }
    expected.push_back(HeadlessAudioBufferId(primaryBuffer));
    DS_Release();
    EXPECT_EQ(BuffersOf(AUDIO_RELEASE_BUFFER), expected);
    ASSERT_EQ(HeadlessAudioCalls().back().op, AUDIO_RELEASE_DEVICE);
    EXPECT_EQ(HeadlessAudioCalls().back().value, 0); // no buffer was left behind
    EXPECT_EQ(soundDevice, nullptr);
    EXPECT_EQ(primaryBuffer, nullptr);
    for (const SoundGroup& g : soundGroups)
        EXPECT_EQ(g.buffers, nullptr);
    EXPECT_EQ(HeadlessAudioMisuses(), 0);

    // A second release finds nothing.
    const size_t calls = HeadlessAudioCalls().size();
    DS_Release();
    EXPECT_EQ(HeadlessAudioCalls().size(), calls);
}

TEST_F(DeviceTest, BufferFromFileKeepsTheFilesFormatAndSamples) {
    const std::vector<uint8_t> samples = Tone(2, 44100, 16, 0.01, 440, 0.5);
    WriteFileBytes("wave\\stereo.wav", Wave(2, 44100, 16, samples));
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    PlatformSoundBuffer* buffer = nullptr;
    ASSERT_TRUE(DSCreateBufferFromFile(&buffer, "wave\\stereo.wav"));
    const HeadlessAudioBufferState state = HeadlessAudioBuffer(HeadlessAudioBufferId(buffer));
    EXPECT_EQ(state.format.channels, 2);
    EXPECT_EQ(state.format.samplesPerSec, 44100u);
    EXPECT_EQ(state.format.bitsPerSample, 16);
    EXPECT_EQ(std::vector<uint8_t>(state.samples, state.samples + state.size), samples);
    EXPECT_EQ(state.volume, 0);
    EXPECT_EQ(state.pan, 0);

    PlatformSoundBuffer* copy = nullptr;
    ASSERT_TRUE(DSDuplicateBuffer(&copy, buffer));
    const HeadlessAudioBufferState dup = HeadlessAudioBuffer(HeadlessAudioBufferId(copy));
    EXPECT_EQ(dup.source, state.id);
    EXPECT_EQ(dup.samples, state.samples); // shared, not copied
    PlatformAudioReleaseBuffer(copy);
    PlatformAudioReleaseBuffer(buffer);
    EXPECT_TRUE(trace.texts.empty());
}

TEST_F(DeviceTest, BufferFromFileFailuresTraceThePath) {
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    PlatformSoundBuffer* buffer = nullptr;
    WriteFileBytes("wave\\短い.wav", {'R', 'I', 'F', 'F'});
    EXPECT_FALSE(DSCreateBufferFromFile(&buffer, "wave\\無い.wav"));
    EXPECT_FALSE(DSCreateBufferFromFile(&buffer, "wave\\短い.wav"));
    WriteFileBytes("wave\\切れた.wav",
                   Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", {1, 2, 3, 4}, true, 400)}));
    EXPECT_FALSE(DSCreateBufferFromFile(&buffer, "wave\\切れた.wav"));
    EXPECT_EQ(trace.texts,
              (std::vector<std::string>{"wave\\無い.wav読み込み失敗！", "wave\\短い.wav読み込み失敗！",
                                        "wave\\切れた.wav読み込み失敗！"}));
    EXPECT_EQ(BuffersOf(AUDIO_CREATE_BUFFER).size(), 0u);

    // Read fine, but no buffer can hold it: no samples, a format the device cannot play, a refusal.
    trace.texts.clear();
    WriteFileBytes("wave\\空.wav", Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 8)), Chunk("data", {})}));
    WriteFileBytes("wave\\三.wav", Wave(3, 22050, 8, {1, 2, 3, 4, 5, 6}));
    WriteFileBytes("wave\\良い.wav", Wave(1, 22050, 8, {1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(DSCreateBufferFromFile(&buffer, "wave\\空.wav"));
    EXPECT_FALSE(DSCreateBufferFromFile(&buffer, "wave\\三.wav"));
    platformAudioFaults.refuseBuffer = true;
    EXPECT_FALSE(DSCreateBufferFromFile(&buffer, "wave\\良い.wav"));
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(trace.texts, (std::vector<std::string>{"wave\\空.wav生成失敗！", "wave\\三.wav生成失敗！",
                                                     "wave\\良い.wav生成失敗！"}));

    platformAudioFaults.refuseDuplicate = true;
    platformAudioFaults.refuseBuffer = false;
    ASSERT_TRUE(DSCreateBufferFromFile(&buffer, "wave\\良い.wav"));
    PlatformSoundBuffer* copy = nullptr;
    EXPECT_FALSE(DSDuplicateBuffer(&copy, buffer));
    EXPECT_EQ(copy, nullptr);
    PlatformAudioReleaseBuffer(buffer);
}

TEST_F(DeviceTest, WithoutADeviceBuffersSucceedAndMakeNothing) {
    WriteFileBytes("wave\\良い.wav", Wave(1, 22050, 8, {1, 2, 3, 4}));
    PlatformSoundBuffer* marker = reinterpret_cast<PlatformSoundBuffer*>(&marker);
    PlatformSoundBuffer* slot = marker;
    EXPECT_TRUE(DSCreateBufferFromFile(&slot, "wave\\良い.wav"));
    EXPECT_TRUE(DSCreateBufferFromFile(&slot, "wave\\無い.wav"));
    EXPECT_TRUE(DSDuplicateBuffer(&slot, nullptr));
    EXPECT_EQ(slot, marker);
    EXPECT_TRUE(HeadlessAudioCalls().empty());
    EXPECT_TRUE(trace.texts.empty());
}
} // namespace
