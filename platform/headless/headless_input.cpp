// The headless backend's keyboard and joystick: set by the caller, read at sampling time.
#include "platform/headless/headless_input.h"

namespace {
bool keys[256] = {};
bool joystickConnected = false;
PlatformJoystickState joystick{32767, 32767, 0};
} // namespace

void HeadlessSetKey(uintptr_t virtualKey, bool held) {
    if (virtualKey < 256) keys[virtualKey] = held;
}

void HeadlessReleaseAllKeys() {
    for (bool& k : keys)
        k = false;
}

void HeadlessSetJoystick(bool connected, uint32_t x, uint32_t y, uint32_t buttons) {
    joystickConnected = connected;
    joystick = PlatformJoystickState{x, y, buttons};
}

bool PlatformKeyHeld(uintptr_t virtualKey) {
    return virtualKey < 256 && keys[virtualKey];
}

bool PlatformReadJoystick(uint32_t id, PlatformJoystickState* state) {
    if (id != 0 || !joystickConnected) return false;
    *state = joystick;
    return true;
}
