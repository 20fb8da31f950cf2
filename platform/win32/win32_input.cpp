// The Windows backend's controls: the keyboard as it is now and joystick 0 through WinMM.
#include "platform/input.h"
#include "platform/win32/win32_backend.h"

bool PlatformKeyHeld(uintptr_t virtualKey) {
    return (GetAsyncKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0;
}

bool PlatformReadJoystick(uint32_t id, PlatformJoystickState* state) {
    if (!state) return false;
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNALL;
    if (joyGetPosEx(id, &info) != JOYERR_NOERROR) return false;
    *state = PlatformJoystickState{info.dwXpos, info.dwYpos, info.dwButtons};
    return true;
}
