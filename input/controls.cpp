// The joystick and keyboard sampled once per frame into one control record.
#include "input/controls.h"

#include "platform/window.h"

InputState inputState = {};

namespace {
void (*sampleObserver)(const ControlSample*) = nullptr;
void (*sampleSource)(ControlSample*) = nullptr;

// The six keys in the order of ControlSample::keys.
constexpr uintptr_t SAMPLED_KEYS[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_Z, VK_X};
constexpr uint8_t KEY_LEFT = 1, KEY_RIGHT = 2, KEY_UP = 4, KEY_DOWN = 8, KEY_Z = 16, KEY_X = 32;
} // namespace

void SetControlSampleObserver(void (*observer)(const ControlSample* sample)) {
    sampleObserver = observer;
}

void SetControlSampleSource(void (*source)(ControlSample* sample)) {
    sampleSource = source;
}

bool SampleControls(InputState* input, uint32_t joystickId, uint32_t sourceFlags) {
    // Everything is read once, up front, so the observer and the record see the same state.
    ControlSample sample{};
    if (sampleSource) {
        sampleSource(&sample);
        if (!(sourceFlags & CONTROL_SOURCE_KEYBOARD)) sample.keys = 0;
    } else {
        sample.joystickRead = PlatformReadJoystick(joystickId, &sample.joystick);
        if (sourceFlags & CONTROL_SOURCE_KEYBOARD) {
            for (uint8_t i = 0; i < 6; ++i) {
                if (PlatformKeyHeld(SAMPLED_KEYS[i])) sample.keys |= static_cast<uint8_t>(1u << i);
            }
        }
    }
    if (sampleObserver) sampleObserver(&sample);
    const PlatformJoystickState& joystick = sample.joystick;
    bool joystickSteers = false;
    bool joystickPresses = false;
    if (sample.joystickRead && (sourceFlags & CONTROL_SOURCE_JOYSTICK)) {
        input->direction = 5;
        input->dirBits = 0;
        if (joystick.x <= JOYSTICK_LOW) {
            input->direction = 4;
            input->dirBits = DIR_LEFT;
        } else if (joystick.x >= JOYSTICK_HIGH) {
            input->direction = 6;
            input->dirBits = DIR_RIGHT;
        }
        if (joystick.y <= JOYSTICK_LOW) {
            input->direction -= 3;
            input->dirBits |= DIR_UP;
        } else if (joystick.y >= JOYSTICK_HIGH) {
            input->direction += 3;
            input->dirBits |= DIR_DOWN;
        }
        joystickSteers = input->direction != 5;
        input->buttons = 0;
        if (joystick.buttons & input->joyButton1) input->buttons = BUTTON_1;
        if (joystick.buttons & input->joyButton2) input->buttons |= BUTTON_2;
        joystickPresses = input->buttons != 0;
    }
    if (!(sourceFlags & CONTROL_SOURCE_KEYBOARD)) return true;
    // The keyboard fills in only the half the joystick leaves neutral.
    if (!joystickSteers) {
        input->direction = 5;
        input->dirBits = 0;
        if (sample.keys & KEY_LEFT) {
            input->direction -= 1;
            input->dirBits |= DIR_LEFT;
        }
        if (sample.keys & KEY_RIGHT) {
            input->direction += 1;
            input->dirBits |= DIR_RIGHT;
        }
        if (sample.keys & KEY_UP) {
            input->direction -= 3;
            input->dirBits |= DIR_UP;
        }
        if (sample.keys & KEY_DOWN) {
            input->direction += 3;
            input->dirBits |= DIR_DOWN;
        }
    }
    if (!joystickPresses) {
        input->buttons = 0;
        if (sample.keys & KEY_Z) input->buttons |= BUTTON_1;
        if (sample.keys & KEY_X) input->buttons |= BUTTON_2;
    }
    return true;
}

void SetDefaultButtons(InputState* input) {
    input->joyButton1 = 1;
    input->joyButton2 = 2;
}

void LatchButtons(InputState* input) {
    const uint16_t held = input->buttons;
    if (input->buttonLatch == 1 && input->buttons != 0) input->buttons = 0;
    if ((input->buttons & (BUTTON_1 | BUTTON_2)) && input->buttonLatch == 0) {
        input->buttonLatch = 1;
    } else if (held != 0) {
        input->buttons = 0;
    } else {
        input->buttonLatch = 0;
    }
}
