// Writers for the file formats the game reads: 8-bit BMP, PCM WAV, and plain byte files.
#include "tools/assets/file_writers.h"

#include "platform/file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

namespace assets {

void PutLE16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v & 0xFF));
    out->push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutLE32(std::vector<uint8_t>* out, uint32_t v) {
    PutLE16(out, v & 0xFFFF);
    PutLE16(out, v >> 16);
}

static void PutTag(std::vector<uint8_t>* out, const char tag[5]) {
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<uint8_t>(tag[i]));
}

uint32_t GetLE16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t GetLE32(const uint8_t* p) {
    return GetLE16(p) | GetLE16(p + 2) << 16;
}

void PutDibHeader(std::vector<uint8_t>* out, uint32_t width, uint32_t height, uint32_t imageBytes,
                  uint32_t pixelsPerMetre, const Rgb palette[256]) {
    PutLE32(out, 40);
    PutLE32(out, width);
    PutLE32(out, height);
    PutLE16(out, 1);
    PutLE16(out, 8);
    PutLE32(out, 0); // no compression
    PutLE32(out, imageBytes);
    PutLE32(out, pixelsPerMetre);
    PutLE32(out, pixelsPerMetre);
    PutLE32(out, 256);
    PutLE32(out, 0);
    for (int i = 0; i < 256; ++i) {
        out->push_back(palette[i].b);
        out->push_back(palette[i].g);
        out->push_back(palette[i].r);
        out->push_back(0);
    }
}

std::vector<uint8_t> EncodeBitmap(const Canvas& c, const Rgb palette[256]) {
    const uint32_t stride = (static_cast<uint32_t>(c.width) + 3u) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(c.height);
    const uint32_t offset = 14 + 40 + 256 * 4;
    std::vector<uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    PutLE32(&out, offset + imageSize);
    PutLE32(&out, 0);
    PutLE32(&out, offset);
    // Positive height: rows stored bottom-up. 2835 pixels a metre is 72 dpi.
    PutDibHeader(&out, static_cast<uint32_t>(c.width), static_cast<uint32_t>(c.height), imageSize, 2835,
                 palette);
    for (int y = c.height - 1; y >= 0; --y) {
        for (int x = 0; x < c.width; ++x)
            out.push_back(GetPixel(c, x, y));
        for (uint32_t pad = static_cast<uint32_t>(c.width); pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> EncodeWave(const std::vector<double>& samples, int sampleRate) {
    const uint32_t dataSize = static_cast<uint32_t>(samples.size()) * 2u;
    std::vector<uint8_t> out;
    out.reserve(44 + dataSize);
    PutTag(&out, "RIFF");
    PutLE32(&out, 4 + 8 + 16 + 8 + dataSize);
    PutTag(&out, "WAVE");
    PutTag(&out, "fmt ");
    PutLE32(&out, 16);
    PutLE16(&out, 1); // PCM
    PutLE16(&out, 1); // mono
    PutLE32(&out, static_cast<uint32_t>(sampleRate));
    PutLE32(&out, static_cast<uint32_t>(sampleRate) * 2u);
    PutLE16(&out, 2);
    PutLE16(&out, 16);
    PutTag(&out, "data");
    PutLE32(&out, dataSize);
    for (double s : samples) {
        long v = std::lround(s * 32767.0);
        if (v > 32767) v = 32767;
        if (v < -32768) v = -32768;
        PutLE16(&out, static_cast<uint32_t>(v) & 0xFFFFu);
    }
    return out;
}

namespace {
// Names are UTF-8; said so, they keep their characters on Windows too, whatever its code page.
std::filesystem::path Utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

// As the game opens its files: a pipe in a file's place is turned away, not waited on.
FILE* OpenUtf8(const std::string& path, const char* mode) {
    return PlatformOpenNative(path, mode);
}
} // namespace

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = OpenUtf8(path, "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

namespace {
// At most limit + 1 bytes: the one past the limit tells a longer file (or an endless device) from one that
// fits.
bool ReadUpTo(const std::string& path, size_t limit, std::vector<uint8_t>* bytes, std::string* why) {
    bytes->clear();
    std::string reason;
    std::string* said = why ? why : &reason;
    said->clear();
    std::error_code ec;
    // Opened, a folder reads as an error with no useful reason on some systems and as nothing on others.
    if (std::filesystem::is_directory(Utf8Path(path), ec)) {
        *said = "it is a folder";
        return false;
    }
    FILE* f = OpenUtf8(path, "rb");
    if (!f) {
        *said = errno == ENOENT ? "it is missing" : errno == ENXIO ? "it is a pipe or socket" : std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> buffer(65536);
    size_t n;
    errno = 0;
    try {
        while (bytes->size() <= limit &&
               (n = std::fread(buffer.data(), 1, std::min(buffer.size(), limit + 1 - bytes->size()), f)) > 0)
            bytes->insert(bytes->end(), buffer.data(), buffer.data() + n);
    } catch (const std::bad_alloc&) {
        std::fclose(f);
        bytes->clear();
        *said = "not enough memory to read it";
        return false;
    }
    const int readError = errno;
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        bytes->clear();
        *said = readError ? std::strerror(readError) : "it cannot be read";
        return false;
    }
    return true;
}
} // namespace

bool ReadBytesFromFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* why) {
    std::string reason;
    std::string* said = why ? why : &reason;
    if (!ReadUpTo(path, kMaxReadBytes, bytes, said)) return false;
    std::error_code ec;
    if (bytes->size() > kMaxReadBytes) {
        bytes->clear();
        const uintmax_t size = std::filesystem::file_size(Utf8Path(path), ec);
        *said =
            "it is over 64 MB (" +
            (!ec && size > kMaxReadBytes ? std::to_string(size) + " bytes" : std::string("it does not end")) +
            "), far more than any file of the game";
        return false;
    }
    return true;
}

bool ReadFileStart(const std::string& path, size_t limit, std::vector<uint8_t>* bytes, std::string* why) {
    std::string reason;
    if (!ReadUpTo(path, limit, bytes, why ? why : &reason)) return false;
    if (bytes->size() > limit) bytes->resize(limit);
    return true;
}

bool MakeFolder(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(Utf8Path(path), ec);
    return std::filesystem::is_directory(Utf8Path(path), ec);
}

} // namespace assets
