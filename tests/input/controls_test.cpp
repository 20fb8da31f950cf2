// Control sampling: keyboard combinations, joystick thresholds and precedence, and the one-shot latch.
#include <gtest/gtest.h>

#include <vector>

#include "input/controls.h"
#include "platform/headless/headless_input.h"
#include "platform/window.h"
#include "tests/support/reset.h"

namespace {
class ControlsTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        SetDefaultButtons(&input);
    }

    static void Hold(const std::vector<uintptr_t>& keys) {
        HeadlessReleaseAllKeys();
        for (uintptr_t k : keys)
            HeadlessSetKey(k, true);
    }

    void Sample(uint32_t flags = CONTROL_SOURCE_JOYSTICK | CONTROL_SOURCE_KEYBOARD) {
        EXPECT_TRUE(SampleControls(&input, 0, flags));
    }

    InputState input{};
};

constexpr uint32_t CENTRE = 32767;

TEST_F(ControlsTest, NothingHeldIsNoDirectionAndNoButtons) {
    input.direction = 3;
    input.dirBits = 9;
    input.buttons = 3;
    Sample();
    EXPECT_EQ(input.direction, 5);
    EXPECT_EQ(input.dirBits, 0);
    EXPECT_EQ(input.buttons, 0);
}

TEST_F(ControlsTest, KeyboardCombinations) {
    struct Case {
        std::vector<uintptr_t> keys;
        int32_t direction;
        uint16_t dirBits;
    };
    const Case cases[] = {
        {{VK_LEFT}, 4, DIR_LEFT},
        {{VK_RIGHT}, 6, DIR_RIGHT},
        {{VK_UP}, 2, DIR_UP},
        {{VK_DOWN}, 8, DIR_DOWN},
        {{VK_LEFT, VK_UP}, 1, 5},
        {{VK_UP, VK_RIGHT}, 3, 6},
        {{VK_LEFT, VK_DOWN}, 7, 9},
        {{VK_DOWN, VK_RIGHT}, 9, 10},
        {{VK_LEFT, VK_RIGHT}, 5, 3},
        {{VK_UP, VK_DOWN}, 5, 12},
        {{VK_UP, VK_LEFT, VK_RIGHT}, 2, 7},
        {{VK_DOWN, VK_UP, VK_RIGHT}, 6, 14},
        {{VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}, 5, 15},
    };
    for (const Case& c : cases) {
        Hold(c.keys);
        Sample();
        EXPECT_EQ(input.direction, c.direction)
            << "case with " << c.keys.size() << " keys, bits " << c.dirBits;
        EXPECT_EQ(input.dirBits, c.dirBits);
        EXPECT_EQ(input.buttons, 0);
    }
    Hold({VK_Z});
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_1);
    Hold({VK_X});
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_2);
    Hold({VK_Z, VK_X, VK_SPACE});
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_1 | BUTTON_2);
    EXPECT_EQ(input.direction, 5);
}

TEST_F(ControlsTest, JoystickThresholdsOnBothAxes) {
    struct Case {
        uint32_t x, y;
        int32_t direction;
        uint16_t dirBits;
    };
    const Case cases[] = {
        {10000, CENTRE, 4, DIR_LEFT},
        {10001, CENTRE, 5, 0},
        {55535, CENTRE, 6, DIR_RIGHT},
        {55534, CENTRE, 5, 0},
        {0, CENTRE, 4, DIR_LEFT},
        {65535, CENTRE, 6, DIR_RIGHT},
        {CENTRE, 10000, 2, DIR_UP},
        {CENTRE, 10001, 5, 0},
        {CENTRE, 55535, 8, DIR_DOWN},
        {CENTRE, 55534, 5, 0},
        {0, 0, 1, 5},
        {65535, 65535, 9, 10},
        {10000, 55535, 7, 9},
        {55535, 10000, 3, 6},
    };
    for (const Case& c : cases) {
        HeadlessSetJoystick(true, c.x, c.y, 0);
        Sample();
        EXPECT_EQ(input.direction, c.direction) << "x " << c.x << " y " << c.y;
        EXPECT_EQ(input.dirBits, c.dirBits) << "x " << c.x << " y " << c.y;
    }
}

TEST_F(ControlsTest, JoystickHasPrecedencePerHalf) {
    // A tilted stick hides the arrow keys; the keyboard's buttons still count.
    Hold({VK_LEFT, VK_UP, VK_Z});
    HeadlessSetJoystick(true, 65535, CENTRE, 0);
    Sample();
    EXPECT_EQ(input.direction, 6);
    EXPECT_EQ(input.dirBits, DIR_RIGHT);
    EXPECT_EQ(input.buttons, BUTTON_1);

    // A pressed joystick button hides Z and X; the keyboard's direction still counts.
    Hold({VK_LEFT, VK_X});
    HeadlessSetJoystick(true, CENTRE, CENTRE, 1);
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_1);
    EXPECT_EQ(input.direction, 4);
    EXPECT_EQ(input.dirBits, DIR_LEFT);

    // Both halves from the joystick.
    Hold({VK_RIGHT, VK_DOWN, VK_Z, VK_X});
    HeadlessSetJoystick(true, 0, 0, 2);
    Sample();
    EXPECT_EQ(input.direction, 1);
    EXPECT_EQ(input.buttons, BUTTON_2);

    // A joystick at rest leaves everything to the keyboard.
    HeadlessSetJoystick(true, CENTRE, CENTRE, 0);
    Sample();
    EXPECT_EQ(input.direction, 9);
    EXPECT_EQ(input.buttons, BUTTON_1 | BUTTON_2);
}

