// The Windows build's own PNG writer, read back chunk by chunk with every checksum checked.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/png_file.h"

namespace {
uint32_t Big(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint32_t TableCrc(const uint8_t* p, size_t n) {
    static uint32_t table[256];
    if (!table[1])
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

struct Decoded {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> palette, rows;
    std::vector<std::string> chunks;
    size_t compressed = 0; // bytes of pixel data in the file
};

// Fails the test on any fault in the file's structure.
Decoded Decode(const std::vector<uint8_t>& file) {
    Decoded out;
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(file.size() > 8 && std::equal(signature, signature + 8, file.begin()));
    std::vector<uint8_t> zlib;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = Big(&file[at]);
        const std::string type(file.begin() + static_cast<long>(at) + 4,
                               file.begin() + static_cast<long>(at) + 8);
        EXPECT_EQ(Big(&file[at + 8 + length]), TableCrc(&file[at + 4], length + 4)) << type;
        const uint8_t* data = &file[at + 8];
        out.chunks.push_back(type);
        if (type == "IHDR") {
            out.width = Big(data);
            out.height = Big(data + 4);
            EXPECT_EQ(data[8], 8);  // bit depth
            EXPECT_EQ(data[9], 3);  // indexed colour
            EXPECT_EQ(data[12], 0); // no interlace
        } else if (type == "PLTE") {
            out.palette.assign(data, data + length);
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), data, data + length);
        }
        at += 12 + length;
    }
    EXPECT_GE(zlib.size(), 2u + 4u);
    EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0); // the zlib header check
    out.compressed = zlib.size();
    // zlib checks the stream's own checksum; one filter byte and the indices for each row.
    out.rows.assign((size_t{out.width} + 1) * out.height, 0);
    uLongf size = static_cast<uLongf>(out.rows.size());
    EXPECT_EQ(uncompress(out.rows.data(), &size, zlib.data(), static_cast<uLong>(zlib.size())), Z_OK);
    EXPECT_EQ(size, out.rows.size());
    return out;
}

std::vector<uint8_t> ReadAll(const char* path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path, "rb")) {
        uint8_t buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

void GamePalette(PaletteEntry palette[256]) {
    for (int i = 0; i < 256; ++i)
        palette[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
}
} // namespace

TEST(Win32Png, SmallPictureRowsAndPaletteComeBack) {
    PaletteEntry palette[256];
    GamePalette(palette);
    // 5 x 3 in rows 8 bytes apart: the bytes past each row must not be written.
    std::vector<uint8_t> pixels(8 * 3, 0xEE);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            pixels[static_cast<size_t>(y * 8 + x)] = uint8_t(y * 10 + x);
    ASSERT_TRUE(WriteIndexedPng("win32_png_small.png", pixels.data(), 5, 3, 8, palette));
    const Decoded d = Decode(ReadAll("win32_png_small.png"));
    std::filesystem::remove("win32_png_small.png");
    EXPECT_EQ(d.width, 5u);
    EXPECT_EQ(d.height, 3u);
    EXPECT_EQ(d.chunks, (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));
    ASSERT_EQ(d.palette.size(), 768u);
    EXPECT_EQ(d.palette[3 * 200], 200);
    EXPECT_EQ(d.palette[3 * 200 + 1], 55);
    EXPECT_EQ(d.palette[3 * 200 + 2], uint8_t(200 * 7));
    ASSERT_EQ(d.rows.size(), 3u * 6u);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(d.rows[static_cast<size_t>(y * 6)], 0) << "filter byte of row " << y;
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(d.rows[static_cast<size_t>(y * 6 + 1 + x)], y * 10 + x);
    }
}

TEST(Win32Png, ScreenSizedPictureComesBackWholeAndCompressed) {
    PaletteEntry palette[256];
    GamePalette(palette);
    std::vector<uint8_t> pixels(320 * 240);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 31 / 7);
    ASSERT_TRUE(WriteIndexedPng("win32_png_screen.png", pixels.data(), 320, 240, 320, palette));
    const Decoded d = Decode(ReadAll("win32_png_screen.png"));
    std::filesystem::remove("win32_png_screen.png");
    ASSERT_EQ(d.rows.size(), 321u * 240u);
    EXPECT_EQ(d.rows[321 * 239 + 1 + 319], pixels[320 * 239 + 319]);
    EXPECT_EQ(d.rows[321 * 100 + 1 + 7], pixels[320 * 100 + 7]);
    EXPECT_EQ(d.rows[321 * 204], 0) << "filter byte of row 204";
    // The stripes repeat every few rows: compressed they take a fraction of the 77 KB of indices.
    EXPECT_LT(d.compressed, d.rows.size() / 4);
}

TEST(Win32Png, RefusesPicturesItCannotDescribe) {
    PaletteEntry palette[256];
    GamePalette(palette);
    uint8_t pixel = 0;
    EXPECT_FALSE(WriteIndexedPng("win32_png_bad.png", &pixel, 0, 1, 1, palette));
    EXPECT_FALSE(WriteIndexedPng("win32_png_bad.png", &pixel, 2, 1, 1, palette)); // pitch below width
    EXPECT_FALSE(std::filesystem::exists("win32_png_bad.png"));
}
