// Pictures of the game written as PNG files: screenshots, replays' pictures, whole stages for modders.
#pragma once
#include <cstdint>

#include "platform/display_device.h"

// Writes width x height palette indices (rows `pitch` bytes apart) as an indexed-colour PNG through the
// 256 entries of `palette`. The path is the platform's own (forward slashes on Linux); its folder must
// exist. False on failure, with nothing left behind.
bool WriteIndexedPng(const char* path, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                     const PaletteEntry palette[256]);
