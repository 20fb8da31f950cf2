// Reading PCM WAV files into memory: our own RIFF walk, so every platform accepts exactly the same files.
#include "sound/wave_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file.h"

namespace {
constexpr uint32_t FORMAT_CHUNK_MAX = 18;

uint32_t Le16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}
uint32_t Le32(const uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}

bool ReadAt(FILE* file, uint64_t offset, void* out, size_t bytes) {
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, bytes, file) == bytes;
}

// Chunks are word-aligned: an odd-sized chunk is followed by one pad byte.
uint64_t NextChunk(uint64_t at, uint32_t size) {
    return at + 8 + size + (size & 1u);
}

WaveFormat ParseFormat(const uint8_t raw[FORMAT_CHUNK_MAX]) {
    WaveFormat f;
    f.formatTag = static_cast<uint16_t>(Le16(raw));
    f.channels = static_cast<uint16_t>(Le16(raw + 2));
    f.samplesPerSec = Le32(raw + 4);
    f.avgBytesPerSec = Le32(raw + 8);
    f.blockAlign = static_cast<uint16_t>(Le16(raw + 12));
    f.bitsPerSample = static_cast<uint16_t>(Le16(raw + 14));
    f.extraSize = static_cast<uint16_t>(Le16(raw + 16));
    return f;
}

// Every size read from the file is checked against the bytes really there before it is used, so a
// damaged file can neither make us allocate a size it made up nor read past its end.
bool ReadWave(FILE* file, WaveFile* wave) {
    if (std::fseek(file, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file);
    if (end < 0) return false;
    const uint64_t fileSize = static_cast<uint64_t>(end);

    // The RIFF chunk of form "WAVE"; other top-level chunks are stepped over.
    uint64_t at = 0;
    uint64_t riffEnd = 0;
    for (;;) {
        uint8_t header[12];
        if (at + 12 > fileSize || !ReadAt(file, at, header, sizeof header)) return false;
        const uint32_t size = Le32(header + 4);
        if (at + 8 + size > fileSize) return false;
        if (std::memcmp(header, "RIFF", 4) == 0 && size >= 4 && std::memcmp(header + 8, "WAVE", 4) == 0) {
            riffEnd = at + 8 + size;
            at += 12;
            break;
        }
        at = NextChunk(at, size);
    }

    // "fmt " first; "data" counts only after it. Anything else, a "data" before "fmt " included, is skipped.
    bool haveFormat = false;
    WaveFormat format{};
    while (at + 8 <= riffEnd) {
        uint8_t header[8];
        if (!ReadAt(file, at, header, sizeof header)) return false;
        const uint32_t size = Le32(header + 4);
        if (at + 8 + size > riffEnd) return false;
        if (!haveFormat && std::memcmp(header, "fmt ", 4) == 0) {
            if (size > FORMAT_CHUNK_MAX) return false;
            uint8_t raw[FORMAT_CHUNK_MAX] = {};
            if (size > 0 && !ReadAt(file, at + 8, raw, size)) return false;
            format = ParseFormat(raw);
            if (format.formatTag != 1) return false;
            haveFormat = true;
        } else if (haveFormat && std::memcmp(header, "data", 4) == 0) {
            uint8_t* data = nullptr;
            if (size > 0) {
                data = static_cast<uint8_t*>(std::malloc(size));
                if (!data) return false;
                if (!ReadAt(file, at + 8, data, size)) {
                    std::free(data);
                    return false;
                }
            }
            wave->format = format;
            wave->data = data;
            wave->size = size;
            return true;
        }
        at = NextChunk(at, size);
    }
    return false;
}
} // namespace

bool LoadWaveFile(const char* path, WaveFile* wave) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (!file) return false;
    const bool loaded = ReadWave(file, wave);
    std::fclose(file);
    return loaded;
}

void FreeWaveFile(WaveFile* wave) {
    std::free(wave->data);
    wave->data = nullptr;
}
