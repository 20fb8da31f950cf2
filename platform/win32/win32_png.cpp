// Indexed-colour PNG files written without libpng (none is at hand for Windows builds): the chunks put
// together here, the pixels compressed and the checksums made by zlib.
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/png_file.h"
#include "platform/file.h"

namespace {
void PutBig(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBig(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig(out, static_cast<uint32_t>(crc32(0, &out[start], static_cast<uInt>(out.size() - start))));
}
} // namespace

bool WriteIndexedPng(const char* path, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                     const PaletteEntry palette[256]) {
    if (!path || !pixels || width <= 0 || height <= 0 || pitch < width) return false;
    // A missing folder fails the write, as libpng's writer does on Linux: callers make the folders they want.
    const std::string name(path);
    const std::filesystem::path target(std::u8string(name.begin(), name.end()));
    std::error_code error;
    if (target.has_parent_path() && !std::filesystem::is_directory(target.parent_path(), error)) return false;
    std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBig(header, static_cast<uint32_t>(width));
    PutBig(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 3, 0, 0, 0}); // 8-bit indices, no interlace
    PutChunk(file, "IHDR", header);
    std::vector<uint8_t> colours;
    for (int i = 0; i < 256; ++i)
        colours.insert(colours.end(), {palette[i].red, palette[i].green, palette[i].blue});
    PutChunk(file, "PLTE", colours);
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(width + 1) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        raw.insert(raw.end(), row, row + width);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return false;
    packed.resize(packedSize);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});
    // The path is the platform's own; written whole or not at all.
    return PlatformReplaceFile(path, file.data(), file.size());
}
