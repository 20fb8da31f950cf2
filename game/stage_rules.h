// The rules of a stage in play: the light level, opening a closed tile, the ambient sounds.
#pragma once
#include <cstdint>

// Frames a released enemy waits before it acts.
constexpr int32_t RELEASE_DELAY = 100;
constexpr int32_t LIGHT_PER_OPENING = 3000;
constexpr int32_t LIGHT_DECAY = 4;

void UpdateLight();
void AddLight(int32_t delta);
bool OpenClosedTile(int32_t column, int32_t row);
void PlayAmbientSound();
