// PNG pictures: what is written reads back through libpng as the same colours at every pixel.
#include <gtest/gtest.h>

#include <png.h>

#include <filesystem>
#include <vector>

#include "app/png_file.h"
#include "tests/support/test_files.h"

TEST(PngFile, IndexedPicturesReadBackAsTheirPaletteColours) {
    ScopedWorkDir dir;
    PaletteEntry palette[256];
    for (int32_t i = 0; i < 256; ++i)
        palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                  static_cast<uint8_t>(i * 7), 0};
    // 5 x 3 with a pitch of 8: the bytes past the width must not be written.
    const int32_t width = 5, height = 3, pitch = 8;
    std::vector<uint8_t> pixels(pitch * height, 0xEE);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y * pitch + x)] = static_cast<uint8_t>(y * 40 + x * 3 + 1);
    ASSERT_TRUE(WriteIndexedPng("shot.png", pixels.data(), width, height, pitch, palette));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, "shot.png"), 0);
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const PaletteEntry& e = palette[pixels[static_cast<size_t>(y * pitch + x)]];
            const size_t at = static_cast<size_t>((y * width + x) * 3);
            EXPECT_EQ(rgb[at], e.red) << x << "," << y;
            EXPECT_EQ(rgb[at + 1], e.green);
            EXPECT_EQ(rgb[at + 2], e.blue);
        }

    // A path that cannot be written fails and leaves nothing behind.
    EXPECT_FALSE(WriteIndexedPng("no/such/folder/shot.png", pixels.data(), width, height, pitch, palette));
    EXPECT_FALSE(std::filesystem::exists("no/such/folder/shot.png"));
    EXPECT_FALSE(WriteIndexedPng("bad.png", pixels.data(), 0, height, pitch, palette));
}
