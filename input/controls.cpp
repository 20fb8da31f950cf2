// The joystick and keyboard sampled once per frame into one control record.
#include "input/controls.h"

#include "platform/input.h"
#include "platform/window.h"

InputState inputState = {};

bool SampleControls(InputState* input, uint32_t joystickId, uint32_t sourceFlags) {
    PlatformJoystickState joystick{};
    const bool joystickRead = PlatformReadJoystick(joystickId, &joystick);
    bool joystickSteers = false;
    bool joystickPresses = false;
    if (joystickRead && (sourceFlags & CONTROL_SOURCE_JOYSTICK)) {
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
        if (PlatformKeyHeld(VK_LEFT)) {
            input->direction -= 1;
            input->dirBits |= DIR_LEFT;
        }
        if (PlatformKeyHeld(VK_RIGHT)) {
            input->direction += 1;
            input->dirBits |= DIR_RIGHT;
        }
        if (PlatformKeyHeld(VK_UP)) {
            input->direction -= 3;
            input->dirBits |= DIR_UP;
        }
        if (PlatformKeyHeld(VK_DOWN)) {
            input->direction += 3;
            input->dirBits |= DIR_DOWN;
        }
    }
    if (!joystickPresses) {
        input->buttons = 0;
        if (PlatformKeyHeld(VK_Z)) input->buttons |= BUTTON_1;
        if (PlatformKeyHeld(VK_X)) input->buttons |= BUTTON_2;
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
