// The SDL keyboard and joystick backend driven through SDL's virtual joysticks (and, on an X display of
// our own, real key presses), read back through the game's control sampling.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "input/controls.h"
#include "platform/input.h"
#include "platform/sdl/sdl_input.h"
#include "platform/window.h"

namespace {
// The raw 0..65535 scale of the controls as SDL's -32768..32767.
Sint16 Raw(uint32_t position) {
    return static_cast<Sint16>(static_cast<int32_t>(position) - 32768);
}

class SdlInputTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SdlInputInit());
        input = InputState{};
        SetDefaultButtons(&input);
    }

    void TearDown() override {
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i) {
            if (SDL_JoystickIsVirtual(i)) SDL_JoystickDetachVirtual(i);
        }
        Pump();
        SdlInputQuit();
    }

    // What the game's event pump does with device arrivals and departures.
    static void Pump() {
        SDL_JoystickUpdate();
        SDL_Event event;
        while (SDL_PollEvent(&event))
            SdlInputHandleEvent(event);
    }

    // Attaches a virtual device and returns our own handle on it, for setting its axes and buttons.
    static SDL_Joystick* Attach(SDL_JoystickType type, int axes, int buttons) {
        const int index = SDL_JoystickAttachVirtual(type, axes, buttons, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* handle = SDL_JoystickOpen(index);
        EXPECT_NE(handle, nullptr) << SDL_GetError();
        Pump();
        return handle;
    }

    static void Detach(SDL_Joystick* handle) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(handle);
        SDL_JoystickClose(handle);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        }
        Pump();
    }

    void Sample() {
        Pump();
        SampleControls(&input, 0, CONTROL_SOURCE_JOYSTICK | CONTROL_SOURCE_KEYBOARD);
    }

    InputState input{};
};

TEST_F(SdlInputTest, JoystickAxesMeetTheThresholdsAndButtonsAreBits) {
    PlatformJoystickState state{};
    EXPECT_FALSE(PlatformReadJoystick(0, &state));
    SDL_Joystick* stick = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4);
    ASSERT_TRUE(PlatformReadJoystick(0, &state));
    EXPECT_FALSE(PlatformReadJoystick(1, &state)); // only joystick 0 is read

    struct Case {
        uint32_t x, y;
        int32_t direction;
    };
    const Case cases[] = {
        {10000, 32768, 4}, {10001, 32768, 5}, {55535, 32768, 6}, {55534, 32768, 5},
        {32768, 10000, 2}, {32768, 55535, 8}, {0, 65535, 7},     {65535, 0, 3},
    };
    for (const Case& c : cases) {
        SDL_JoystickSetVirtualAxis(stick, 0, Raw(c.x));
        SDL_JoystickSetVirtualAxis(stick, 1, Raw(c.y));
        Sample();
        ASSERT_TRUE(PlatformReadJoystick(0, &state));
        EXPECT_EQ(state.x, c.x);
        EXPECT_EQ(state.y, c.y);
        EXPECT_EQ(input.direction, c.direction) << "x " << c.x << " y " << c.y;
    }

    SDL_JoystickSetVirtualButton(stick, 0, SDL_PRESSED);
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_1);
    SDL_JoystickSetVirtualButton(stick, 0, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(stick, 1, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(stick, 3, SDL_PRESSED);
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_2);
    ASSERT_TRUE(PlatformReadJoystick(0, &state));
    EXPECT_EQ(state.buttons, 0b1010u);
    Detach(stick);
}

