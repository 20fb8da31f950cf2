// The program's icon file: the layout windres and Windows read, the picture's rows and the palette.
#include <gtest/gtest.h>

#include <set>

#include "tools/assets/file_writers.h"
#include "tools/assets/icon.h"
#include "tools/assets/palette_ramps.h"

using namespace assets;

namespace {
constexpr size_t kDirectory = 6 + 16;
constexpr size_t kPalette = kDirectory + 40;
constexpr size_t kPixels = kPalette + 256 * 4;
} // namespace

TEST(Icon, HeadersDescribeOne48x48ImageIn256Colours) {
    Rgb palette[256];
    MakeGamePalette(palette);
    const std::vector<uint8_t> ico = EncodeIcon(MakeIconPicture(), palette);
    ASSERT_EQ(ico.size(), kPixels + 48 * 48 + 8 * 48); // mask rows: 48 bits padded to 8 bytes
    EXPECT_EQ(GetLE16(&ico[0]), 0u);
    EXPECT_EQ(GetLE16(&ico[2]), 1u); // icon
    EXPECT_EQ(GetLE16(&ico[4]), 1u); // one image
    EXPECT_EQ(ico[6], 48);
    EXPECT_EQ(ico[7], 48);
    EXPECT_EQ(ico[8], 0); // 256 colours
    EXPECT_EQ(GetLE16(&ico[12]), 8u);
    EXPECT_EQ(GetLE32(&ico[14]), ico.size() - kDirectory);
    EXPECT_EQ(GetLE32(&ico[18]), kDirectory);
    EXPECT_EQ(GetLE32(&ico[kDirectory]), 40u);
    EXPECT_EQ(GetLE32(&ico[kDirectory + 4]), 48u);
    EXPECT_EQ(GetLE32(&ico[kDirectory + 8]), 96u); // picture plus mask
    EXPECT_EQ(GetLE16(&ico[kDirectory + 14]), 8u);
}

TEST(Icon, RowsBottomUpThroughTheGamePaletteWithAnOpaqueMask) {
    Rgb palette[256];
    MakeGamePalette(palette);
    Canvas picture = MakeCanvas(kIconSide, kIconSide, 7);
    PutPixel(&picture, 0, 0, 200);  // top left
    PutPixel(&picture, 47, 47, 33); // bottom right
    PutPixel(&picture, 1, 47, 90);  // bottom row, second pixel
    const std::vector<uint8_t> ico = EncodeIcon(picture, palette);
    EXPECT_EQ(ico[kPixels + 47 * 48 + 0], 200); // the top row is stored last
    EXPECT_EQ(ico[kPixels + 47], 33);
    EXPECT_EQ(ico[kPixels + 1], 90);
    EXPECT_EQ(ico[kPixels + 2], 7);
    for (int i : {0, 17, 255}) {
        EXPECT_EQ(ico[kPalette + i * 4], palette[i].b) << i;
        EXPECT_EQ(ico[kPalette + i * 4 + 1], palette[i].g) << i;
        EXPECT_EQ(ico[kPalette + i * 4 + 2], palette[i].r) << i;
    }
    for (size_t i = kPixels + 48 * 48; i < ico.size(); ++i)
        ASSERT_EQ(ico[i], 0) << "mask byte " << i;
}

TEST(Icon, PictureIsDrawnNotBlank) {
    const Canvas picture = MakeIconPicture();
    ASSERT_EQ(picture.width, kIconSide);
    ASSERT_EQ(picture.height, kIconSide);
    const std::set<uint8_t> colours(picture.pixels.begin(), picture.pixels.end());
    EXPECT_GE(colours.size(), 8u);
    // The moon is lighter than the sky beside it.
    EXPECT_NE(GetPixel(picture, 31, 14), GetPixel(picture, 4, 14));
}

TEST(Icon, ScaledToTheDesktopSizesEachPixelFromItsNearestSource) {
    Canvas picture = MakeCanvas(kIconSide, kIconSide, 7);
    PutPixel(&picture, 0, 0, 200);
    PutPixel(&picture, 47, 0, 33);
    PutPixel(&picture, 0, 47, 90);
    // 128 is not a whole multiple of 48: the source column of x is x * 48 / 128.
    const Canvas scaled = ScaleIconPicture(picture, 128);
    ASSERT_EQ(scaled.width, 128);
    ASSERT_EQ(scaled.height, 128);
    EXPECT_EQ(GetPixel(scaled, 0, 0), 200);
    EXPECT_EQ(GetPixel(scaled, 2, 2), 200);
    EXPECT_EQ(GetPixel(scaled, 3, 0), 7); // 3 * 48 / 128 = 1
    EXPECT_EQ(GetPixel(scaled, 127, 0), 33);
    EXPECT_EQ(GetPixel(scaled, 125, 0), 7); // 125 * 48 / 128 = 46
    EXPECT_EQ(GetPixel(scaled, 0, 127), 90);
    EXPECT_EQ(GetPixel(scaled, 127, 127), 7);

    Rgb palette[256];
    MakeGamePalette(palette);
    for (int side : {48, 128, 256}) {
        const std::vector<uint8_t> png = EncodeIconPng(MakeIconPicture(), palette, side);
        ASSERT_GT(png.size(), 24u) << side;
        EXPECT_EQ(png[1], 'P');
        // IHDR's width and height, big-endian.
        EXPECT_EQ((png[16] << 24) | (png[17] << 16) | (png[18] << 8) | png[19], side);
        EXPECT_EQ((png[20] << 24) | (png[21] << 16) | (png[22] << 8) | png[23], side);
    }
    EXPECT_TRUE(EncodeIconPng(picture, palette, 15).empty());
    EXPECT_TRUE(EncodeIconPng(picture, palette, 1025).empty());
}
