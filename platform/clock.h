// The millisecond clock and its resolution.
#pragma once
#include <cstdint>

// Milliseconds since some fixed point; wraps after about 49.7 days.
uint32_t PlatformTimeGetTime();
void PlatformTimeBeginPeriod(uint32_t milliseconds);
void PlatformTimeEndPeriod(uint32_t milliseconds);
// Gives the processor away for about that many milliseconds (the headless clock just moves on).
void PlatformSleep(uint32_t milliseconds);
