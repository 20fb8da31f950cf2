// One frame of the game, and the gate that paces frames.
#pragma once
#include <cstdint>

constexpr uint32_t FRAME_RATE = 85;
// The low-power gate sleeps until this many milliseconds before the deadline and spins the rest.
constexpr uint32_t LOW_POWER_SPIN_MS = 2;

bool RunFrame();
bool FrameTimer(uint32_t rate);
// Forgets the gate's state, as at process start.
void ResetFrameTimer();
// The gate's next opening time (for traces and tests).
uint32_t FrameTimerNext();
// Off by default: the gate spins for the whole wait. On, it sleeps through most of it; frames still open
// on the same milliseconds.
void SetLowPowerGate(bool on);
// Called as each frame's gate opens and after its present (for the frame log); null for none.
void SetFrameObservers(void (*opened)(), void (*presented)());
