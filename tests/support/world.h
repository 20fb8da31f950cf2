// Test helpers for the world: maps made in memory, an independent copy of the random generator, sounds.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sound/sound_group.h"

// Replaces the current map with one of width x height cells of `kind`, laid out as the loader does.
void MakeTestMap(int32_t width, int32_t height, uint8_t kind);
void SetTile(int32_t column, int32_t row, uint8_t kind);
uint8_t GetTile(int32_t column, int32_t row);
// A stage file's bytes for a map of width x height cells of `kind`.
std::vector<uint8_t> StageBytes(int32_t width, int32_t height, uint8_t kind);

// The generator written out again from its definition, so expected draws do not come from the game's code.
struct ModelRandom {
    uint32_t state;
    int32_t Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int32_t>((state >> 16) & 0x7FFF);
    }
};

// One draw wanted of the generator: the draw modulo `modulus` equals `value`; modulus 0 takes any draw.
struct WantedDraw {
    int32_t modulus;
    int32_t value;
};
// The first seed whose next draws, in order, are the wanted ones (searched with the model above), so a test
// can put a draw on either side of a rule's threshold. The search takes about as many steps as the product of
// the moduli, so keep that to a few million.
uint32_t SeedFor(const std::vector<WantedDraw>& draws);

// How many times a buffer of the sound's group was played so far.
int32_t PlaysOf(SoundId id);

// The last presented picture through its palette, as a PPM, for a person to look at.
void WriteFramePicture(const std::string& path);
// Writes the picture as NAME.ppm beside QUILLMARSH_WORLD_PICTURE's prefix when that is set.
void MaybeWriteFramePicture(const std::string& name);
