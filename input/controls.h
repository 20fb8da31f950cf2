// The joystick and keyboard sampled once per frame into one control record.
#pragma once
#include <cstdint>

#include "platform/input.h"

constexpr uint16_t DIR_LEFT = 1;
constexpr uint16_t DIR_RIGHT = 2;
constexpr uint16_t DIR_UP = 4;
constexpr uint16_t DIR_DOWN = 8;

constexpr uint16_t BUTTON_1 = 1;
constexpr uint16_t BUTTON_2 = 2;

constexpr uint32_t CONTROL_SOURCE_JOYSTICK = 1;
constexpr uint32_t CONTROL_SOURCE_KEYBOARD = 2;

// Raw axis values at or beyond these count as a tilt.
constexpr uint32_t JOYSTICK_LOW = 10000;
constexpr uint32_t JOYSTICK_HIGH = 55535;

struct InputState {
    uint16_t dirBits;
    uint16_t buttons;
    uint16_t dirHistory; // reserved
    int32_t direction;   // 1..9 as on a telephone keypad, 5 = none
    uint32_t repeatH;    // reserved
    uint32_t repeatV;    // reserved
    int32_t buttonLatch;
    uint16_t joyButton1;
    uint16_t joyButton2;
};

extern InputState inputState;

// What one sample read from the platform: the held keys (bit n = the n-th of left, right, up, down, Z, X;
// all clear when the keyboard was not asked) and the joystick, when it could be read.
struct ControlSample {
    uint8_t keys;
    bool joystickRead;
    PlatformJoystickState joystick;
};

bool SampleControls(InputState* input, uint32_t joystickId, uint32_t sourceFlags);
// Hands every sample's raw reading to observer (null to stop), so a recording sees exactly what the frame
// saw.
void SetControlSampleObserver(void (*observer)(const ControlSample* sample));
// Takes every sample from source instead of the keyboard and joystick (null: from them again), so a replay
// is sampled exactly as the live devices would be.
void SetControlSampleSource(void (*source)(ControlSample* sample));
void SetDefaultButtons(InputState* input);
void LatchButtons(InputState* input);
