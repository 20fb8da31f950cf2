// Reading PCM WAV files into memory.
#pragma once
#include <cstdint>

// The "fmt " chunk's contents as stored (up to 18 bytes).
struct WaveFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
};

struct WaveFile {
    WaveFormat format;
    uint8_t* data; // owned
    uint32_t size;
};

bool LoadWaveFile(const char* path, WaveFile* wave);
void FreeWaveFile(WaveFile* wave);
