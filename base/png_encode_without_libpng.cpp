// Indexed-colour PNG files put together in memory without libpng, which the Windows and browser builds
// lack: the chunks are made here; on Windows zlib compresses the pixels and makes the checksums. Debian's
// Emscripten has no zlib, so the browser build stores the pixels in uncompressed deflate blocks (which
// every reader accepts) with checksums of its own; there only the runner under Node writes pictures.
#if !defined(__EMSCRIPTEN__)
#include <zlib.h>
#endif

#include "base/png_encode.h"

namespace {
#if defined(__EMSCRIPTEN__)
uint32_t Crc(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// A zlib stream of stored blocks, at most 65535 bytes each.
bool Deflate(const std::vector<uint8_t>& raw, std::vector<uint8_t>* out) {
    *out = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t size = raw.size() - at < 65535 ? raw.size() - at : 65535;
        out->insert(out->end(), {static_cast<uint8_t>(at + size == raw.size() ? 1 : 0),
                                 static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                                 static_cast<uint8_t>(~size), static_cast<uint8_t>(~size >> 8)});
        out->insert(out->end(), raw.begin() + static_cast<ptrdiff_t>(at),
                    raw.begin() + static_cast<ptrdiff_t>(at + size));
        at += size;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    const uint32_t adler = b << 16 | a;
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(static_cast<uint8_t>(adler >> shift));
    return true;
}
#else
uint32_t Crc(const uint8_t* bytes, size_t size) {
    return static_cast<uint32_t>(crc32(0, bytes, static_cast<uInt>(size)));
}

bool Deflate(const std::vector<uint8_t>& raw, std::vector<uint8_t>* out) {
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    out->resize(packedSize);
    if (compress2(out->data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return false;
    out->resize(packedSize);
    return true;
}
#endif

void PutBig(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBig(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig(out, Crc(&out[start], out.size() - start));
}
} // namespace

bool EncodeIndexedPng(const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                      const uint8_t colours[256 * 3], std::vector<uint8_t>* png) {
    if (!pixels || !colours || !png || width <= 0 || height <= 0 || pitch < width) return false;
    std::vector<uint8_t>& file = *png;
    file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBig(header, static_cast<uint32_t>(width));
    PutBig(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 3, 0, 0, 0}); // 8-bit indices, no interlace
    PutChunk(file, "IHDR", header);
    PutChunk(file, "PLTE", std::vector<uint8_t>(colours, colours + 256 * 3));
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(width + 1) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        raw.insert(raw.end(), row, row + width);
    }
    std::vector<uint8_t> packed;
    if (!Deflate(raw, &packed)) return false;
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});
    return true;
}