TEST_F(SdlInputTest, AGameControllerSteersWithItsPadAndPressesWithAAndB) {
    SDL_Joystick* pad = Attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, 15);
    ASSERT_TRUE(SDL_IsGameController(0));
    // The virtual controller's mapping puts A, B and the d-pad on these raw buttons.
    const int a = 0, b = 1, up = 11, down = 12, left = 13, right = 14;
    Sample();
    EXPECT_EQ(input.direction, 5);

    SDL_JoystickSetVirtualButton(pad, left, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, up, SDL_PRESSED);
    Sample();
    EXPECT_EQ(input.direction, 1);
    SDL_JoystickSetVirtualButton(pad, left, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(pad, up, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(pad, right, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, down, SDL_PRESSED);
    Sample();
    EXPECT_EQ(input.direction, 9);
    SDL_JoystickSetVirtualButton(pad, right, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(pad, down, SDL_RELEASED);

    // The left stick, on the same thresholds as a plain joystick.
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, Raw(10000));
    Sample();
    EXPECT_EQ(input.direction, 4);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, Raw(10001));
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, Raw(55535));
    Sample();
    EXPECT_EQ(input.direction, 8);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, Raw(55534));
    // A trigger pulled all the way is not a direction.
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    Sample();
    EXPECT_EQ(input.direction, 5);

    SDL_JoystickSetVirtualButton(pad, a, SDL_PRESSED);
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_1);
    SDL_JoystickSetVirtualButton(pad, a, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(pad, b, SDL_PRESSED);
    Sample();
    EXPECT_EQ(input.buttons, BUTTON_2);
    Detach(pad);
}

TEST_F(SdlInputTest, JoysticksComeAndGoWithoutARestart) {
    SDL_Joystick* first = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 2);
    SDL_JoystickSetVirtualAxis(first, 0, Raw(0));
    Sample();
    EXPECT_EQ(input.direction, 4);

    // A second device waits; when the first goes, the second becomes joystick 0.
    SDL_Joystick* second = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 2);
    SDL_JoystickSetVirtualAxis(second, 0, Raw(65535));
    Sample();
    EXPECT_EQ(input.direction, 4);
    Detach(first);
    Sample();
    EXPECT_EQ(input.direction, 6);

    // With none left the keyboard decides alone, and a new one is picked up at once.
    Detach(second);
    PlatformJoystickState state{};
    EXPECT_FALSE(PlatformReadJoystick(0, &state));
    Sample();
    EXPECT_EQ(input.direction, 5);
    SDL_Joystick* third = Attach(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 2);
    SDL_JoystickSetVirtualAxis(third, 1, Raw(0));
    Sample();
    EXPECT_EQ(input.direction, 2);
    Detach(third);
}

// Real key presses need an X display of our own: run under xvfb-run with QUILLMARSH_X_INPUT_TEST=1.
TEST(SdlKeyboard, HeldKeysAreReadFromTheKeyboardState) {
    if (!std::getenv("QUILLMARSH_X_INPUT_TEST") || !std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs QUILLMARSH_X_INPUT_TEST=1 and an X display of its own";
    if (std::system("command -v xdotool > /dev/null") != 0) GTEST_SKIP() << "needs xdotool";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("quillmarsh-keys", 0, 0, 64, 64, 0);
    ASSERT_NE(window, nullptr);
    auto pumpFor = [](int milliseconds) {
        for (int t = 0; t < milliseconds; t += 10) {
            SDL_PumpEvents();
            SDL_Delay(10);
        }
    };
    // A loaded machine may deliver a key late: pump until it shows, for at most ten seconds.
    auto pumpUntilHeld = [](uintptr_t key, bool held) {
        for (int t = 0; t < 10000 && PlatformKeyHeld(key) != held; t += 10) {
            SDL_PumpEvents();
            SDL_Delay(10);
        }
    };
    pumpFor(300);
    ASSERT_EQ(std::system("xdotool search --sync --name quillmarsh-keys windowfocus --sync"), 0);
    pumpFor(100);

    const uintptr_t six[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_Z, VK_X};
    const char* names[] = {"Left", "Right", "Up", "Down", "z", "x"};
    for (size_t k = 0; k < 6; ++k) {
        SCOPED_TRACE(names[k]);
        ASSERT_EQ(std::system((std::string("xdotool keydown ") + names[k]).c_str()), 0);
        pumpUntilHeld(six[k], true);
        for (size_t other = 0; other < 6; ++other)
            EXPECT_EQ(PlatformKeyHeld(six[other]), other == k) << names[other];
        ASSERT_EQ(std::system((std::string("xdotool keyup ") + names[k]).c_str()), 0);
        pumpUntilHeld(six[k], false);
        EXPECT_FALSE(PlatformKeyHeld(six[k]));
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}
} // namespace
