// The game's one random generator. It is our own, so every platform draws the same sequence.
#include "base/random.h"

namespace qm {
namespace {
uint32_t randomState = 1;
uint32_t randomSeed = 1;
} // namespace

void srand(uint32_t seed) {
    randomState = seed;
    randomSeed = seed;
}

int32_t rand() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}

uint32_t RandomSeed() {
    return randomSeed;
}

uint32_t RandomState() {
    return randomState;
}
} // namespace qm
