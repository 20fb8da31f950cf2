// PNG pictures: what is written reads back as the same colours at every pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/file.h"
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

#if !defined(_WIN32)
// Renamed over, a special file would be gone: a folder, a pipe, a link to a device, to a pipe or to
// nothing is refused before anything is written and stays as it was; a link to a plain file stays a link
// and the file it points to gets the picture.
TEST(PngFile, OnlyPlainFilesAreReplaced) {
    namespace fs = std::filesystem;
    ScopedWorkDir dir;
    PaletteEntry palette[256];
    for (int32_t i = 0; i < 256; ++i)
        palette[i] = Colour(i);
    const std::vector<uint8_t> pixels(4 * 2, 7);
    fs::create_directory("folder");
    ASSERT_EQ(std::system("mkfifo pipe"), 0);
    fs::create_symlink("/dev/null", "to_device");
    fs::create_symlink("pipe", "to_pipe");
    fs::create_symlink("folder", "to_folder");
    fs::create_symlink("missing.png", "to_nothing");
    const struct {
        const char* path;
        fs::file_type type; // what it is, itself
        const char* refusal;
    } special[] = {
        {"folder", fs::file_type::directory, "it is a folder, not a plain file"},
        {"pipe", fs::file_type::fifo, "it is a pipe, not a plain file"},
        {"to_device", fs::file_type::symlink, "it is a link to a device, not to a plain file"},
        {"to_pipe", fs::file_type::symlink, "it is a link to a pipe, not to a plain file"},
        {"to_folder", fs::file_type::symlink, "it is a link to a folder, not to a plain file"},
        {"to_nothing", fs::file_type::symlink, "it is a link to a missing file"},
    };
    for (const auto& s : special) {
        EXPECT_EQ(PlatformReplaceRefusal(s.path), s.refusal) << s.path;
        EXPECT_FALSE(WriteIndexedPng(s.path, pixels.data(), 4, 2, 4, palette)) << s.path;
        EXPECT_EQ(fs::symlink_status(s.path).type(), s.type) << s.path;
        EXPECT_FALSE(fs::exists(std::string(s.path) + ".tmp")) << s.path;
    }
    EXPECT_FALSE(fs::exists("missing.png"));
    EXPECT_EQ(fs::read_symlink("to_device"), "/dev/null");
    EXPECT_TRUE(fs::is_empty("folder"));

    // Plain files, new or old, and a link to one are replaced.
    std::ofstream("old.png") << "mine";
    fs::create_symlink("old.png", "to_old");
    EXPECT_EQ(PlatformReplaceRefusal("new.png"), "");
    EXPECT_EQ(PlatformReplaceRefusal("old.png"), "");
    EXPECT_EQ(PlatformReplaceRefusal("to_old"), "");
    EXPECT_TRUE(WriteIndexedPng("to_old", pixels.data(), 4, 2, 4, palette));
    EXPECT_TRUE(fs::is_symlink("to_old"));
    RgbPicture picture;
    std::string why;
    EXPECT_TRUE(ReadPngRgb("old.png", &picture, &why)) << why;
    EXPECT_EQ(picture.width, 4u);
    EXPECT_FALSE(fs::exists("old.png.tmp"));
}
#endif
