// Controls of the headless backend's keyboard and joystick: set by the caller, read at sampling time.
#pragma once
#include <cstdint>

#include "platform/input.h"

void HeadlessSetKey(uintptr_t virtualKey, bool held);
void HeadlessReleaseAllKeys();
// A connected joystick reports this state; a disconnected one cannot be read.
void HeadlessSetJoystick(bool connected, uint32_t x, uint32_t y, uint32_t buttons);
