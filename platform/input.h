// The held keys and joystick 0, read at sampling time.
#pragma once
#include <cstdint>

struct PlatformJoystickState {
    uint32_t x;       // 0..65535, 32767 centred
    uint32_t y;       // 0..65535
    uint32_t buttons; // bit n = button n + 1 held
};

// Whether the key with this virtual-key code (VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_Z, VK_X) is held now.
bool PlatformKeyHeld(uintptr_t virtualKey);
// False when there is no such joystick or it cannot be read.
bool PlatformReadJoystick(uint32_t id, PlatformJoystickState* state);
