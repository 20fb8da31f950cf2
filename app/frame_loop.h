// One frame of the game, and the gate that paces frames.
#pragma once
#include <cstdint>

constexpr uint32_t FRAME_RATE = 85;

bool RunFrame();
bool FrameTimer(uint32_t rate);
// Forgets the gate's state, as at process start.
void ResetFrameTimer();
// The gate's next opening time (for traces and tests).
uint32_t FrameTimerNext();
