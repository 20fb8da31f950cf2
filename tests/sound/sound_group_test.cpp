// The sound groups: creation from the table, round-robin play, volume and pan, and release.
#include "tests/sound/sound_fixture.h"
#include "tests/support/test_files.h"

#include <filesystem>

#include "base/asset_paths.h"
#include "platform/file.h"

using namespace wavebytes;

namespace {
using GroupTest = SoundTest;

TEST_F(GroupTest, TheTableCreatesElevenGroupsOfSharedBuffers) {
    WriteSoundTable();
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    ASSERT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
    const int32_t copies[SND_COUNT] = {1, 1, 3, 3, 1, 2, 1, 3, 3, 3, 3};
    int32_t buffers = 0;
    for (int32_t id = 0; id < SND_COUNT; ++id) {
        SCOPED_TRACE(id);
        const SoundGroup& g = soundGroups[id];
        EXPECT_STREQ(g.name, soundSources[id].path);
        ASSERT_EQ(g.count, copies[id]);
        EXPECT_EQ(g.next, 0);
        const HeadlessAudioBufferState first = HeadlessAudioBuffer(IdOf(g, 0));
        EXPECT_EQ(first.source, 0);
        for (int32_t i = 1; i < g.count; ++i) {
            const HeadlessAudioBufferState dup = HeadlessAudioBuffer(IdOf(g, i));
            EXPECT_EQ(dup.source, first.id);
            EXPECT_EQ(dup.samples, first.samples);
        }
        buffers += g.count;
    }
    EXPECT_EQ(buffers, 24);
    // One file read per group, and only the cursor sound is turned down.
    EXPECT_EQ(BuffersOf(AUDIO_CREATE_BUFFER).size(), static_cast<size_t>(SND_COUNT));
    EXPECT_EQ(BuffersOf(AUDIO_SET_VOLUME), std::vector<int32_t>{IdOf(soundGroups[SND_CURSOR], 0)});
    EXPECT_EQ(DSGetVolume(&soundGroups[SND_CURSOR], 0), -500);
    EXPECT_EQ(DSGetVolume(&soundGroups[SND_DOOR], 0), 0);
    EXPECT_STREQ(soundGroups[SND_PAUSE].name, "wave\\ポーズ.wav");

    // Groups that already have buffers are left alone.
    const size_t calls = HeadlessAudioCalls().size();
    EXPECT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
    EXPECT_EQ(HeadlessAudioCalls().size(), calls);
    EXPECT_TRUE(trace.texts.empty());
}

TEST_F(GroupTest, AMissingFileStopsTheTableAtThatGroup) {
    WriteSoundTable();
    std::filesystem::remove(Utf8Path(PlatformNativePath(ASSET_WAVE_SEAL)));
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 0);
    EXPECT_EQ(trace.texts, (std::vector<std::string>{"wave\\封印.wav読み込み失敗！",
                                                     "DSCreateBufferGropeFromFile失敗！"}));
    for (int32_t id = 0; id < SND_SEAL; ++id)
        EXPECT_EQ(soundGroups[id].count, soundSources[id].copies);
    // The failed group keeps its (empty) array; the later ones were never tried.
    EXPECT_NE(soundGroups[SND_SEAL].buffers, nullptr);
    EXPECT_EQ(soundGroups[SND_SEAL].count, 0);
    for (int32_t id = SND_SEAL + 1; id < SND_COUNT; ++id)
        EXPECT_EQ(soundGroups[id].buffers, nullptr);

    // With the file back, a second pass creates only what is missing.
    WriteSoundTable();
    DSReleaseBufferGroup(&soundGroups[SND_SEAL]); // frees the empty array, so the group counts as missing
    trace.texts.clear();
    EXPECT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
    EXPECT_EQ(soundGroups[SND_HELP].count, 3);
    EXPECT_TRUE(trace.texts.empty());
}

