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
// Off at process start (the runner and the tests spin for the whole wait). On, the gate sleeps through
// most of the wait; frames still open on the same milliseconds.
void SetLowPowerGate(bool on);
// The desktop games' choice from the value of QUILLMARSH_LOW_POWER (null when unset): the low-power gate,
// unless the value is "0", which keeps the spinning wait.
bool LowPowerGateWanted(const char* setting);
// Called as each frame's gate opens and after its present (for the frame log); null for none.
void SetFrameObservers(void (*opened)(), void (*presented)());
