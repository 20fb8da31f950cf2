// BMP decoding: row order, padding, colour tables, and every kind of bad file refused without a crash.
#include <gtest/gtest.h>

#include "tests/support/test_files.h"
#include "video/bitmap_file.h"

namespace {
std::vector<uint8_t> Pattern(int32_t w, int32_t h) {
    std::vector<uint8_t> p(static_cast<size_t>(w * h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            p[static_cast<size_t>(y * w + x)] = static_cast<uint8_t>(y * 16 + x + 1);
    return p;
}
} // namespace

TEST(BitmapFile, BottomUpAndTopDownFilesDecodeToTheSameTopDownIndices) {
    for (int32_t width : {1, 3, 5, 8, 13}) { // odd widths carry row padding
        const auto pixels = Pattern(width, 4);
        for (bool topDown : {false, true}) {
            BmpOptions options;
            options.topDown = topDown;
            const auto bytes = MakeBmp(width, 4, pixels, options);
            BitmapFile bitmap;
            ASSERT_TRUE(DecodeBitmapFile(bytes.data(), bytes.size(), &bitmap)) << width << " " << topDown;
            EXPECT_EQ(bitmap.width, width);
            EXPECT_EQ(bitmap.height, 4);
            EXPECT_EQ(bitmap.pixels, pixels);
        }
    }
}

TEST(BitmapFile, ColourTableIsReadAndAShortTableCounted) {
    auto bytes = MakeBmp(4, 2, Pattern(4, 2));
    BitmapFile bitmap;
    ASSERT_TRUE(DecodeBitmapFile(bytes.data(), bytes.size(), &bitmap));
    EXPECT_EQ(bitmap.colorCount, 256);
    EXPECT_EQ(bitmap.colorTable[200][2], 200); // red
    EXPECT_EQ(bitmap.colorTable[200][1], 55);  // green
    EXPECT_EQ(bitmap.colorTable[200][0], 100); // blue

    BmpOptions shortTable;
    shortTable.colorCount = 16;
    bytes = MakeBmp(4, 2, Pattern(4, 2), shortTable);
    ASSERT_TRUE(DecodeBitmapFile(bytes.data(), bytes.size(), &bitmap));
    EXPECT_EQ(bitmap.colorCount, 16);
    EXPECT_EQ(bitmap.colorTable[15][2], 15);
    EXPECT_EQ(bitmap.colorTable[16][2], 0); // missing entries are black
    EXPECT_EQ(bitmap.colorTable[255][1], 0);
}

TEST(BitmapFile, RefusesBadFiles) {
    const auto good = MakeBmp(5, 3, Pattern(5, 3));
    BitmapFile bitmap;
    // Every truncation, from empty to one byte short.
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(DecodeBitmapFile(good.data(), length, &bitmap)) << length;

    auto mutate = [&](auto change) {
        auto bytes = good;
        change(bytes);
        return DecodeBitmapFile(bytes.data(), bytes.size(), &bitmap);
    };
    EXPECT_FALSE(mutate([](auto& b) { b[0] = 'X'; })); // not a BMP
    EXPECT_FALSE(mutate([](auto& b) { b[28] = 24; })); // 24 bits per pixel
    EXPECT_FALSE(mutate([](auto& b) { b[28] = 4; }));  // 4 bits per pixel
    EXPECT_FALSE(mutate([](auto& b) { b[30] = 1; }));  // RLE8
    EXPECT_FALSE(mutate([](auto& b) { b[26] = 2; }));  // two planes
    EXPECT_FALSE(mutate([](auto& b) {
        b[2] = 0xFF;
        b[3] = 0xFF;
    }));                                                 // claims more bytes than exist
    EXPECT_FALSE(mutate([](auto& b) { b[22] = 0x40; })); // taller than the pixels present
    EXPECT_FALSE(mutate([](auto& b) { b[18] = 0; }));    // zero width
    EXPECT_FALSE(mutate([](auto& b) { b[21] = 0x80; })); // negative width
    EXPECT_FALSE(mutate([](auto& b) {
        b[10] = 0x10;
        b[11] = 0;
    }));                                               // pixels inside the headers
    EXPECT_FALSE(mutate([](auto& b) { b[14] = 99; })); // unknown header size
    EXPECT_FALSE(mutate([](auto& b) {
        b[46] = 0x01;
        b[47] = 0x01;
    })); // 257 colours
    EXPECT_FALSE(mutate([](auto& b) {
        b[10] = 0xFF;
        b[11] = 0xFF;
        b[12] = 0xFF;
        b[13] = 0x7F;
    })); // far offset
    EXPECT_FALSE(DecodeBitmapFile(nullptr, 100, &bitmap));
    // Huge sizes are refused before anything is allocated.
    EXPECT_FALSE(mutate([](auto& b) {
        b[18] = 0xFF;
        b[19] = 0xFF;
        b[20] = 0xFF;
        b[21] = 0x7F;
    }));
}

TEST(BitmapFile, RefusesPixelsOneByteShortEvenWithoutADeclaredSize) {
    // Writers may leave the size field 0, so only the pixel rows tell a cut-off file: 5 wide pads to 8.
    auto bytes = MakeBmp(5, 3, Pattern(5, 3));
    bytes[2] = bytes[3] = bytes[4] = bytes[5] = 0;
    BitmapFile bitmap;
    ASSERT_TRUE(DecodeBitmapFile(bytes.data(), bytes.size(), &bitmap));
    EXPECT_EQ(bitmap.pixels, Pattern(5, 3));
    EXPECT_FALSE(DecodeBitmapFile(bytes.data(), bytes.size() - 1, &bitmap));
    bytes.pop_back();
    EXPECT_FALSE(DecodeBitmapFile(bytes.data(), bytes.size(), &bitmap));
}

TEST(BitmapFile, ADeclaredSizeMayBeLeftOutOrFallShortButNeverExceedTheFile) {
    auto bytes = MakeBmp(5, 3, Pattern(5, 3));
    const uint32_t length = static_cast<uint32_t>(bytes.size());
    auto declaring = [&](uint32_t declared) {
        for (int k = 0; k < 4; ++k)
            bytes[2 + static_cast<size_t>(k)] = static_cast<uint8_t>(declared >> (8 * k));
        BitmapFile bitmap;
        const bool accepted = DecodeBitmapFile(bytes.data(), bytes.size(), &bitmap);
        if (accepted) {
            EXPECT_EQ(bitmap.pixels, Pattern(5, 3)) << declared;
        }
        return accepted;
    };
    EXPECT_TRUE(declaring(length));
    EXPECT_TRUE(declaring(length - 1));
    EXPECT_TRUE(declaring(0));
    EXPECT_FALSE(declaring(length + 1));
    EXPECT_FALSE(declaring(length + 2));
    EXPECT_FALSE(declaring(length + 65536));
    EXPECT_FALSE(declaring(0xFFFFFFFFu));
}

TEST(BitmapFile, ReadsByGamePath) {
    ScopedWorkDir dir;
    WriteFileBytes("bmp\\テスト.bmp", MakeBmp(3, 2, Pattern(3, 2)));
    BitmapFile bitmap;
    ASSERT_TRUE(ReadBitmapFile("bmp\\テスト.bmp", &bitmap));
    EXPECT_EQ(bitmap.pixels, Pattern(3, 2));
    EXPECT_FALSE(ReadBitmapFile("bmp\\無い.bmp", &bitmap));
    EXPECT_FALSE(ReadBitmapFile("bmp", &bitmap)); // a folder
}