TEST_F(GroupTest, APartlyMadeGroupIsReleasedWhole) {
    WriteFileBytes("wave\\a.wav", Wave(1, 22050, 8, {1, 2, 3, 4}));
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    platformAudioFaults.refuseDuplicate = true;
    platformAudioFaults.duplicatesBeforeRefusal = 1;
    SoundGroup group{};
    EXPECT_FALSE(DSCreateBufferGropeFromFile(&group, "wave\\a.wav", 3, -700));
    EXPECT_EQ(trace.texts, std::vector<std::string>{"wave\\a.wavのメモリ共用バッファの生成失敗！"});
    EXPECT_EQ(group.count, 0);
    EXPECT_STREQ(group.name, "");
    ASSERT_NE(group.buffers, nullptr);
    const int32_t first = IdOf(group, 0), second = IdOf(group, 1);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_EQ(group.buffers[2], nullptr);
    EXPECT_TRUE(BuffersOf(AUDIO_SET_VOLUME).empty());

    DSReleaseBufferGroup(&group);
    EXPECT_EQ(BuffersOf(AUDIO_RELEASE_BUFFER), (std::vector<int32_t>{second, first}));
    EXPECT_EQ(group.buffers, nullptr);
    EXPECT_EQ(HeadlessAudioLiveBuffers(), 1); // only the primary buffer
    DSReleaseBufferGroup(&group);             // nothing left to release
    EXPECT_EQ(BuffersOf(AUDIO_RELEASE_BUFFER).size(), 2u);
    EXPECT_EQ(HeadlessAudioMisuses(), 0);
}

TEST_F(GroupTest, CreationFailuresTraceTheirTexts) {
    WriteFileBytes("wave\\a.wav", Wave(1, 22050, 8, {1, 2, 3, 4}));
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    SoundGroup group{};
    EXPECT_FALSE(DSCreateBufferGropeFromFile(&group, "wave\\a.wav", 0, 0));
    EXPECT_FALSE(DSCreateBufferGropeFromFile(&group, "wave\\a.wav", -1, 0));
    platformAudioFaults.refuseBuffer = true;
    EXPECT_FALSE(DSCreateBufferGropeFromFile(&group, "wave\\a.wav", 2, 0));
    EXPECT_EQ(trace.texts,
              (std::vector<std::string>{"wave\\a.wavのメモリ確保失敗！", "wave\\a.wavのメモリ確保失敗！",
                                        "wave\\a.wav生成失敗！"}));
    DSReleaseBufferGroup(&group);
    EXPECT_TRUE(BuffersOf(AUDIO_RELEASE_BUFFER).empty());

    // The fault placed after the first two groups' files: the third group fails.
    WriteSoundTable();
    platformAudioFaults.buffersBeforeRefusal = 2;
    trace.texts.clear();
    EXPECT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 0);
    EXPECT_EQ(trace.texts,
              (std::vector<std::string>{"wave\\開く.wav生成失敗！", "DSCreateBufferGropeFromFile失敗！"}));
}

TEST_F(GroupTest, PlayRestartsTheNextBufferRoundRobin) {
    WriteFileBytes("wave\\a.wav", Wave(1, 22050, 8, {1, 2, 3, 4}));
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    SoundGroup three{}, one{};
    ASSERT_TRUE(DSCreateBufferGropeFromFile(&three, "wave\\a.wav", 3, 0));
    ASSERT_TRUE(DSCreateBufferGropeFromFile(&one, "wave\\a.wav", 1, 0));
    const size_t before = HeadlessAudioCalls().size();
    for (int i = 0; i < 4; ++i)
        DSPlay(&three, 0);
    EXPECT_EQ(three.next, 1);
    const std::vector<int32_t> order = {IdOf(three, 0), IdOf(three, 1), IdOf(three, 2), IdOf(three, 0)};
    EXPECT_EQ(BuffersOf(AUDIO_PLAY), order);
    // Each play is stop, rewind, play, on the same buffer.
    const std::vector<HeadlessAudioCall>& calls = HeadlessAudioCalls();
    ASSERT_EQ(calls.size(), before + 12);
    for (size_t k = 0; k < 4; ++k) {
        const HeadlessAudioCall* c = &calls[before + 3 * k];
        EXPECT_EQ(c[0].op, AUDIO_STOP);
        EXPECT_EQ(c[1].op, AUDIO_SET_POSITION);
        EXPECT_EQ(c[1].value, 0);
        EXPECT_EQ(c[2].op, AUDIO_PLAY);
        EXPECT_EQ(c[2].value, 0);
        EXPECT_EQ(c[0].buffer, order[k]);
        EXPECT_EQ(c[1].buffer, order[k]);
    }
    // Three overlap; the fourth play cut the first one off and restarted it.
    EXPECT_EQ(HeadlessAudioBuffer(IdOf(three, 0)).plays, 2);
    EXPECT_TRUE(HeadlessAudioBuffer(IdOf(three, 2)).playing);

    DSPlay(&one, 0);
    DSPlay(&one, DSBPLAY_LOOPING);
    EXPECT_EQ(one.next, 0);
    EXPECT_EQ(HeadlessAudioBuffer(IdOf(one, 0)).plays, 2);
    EXPECT_EQ(HeadlessAudioBuffer(IdOf(one, 0)).playFlags, DSBPLAY_LOOPING);
    DSReleaseBufferGroup(&three);
    DSReleaseBufferGroup(&one);

    // An uncreated group plays nothing.
    SoundGroup empty{};
    const size_t after = HeadlessAudioCalls().size();
    DSPlay(&empty, 0);
    EXPECT_EQ(HeadlessAudioCalls().size(), after);
}

