// The trace's pieces: the FNV-1a hashes and what they cover, and the sounds a frame played.
#include "tests/sound/sound_fixture.h"

#include <cstring>

#include "app/frame_trace.h"

TEST(FrameTraceHash, Fnv1aMatchesItsPublishedValues) {
    EXPECT_EQ(Fnv1a64(nullptr, 0), 0xcbf29ce484222325ull);
    EXPECT_EQ(Fnv1a64(reinterpret_cast<const uint8_t*>("a"), 1), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(Fnv1a64(reinterpret_cast<const uint8_t*>("foobar"), 6), 0x85944171f73967e8ull);
    EXPECT_EQ(HashText(0x85944171f73967e8ull), "85944171f73967e8");
    EXPECT_EQ(HashText(0x00000000000000a1ull), "00000000000000a1");
}

TEST(FrameTraceHash, ThePaletteIsHashedAsRedGreenBlueFlagsFromEntryZero) {
    PaletteEntry palette[256];
    uint8_t bytes[1024];
    for (int32_t i = 0; i < 256; ++i) {
        palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3 + 1),
                                  static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i % 3)};
        bytes[i * 4] = palette[i].red;
        bytes[i * 4 + 1] = palette[i].green;
        bytes[i * 4 + 2] = palette[i].blue;
        bytes[i * 4 + 3] = palette[i].flags;
    }
    EXPECT_EQ(PaletteHash(palette), Fnv1a64(bytes, sizeof bytes));
    // The flags count: a reserved entry is a different palette.
    const uint64_t before = PaletteHash(palette);
    palette[200].flags ^= 1;
    EXPECT_NE(PaletteHash(palette), before);
}

TEST(FrameTraceHash, TheImageIsHashedRowByRow) {
    std::vector<uint8_t> image(320 * 240);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7 / 3);
    EXPECT_EQ(ImageHash(image.data()), Fnv1a64(image.data(), image.size()));
    // Swapping two pixels of a column (rows 0 and 1) changes it: the order is part of the hash.
    const uint64_t before = ImageHash(image.data());
    std::swap(image[5], image[325]);
    ASSERT_NE(image[5], image[325]);
    EXPECT_NE(ImageHash(image.data()), before);
}

namespace {
using FrameSounds = SoundTest;

TEST_F(FrameSounds, EveryPlayIsCapturedWithItsGroupBufferVolumeAndPan) {
    WriteSoundTable();
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    ASSERT_EQ(DSCreateBufferGroup(soundGroups, soundSources), 1);
    DSPlay(&soundGroups[SND_OPEN], 0); // before the capture: not seen
    StartSoundCapture();
    DSSetVolume(&soundGroups[SND_GROAN], 1, -700, 0);
    DSSetPan(&soundGroups[SND_GROAN], 1, 2500, 0);
    DSPlay(&soundGroups[SND_OPEN], 0);  // buffer 1: the first play took buffer 0
    DSPlay(&soundGroups[SND_GROAN], 0); // buffer 0, untouched
    DSPlay(&soundGroups[SND_GROAN], 0); // buffer 1, turned down and to the right
    DSPlay(&soundGroups[SND_CURSOR], 0);
    std::vector<FrameSound> sounds = TakeFrameSounds();
    ASSERT_EQ(sounds.size(), 4u);
    EXPECT_EQ((std::vector<int32_t>{sounds[0].id, sounds[0].buffer, sounds[0].volume, sounds[0].pan}),
              (std::vector<int32_t>{SND_OPEN, 1, 0, 0}));
    EXPECT_EQ((std::vector<int32_t>{sounds[1].id, sounds[1].buffer, sounds[1].volume, sounds[1].pan}),
              (std::vector<int32_t>{SND_GROAN, 0, 0, 0}));
    EXPECT_EQ((std::vector<int32_t>{sounds[2].id, sounds[2].buffer, sounds[2].volume, sounds[2].pan}),
              (std::vector<int32_t>{SND_GROAN, 1, -700, 2500}));
    EXPECT_EQ((std::vector<int32_t>{sounds[3].id, sounds[3].buffer, sounds[3].volume, sounds[3].pan}),
              (std::vector<int32_t>{SND_CURSOR, 0, -500, 0}));
    // Taken once: the next frame starts empty.
    EXPECT_TRUE(TakeFrameSounds().empty());
    StopSoundCapture();
    DSPlay(&soundGroups[SND_DOOR], 0);
    EXPECT_TRUE(TakeFrameSounds().empty());
}
} // namespace
