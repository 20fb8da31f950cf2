// The millisecond clock and its resolution.
#pragma once
#include <cstdint>

// Milliseconds since some fixed point; wraps after about 49.7 days.
uint32_t PlatformTimeGetTime();
void PlatformTimeBeginPeriod(uint32_t milliseconds);
void PlatformTimeEndPeriod(uint32_t milliseconds);