TEST_F(ControlsTest, ButtonMasksChooseTheJoystickButtons) {
    EXPECT_EQ(input.joyButton1, 1);
    EXPECT_EQ(input.joyButton2, 2);
    HeadlessSetJoystick(true, CENTRE, CENTRE, 4); // button 3 is neither by default
    Sample();
    EXPECT_EQ(input.buttons, 0);
    HeadlessSetJoystick(true, CENTRE, CENTRE, 3);
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_1 | BUTTON_2);

    // Any bit of a mask will do.
    input.joyButton1 = 4 | 8;
    input.joyButton2 = 1;
    HeadlessSetJoystick(true, CENTRE, CENTRE, 8);
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_1);
    HeadlessSetJoystick(true, CENTRE, CENTRE, 1);
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_2);
}

TEST_F(ControlsTest, SourceFlagsLimitWhatIsRead) {
    Hold({VK_UP});
    Sample();
    ASSERT_EQ(input.direction, 2);

    // Joystick only and none connected: the last frame's values stay.
    Hold({VK_DOWN, VK_Z});
    Sample(CONTROL_SOURCE_JOYSTICK);
    EXPECT_EQ(input.direction, 2);
    EXPECT_EQ(input.dirBits, DIR_UP);
    EXPECT_EQ(input.buttons, 0);

    // Joystick only and connected: the keyboard is not looked at, even with the stick at rest.
    HeadlessSetJoystick(true, CENTRE, CENTRE, 0);
    Sample(CONTROL_SOURCE_JOYSTICK);
    EXPECT_EQ(input.direction, 5);
    EXPECT_EQ(input.buttons, 0);

    // Keyboard only: the tilted stick and its button are ignored.
    HeadlessSetJoystick(true, 0, CENTRE, 1);
    Sample(CONTROL_SOURCE_KEYBOARD);
    EXPECT_EQ(input.direction, 8);
    EXPECT_EQ(input.buttons, BUTTON_1);

    // Keyboard only with no key held: last frame's buttons are cleared, whatever the joystick holds.
    for (bool connected : {true, false}) {
        Hold({});
        HeadlessSetJoystick(connected, 0, 0, 3);
        input.buttons = BUTTON_1 | BUTTON_2;
        input.direction = 1;
        input.dirBits = 5;
        Sample(CONTROL_SOURCE_KEYBOARD);
        EXPECT_EQ(input.buttons, 0) << (connected ? "connected" : "no joystick");
        EXPECT_EQ(input.direction, 5);
        EXPECT_EQ(input.dirBits, 0);
        Hold({VK_X});
        input.buttons = BUTTON_1;
        Sample(CONTROL_SOURCE_KEYBOARD);
        EXPECT_EQ(input.buttons, BUTTON_2);
    }
}

TEST_F(ControlsTest, LatchLetsOnePressThroughUntilAllButtonsAreUp) {
    // Z held for 10 frames, released for 1, held again for 3: seen on frames 1 and 12 only.
    std::vector<int> seen;
    for (int frame = 1; frame <= 14; ++frame) {
        Hold(frame == 11 ? std::vector<uintptr_t>{} : std::vector<uintptr_t>{VK_Z});
        Sample();
        LatchButtons(&input);
        if (input.buttons & BUTTON_1) seen.push_back(frame);
        EXPECT_EQ(input.buttonLatch, frame == 11 ? 0 : 1) << "frame " << frame;
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 12}));

    // A second button pressed while the first is held reports nothing, nor does releasing only one.
    Hold({});
    Sample();
    LatchButtons(&input);
    Hold({VK_X});
    Sample();
    LatchButtons(&input);
    EXPECT_EQ(input.buttons, BUTTON_2);
    Hold({VK_X, VK_Z});
    Sample();
    LatchButtons(&input);
    EXPECT_EQ(input.buttons, 0);
    Hold({VK_Z});
    Sample();
    LatchButtons(&input);
    EXPECT_EQ(input.buttons, 0);
    EXPECT_EQ(input.buttonLatch, 1);

    // A joystick press goes through the same latch.
    Hold({});
    Sample();
    LatchButtons(&input);
    HeadlessSetJoystick(true, CENTRE, CENTRE, 2);
    Sample();
    LatchButtons(&input);
    EXPECT_EQ(input.buttons, BUTTON_2);
    Sample();
    LatchButtons(&input);
    EXPECT_EQ(input.buttons, 0);
}
} // namespace
