// The game's one random generator. It is our own, so every platform draws the same sequence.
#pragma once
#include <cstdint>

// In a namespace only so it does not collide with the C library's functions of the same names.
namespace qm {
void srand(uint32_t seed);
// 0..32767.
int32_t rand();
// The generator's state, for replays and traces.
uint32_t RandomState();
// The value last given to srand (1 before any), so a recording can say what the run was seeded with.
uint32_t RandomSeed();
} // namespace qm
