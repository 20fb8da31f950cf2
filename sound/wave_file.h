// Reading PCM WAV files into memory.
#pragma once
#include <cstdint>

#include "platform/audio.h"

// The "fmt " chunk's contents as stored (up to 18 bytes): the PCM format block a buffer is made in, and
// the extra size PCM does not use.
struct WaveFormat : PlatformPcmFormat {
    uint16_t extraSize;
};

struct WaveFile {
    WaveFormat format;
    uint8_t* data; // owned
    uint32_t size;
};

bool LoadWaveFile(const char* path, WaveFile* wave);
void FreeWaveFile(WaveFile* wave);
