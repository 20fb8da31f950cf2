// Reading pictures back in tests: libpng on Linux, a small zlib reader where libpng is missing (Windows).
#include "tests/support/png_read.h"

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iterator>

#if !defined(_WIN32)
#include <png.h>
#endif

#include "tests/support/test_files.h"

namespace {
uint32_t Big32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

bool Refuse(std::string* why, const std::string& reason) {
    *why = reason;
    return false;
}

// The whole zlib stream, which must fill `size` bytes exactly.
bool Inflate(const std::vector<uint8_t>& compressed, size_t size, std::vector<uint8_t>* out,
             std::string* why) {
    out->assign(size, 0);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return Refuse(why, "zlib cannot start");
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = out->data();
    stream.avail_out = static_cast<uInt>(size);
    const int status = inflate(&stream, Z_FINISH);
    const size_t produced = size - stream.avail_out;
    inflateEnd(&stream);
    if (status != Z_STREAM_END || produced != size)
        return Refuse(why, "the pixel data does not inflate to " + std::to_string(size) + " bytes (zlib " +
                               std::to_string(status) + ", " + std::to_string(produced) + " bytes)");
    return true;
}
} // namespace

bool DecodePngRgb(const std::vector<uint8_t>& file, RgbPicture* out, std::string* why) {
    static const uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), SIGNATURE, 8) != 0) return Refuse(why, "not a PNG file");
    uint32_t width = 0, height = 0;
    uint8_t colourType = 0;
    std::vector<uint8_t> palette, compressed;
    bool ended = false;
    for (size_t at = 8; !ended;) {
        if (file.size() - at < 12) return Refuse(why, "the file ends inside a chunk");
        const uint32_t length = Big32(&file[at]);
        if (length > file.size() - at - 12) return Refuse(why, "a chunk runs past the end of the file");
        const uint8_t* type = &file[at + 4];
        const uint8_t* data = type + 4;
        const std::string name(reinterpret_cast<const char*>(type), 4);
        if (crc32(0, type, length + 4) != Big32(data + length))
            return Refuse(why, "the " + name + " chunk's checksum is wrong");
        if (name == "IHDR") {
            if (length != 13) return Refuse(why, "IHDR is not 13 bytes");
            width = Big32(data);
            height = Big32(data + 4);
            colourType = data[9];
            if (data[8] != 8 || (colourType != 2 && colourType != 3) || data[10] != 0 || data[11] != 0 ||
                data[12] != 0)
                return Refuse(why, "not 8-bit indexed or RGB pixels without interlace");
        } else if (name == "PLTE") {
            palette.assign(data, data + length);
        } else if (name == "IDAT") {
            compressed.insert(compressed.end(), data, data + length);
        } else if (name == "IEND") {
            ended = true;
        } else if (!(type[0] & 0x20)) {
            return Refuse(why, "a critical chunk this reader does not know: " + name);
        }
        at += 12 + size_t{length};
    }
    if (width == 0 || height == 0 || width > 16384 || height > 16384)
        return Refuse(why, "no IHDR or a bad size");
    const size_t channels = colourType == 3 ? 1 : 3;
    const size_t rowBytes = 1 + width * channels;
    std::vector<uint8_t> rows;
    if (!Inflate(compressed, rowBytes * height, &rows, why)) return false;
    out->width = width;
    out->height = height;
    out->rgb.assign(size_t{width} * height * 3, 0);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* row = &rows[y * rowBytes];
        if (row[0] != 0)
            return Refuse(why, "row " + std::to_string(y) + " uses filter " + std::to_string(row[0]));
        for (size_t x = 0; x < width; ++x) {
            uint8_t* pixel = &out->rgb[(y * width + x) * 3];
            if (channels == 3) {
                std::memcpy(pixel, row + 1 + x * 3, 3);
                continue;
            }
            const size_t entry = row[1 + x] * size_t{3};
            if (entry + 3 > palette.size())
                return Refuse(why, "pixel " + std::to_string(x) + "," + std::to_string(y) +
                                       " is past the palette");
            std::memcpy(pixel, &palette[entry], 3);
        }
    }
    return true;
}

bool ReadPngRgb(const std::string& path, RgbPicture* out, std::string* why) {
    std::string ignored;
    if (!why) why = &ignored;
#if defined(_WIN32)
    std::ifstream in(Utf8Path(path), std::ios::binary);
    if (!in) return Refuse(why, path + " cannot be read");
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return DecodePngRgb(file, out, why);
#else
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return Refuse(why, image.message);
    image.format = PNG_FORMAT_RGB;
    out->width = image.width;
    out->height = image.height;
    out->rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, out->rgb.data(), 0, nullptr)) return true;
    return Refuse(why, image.message);
#endif
}
