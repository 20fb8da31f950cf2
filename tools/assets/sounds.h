// The eleven synthesised sound effects, in the order of the game's sound table.
#pragma once
#include <vector>

namespace assets {

constexpr int kSoundRate = 22050;
constexpr int kSoundCount = 11;

// The rusty door (sound 1): the creak runs up to kDoorThudAt seconds, then the door thuds shut,
// about kDoorThudOverCreakDb louder (RMS) than the creak.
constexpr double kDoorThudAt = 1.32;
constexpr double kDoorThudOverCreakDb = 3.0;

// Samples in [-1, 1] at kSoundRate for sound `id` (0 cursor, 1 door, 2 open, 3 appear, 4 seal,
// 5 pause, 6 death, 7 scream, 8 groan, 9 child, 10 help); empty for any other id.
std::vector<double> MakeSound(int id);

} // namespace assets
