// Joystick 0 in the browser: the first connected gamepad of the Gamepad API, looked for anew at every
// reading so that one plugged in or out during play is followed.
#include <emscripten/html5.h>

#include <cmath>

#include "platform/input.h"
#include "platform/web/web_backend.h"

namespace {
// Standard-mapping buttons: the d-pad pushes the stick to its ends, as on the desktop.
constexpr int BUTTON_DPAD_UP = 12;
constexpr int BUTTON_DPAD_DOWN = 13;
constexpr int BUTTON_DPAD_LEFT = 14;
constexpr int BUTTON_DPAD_RIGHT = 15;
bool listening = false;

EM_BOOL OnGamepad(int, const EmscriptenGamepadEvent*, void*) {
    // Nothing to do here: registering at all is what makes the browser expose its gamepads.
    return EM_FALSE;
}

// -1..1 on the 0..65535 scale the controls' thresholds are written for; centre is 32768 as on SDL.
uint32_t AxisPosition(double value) {
    if (!(value >= -1.0)) value = -1.0; // NaN too
    if (value > 1.0) value = 1.0;
    return static_cast<uint32_t>(std::lround((value + 1.0) * 32767.5));
}

bool Pressed(const EmscriptenGamepadEvent& pad, int button) {
    return button < pad.numButtons && pad.digitalButton[button];
}
} // namespace

void WebGamepadStart() {
    if (listening) return;
    listening =
        emscripten_set_gamepadconnected_callback(nullptr, EM_TRUE, OnGamepad) == EMSCRIPTEN_RESULT_SUCCESS;
    emscripten_set_gamepaddisconnected_callback(nullptr, EM_TRUE, OnGamepad);
}

void WebGamepadStop() {
    emscripten_set_gamepadconnected_callback(nullptr, EM_TRUE, nullptr);
    emscripten_set_gamepaddisconnected_callback(nullptr, EM_TRUE, nullptr);
    listening = false;
}

bool PlatformReadJoystick(uint32_t id, PlatformJoystickState* state) {
    if (id != 0 || !state) return false;
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return false;
    const int count = emscripten_get_num_gamepads();
    for (int index = 0; index < count; ++index) {
        EmscriptenGamepadEvent pad;
        if (emscripten_get_gamepad_status(index, &pad) != EMSCRIPTEN_RESULT_SUCCESS || !pad.connected)
            continue;
        PlatformJoystickState s{32767, 32767, 0};
        if (pad.numAxes > 0) s.x = AxisPosition(pad.axis[0]);
        if (pad.numAxes > 1) s.y = AxisPosition(pad.axis[1]);
        if (Pressed(pad, BUTTON_DPAD_LEFT)) s.x = 0;
        if (Pressed(pad, BUTTON_DPAD_RIGHT)) s.x = 65535;
        if (Pressed(pad, BUTTON_DPAD_UP)) s.y = 0;
        if (Pressed(pad, BUTTON_DPAD_DOWN)) s.y = 65535;
        for (int button = 0; button < pad.numButtons && button < 32; ++button) {
            if (pad.digitalButton[button]) s.buttons |= 1u << button;
        }
        *state = s;
        return true;
    }
    return false;
}
