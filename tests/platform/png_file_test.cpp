// PNG pictures: what is written reads back as the same colours at every pixel.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/png_file.h"
#include "tests/support/png_read.h"
#include "tests/support/test_files.h"

namespace {
PaletteEntry Colour(int32_t i) {
    return PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7),
                        0};
}
} // namespace

TEST(PngFile, IndexedPicturesReadBackAsTheirPaletteColours) {
    ScopedWorkDir dir;
    PaletteEntry palette[256];
    for (int32_t i = 0; i < 256; ++i)
        palette[i] = Colour(i);
    // 5 x 3 with a pitch of 8: the bytes past the width must not be written.
    const int32_t width = 5, height = 3, pitch = 8;
    std::vector<uint8_t> pixels(pitch * height, 0xEE);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y * pitch + x)] = static_cast<uint8_t>(y * 40 + x * 3 + 1);
    ASSERT_TRUE(WriteIndexedPng("shot.png", pixels.data(), width, height, pitch, palette));

    RgbPicture picture;
    std::string why;
    ASSERT_TRUE(ReadPngRgb("shot.png", &picture, &why)) << why;
    EXPECT_EQ(picture.width, 5u);
    EXPECT_EQ(picture.height, 3u);
    ASSERT_EQ(picture.rgb.size(), 5u * 3 * 3);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const PaletteEntry& e = palette[pixels[static_cast<size_t>(y * pitch + x)]];
            const uint8_t* rgb = picture.At(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
            EXPECT_EQ(rgb[0], e.red) << x << "," << y;
            EXPECT_EQ(rgb[1], e.green);
            EXPECT_EQ(rgb[2], e.blue);
        }

    // A path that cannot be written fails and leaves nothing behind.
    EXPECT_FALSE(WriteIndexedPng("no/such/folder/shot.png", pixels.data(), width, height, pitch, palette));
    EXPECT_FALSE(std::filesystem::exists("no")); // no folder made on the way either
    EXPECT_FALSE(WriteIndexedPng("bad.png", pixels.data(), 0, height, pitch, palette));
}

#if !defined(_WIN32)
// The Windows tests read pictures with the small zlib reader: it must see what libpng sees, and refuse a
// damaged file as libpng does.
TEST(PngFile, TheZlibReaderSeesWhatLibpngSees) {
    ScopedWorkDir dir;
    PaletteEntry palette[256];
    for (int32_t i = 0; i < 256; ++i)
        palette[i] = Colour(i);
    // Big and varied enough that the pixel data spans several IDAT chunks.
    const int32_t width = 300, height = 200;
    std::vector<uint8_t> pixels(static_cast<size_t>(width * height));
    uint32_t noise = 12345;
    for (uint8_t& p : pixels) {
        noise = noise * 1103515245u + 12345u;
        p = static_cast<uint8_t>(noise >> 24);
    }
    ASSERT_TRUE(WriteIndexedPng("big.png", pixels.data(), width, height, width, palette));
    RgbPicture libpng, zlib;
    std::string why;
    ASSERT_TRUE(ReadPngRgb("big.png", &libpng, &why)) << why;
    std::ifstream in("big.png", std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_TRUE(DecodePngRgb(file, &zlib, &why)) << why;
    EXPECT_EQ(zlib.width, 300u);
    EXPECT_EQ(zlib.height, 200u);
    EXPECT_TRUE(zlib.rgb == libpng.rgb);

    // One byte of the pixel data changed: the chunk's checksum no longer holds.
    file[file.size() - 40] ^= 0x10;
    EXPECT_FALSE(DecodePngRgb(file, &zlib, &why));
    EXPECT_NE(why.find("IDAT chunk's checksum"), std::string::npos) << why;
    file.resize(file.size() - 20);
    EXPECT_FALSE(DecodePngRgb(file, &zlib, &why));
}
#endif
