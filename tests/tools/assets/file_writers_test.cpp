// The asset writers: bitmaps decode to the same pixels and colours, waves round and clamp.
#include "sound/wave_file.h"
#include "tests/support/test_files.h"
#include "tools/assets/canvas.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/palette_ramps.h"
#include "video/bitmap_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace assets;

TEST(AssetWriters, BitmapsDecodeToTheSamePixelsAndColoursAtAnyWidth) {
    Rgb palette[256];
    MakeGamePalette(palette);
    for (int width : {1, 13, 32}) {
        Canvas c = MakeCanvas(width, 7, 0);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < width; ++x)
                PutPixel(&c, x, y, static_cast<uint8_t>(x * 7 + y * 31));
        }
        std::vector<uint8_t> bytes = EncodeBitmap(c, palette);
        EXPECT_EQ(bytes.size(), 1078u + static_cast<size_t>((width + 3) / 4 * 4 * 7));
        BitmapFile bmp;
        ASSERT_TRUE(DecodeBitmapFile(bytes.data(), bytes.size(), &bmp)) << width;
        EXPECT_EQ(bmp.pixels, c.pixels) << width; // top row first after the bottom-up file order
        EXPECT_EQ(bmp.colorCount, 256);
        EXPECT_EQ(bmp.colorTable[200][2], palette[200].r);
        EXPECT_EQ(bmp.colorTable[200][0], palette[200].b);
    }
}

TEST(AssetWriters, WavesRoundAndClampTheirSamples) {
    std::vector<uint8_t> bytes = EncodeWave({0.0, 0.5, -0.5, 1.5, -1.5, 1.0}, 22050);
    ASSERT_EQ(bytes.size(), 44u + 12u);
    EXPECT_EQ(GetLE32(&bytes[4]), bytes.size() - 8);
    EXPECT_EQ(GetLE32(&bytes[16]), 16u);    // plain PCM block, accepted by the game
    EXPECT_EQ(GetLE32(&bytes[28]), 44100u); // bytes per second
    EXPECT_EQ(GetLE32(&bytes[40]), 12u);
    auto sample = [&](int i) { return static_cast<int16_t>(GetLE16(&bytes[44 + 2 * i])); };
    EXPECT_EQ(sample(0), 0);
    EXPECT_EQ(sample(1), 16384); // 0.5 * 32767 rounded
    EXPECT_EQ(sample(2), -16384);
    EXPECT_EQ(sample(3), 32767);
    EXPECT_EQ(sample(4), -32768);
    EXPECT_EQ(sample(5), 32767);
}
