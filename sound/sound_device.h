// The sound device, its primary format, and buffers made from WAV files.
#pragma once
#include <cstdint>

#include "platform/audio.h"
#include "platform/window.h"

// Empty until DS_Init has opened the device; while it is empty every sound operation succeeds doing nothing.
extern PlatformSoundDevice* soundDevice;
// Carries the output format only.
extern PlatformSoundBuffer* primaryBuffer;

bool DS_Init(PlatformWindow window, int32_t samplesPerSec, int32_t bitsPerSample, int32_t channels);
void DS_Release();
bool DSCreateBufferFromFile(PlatformSoundBuffer** slot, const char* path);
bool DSDuplicateBuffer(PlatformSoundBuffer** slot, PlatformSoundBuffer* source);
