// The trace of a run: one JSON object per presented frame with the game's records, its sounds and hashes of
// the picture, so two runs can be compared line by line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/display_device.h"

// One DSPlay: the group's index in soundGroups, the buffer it restarted, that buffer's volume and pan.
struct FrameSound {
    int32_t id;
    int32_t buffer;
    int32_t volume;
    int32_t pan;
};

// Collects every DSPlay from now on, until StopSoundCapture.
void StartSoundCapture();
void StopSoundCapture();
// The sounds played since the last call (or since the capture started), oldest first.
std::vector<FrameSound> TakeFrameSounds();

// 64-bit FNV-1a (offset basis 0xcbf29ce484222325, prime 0x100000001b3) of the bytes.
uint64_t Fnv1a64(const uint8_t* bytes, size_t count);
// Of the 256 entries' bytes red, green, blue, flags, entry 0 first.
uint64_t PaletteHash(const PaletteEntry palette[256]);
// Of the 320 x 240 indices, row by row from the top, each row from the left.
uint64_t ImageHash(const uint8_t* indices);
// 16 lower-case hex digits.
std::string HashText(uint64_t hash);

struct FramePicture {
    const uint8_t* indices;      // 320 x 240, rows 320 bytes apart
    const PaletteEntry* palette; // the 256 entries it was shown with
};

// The frame's line (without the newline) from the game's records as they are now. withEnemies adds every
// enemy under enemies.list.
std::string FrameTraceLine(uint32_t frame, uint32_t time, const std::vector<FrameSound>& sounds,
                           const FramePicture& picture, bool withEnemies);
