// The rules of a stage in play: the light level, opening a closed tile, the ambient sounds.
#pragma once
#include <cstdint>

// Frames a released enemy waits before it acts.
constexpr int32_t RELEASE_DELAY = 100;
constexpr int32_t LIGHT_PER_OPENING = 3000;
constexpr int32_t LIGHT_DECAY = 4;
// The ambient cries' random volume (hundredths of a decibel) and pan, each drawn evenly over its range.
constexpr int32_t AMBIENT_VOLUME_LOWEST = -1000;
constexpr int32_t AMBIENT_VOLUME_HIGHEST = 0;
constexpr int32_t AMBIENT_PAN_WIDEST = 5000;

void UpdateLight();
void AddLight(int32_t delta);
bool OpenClosedTile(int32_t column, int32_t row);
void PlayAmbientSound();