TEST_F(GroupTest, VolumeAndPanClampAndAreRelativeOnlyForOne) {
    WriteFileBytes("wave\\a.wav", Wave(1, 22050, 8, {1, 2, 3, 4}));
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    SoundGroup g{};
    ASSERT_TRUE(DSCreateBufferGropeFromFile(&g, "wave\\a.wav", 2, -9800));
    EXPECT_EQ(DSGetVolume(&g, 0), -9800);
    EXPECT_EQ(DSGetVolume(&g, 1), -9800);
    EXPECT_EQ(DSSetVolume(&g, 0, -500, 1), -10000);
    EXPECT_EQ(DSGetVolume(&g, 0), -10000);
    EXPECT_EQ(DSSetVolume(&g, 0, 200, 0), 0);
    EXPECT_EQ(DSGetVolume(&g, 0), 0);
    EXPECT_EQ(DSSetVolume(&g, 1, 300, 1), -9500);
    EXPECT_EQ(DSSetVolume(&g, 1, -300, 2), -300); // 2 is not "relative"
    EXPECT_EQ(DSSetVolume(&g, 1, INT32_MIN, 1), -10000);
    EXPECT_EQ(DSGetVolume(&g, 1), -10000);

    EXPECT_EQ(DSSetPan(&g, 0, 12000, 0), 10000);
    EXPECT_EQ(DSGetPan(&g, 0), 10000);
    EXPECT_EQ(DSSetPan(&g, 0, -3000, 1), 7000);
    EXPECT_EQ(DSSetPan(&g, 0, -3000, -1), -3000);
    EXPECT_EQ(DSSetPan(&g, 0, -12000, 1), -10000);
    EXPECT_EQ(DSSetPan(&g, 1, INT32_MAX, 1), 10000);
    EXPECT_EQ(DSGetPan(&g, 0), -10000);
    EXPECT_EQ(DSGetPan(&g, 1), 10000);
    // Every value reached the device clamped.
    for (const HeadlessAudioCall& c : HeadlessAudioCalls()) {
        if (c.op == AUDIO_SET_VOLUME || c.op == AUDIO_SET_PAN) {
            EXPECT_TRUE(c.ok) << HeadlessAudioDescribe(c);
        }
    }
    DSReleaseBufferGroup(&g);
}

TEST_F(GroupTest, WithoutADeviceEveryOperationIsANoOp) {
    WriteSoundTable();
    EXPECT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
    for (const SoundGroup& g : soundGroups)
        EXPECT_EQ(g.buffers, nullptr);
    SoundGroup g{};
    g.count = 5; // untouched: nothing is cleared without a device
    EXPECT_TRUE(DSCreateBufferGropeFromFile(&g, "wave\\無い.wav", 3, -100));
    EXPECT_EQ(g.count, 5);
    g.count = 0;
    DSPlay(&soundGroups[SND_PAUSE], 0);
    EXPECT_EQ(DSSetVolume(&soundGroups[SND_OPEN], 0, -100, 0), 0);
    EXPECT_EQ(DSSetPan(&soundGroups[SND_OPEN], 0, 100, 0), 0);
    EXPECT_EQ(DSGetVolume(&soundGroups[SND_OPEN], 0), 0);
    EXPECT_EQ(DSGetPan(&soundGroups[SND_OPEN], 0), 0);
    DSReleaseBufferGroup(&soundGroups[SND_OPEN]);
    EXPECT_TRUE(HeadlessAudioCalls().empty());
    EXPECT_TRUE(trace.texts.empty());
}
} // namespace
