// The held keys and joystick 0 on SDL: the keys by their labels on the player's layout, the first
// joystick (or game controller) plugged in, picked up and dropped while the game runs.
#include "platform/sdl/sdl_input.h"

#include "platform/input.h"
#include "platform/window.h"

namespace {
struct SdlInput {
    bool started;
    SDL_Joystick* joystick;         // joystick 0, or null
    SDL_GameController* controller; // set when SDL knows the device's layout
    SDL_JoystickID instance;
};
SdlInput sdlInput = {false, nullptr, nullptr, -1};

void CloseJoystick() {
    // A game controller owns its joystick and closes it with itself.
    if (sdlInput.controller) {
        SDL_GameControllerClose(sdlInput.controller);
    } else if (sdlInput.joystick) {
        SDL_JoystickClose(sdlInput.joystick);
    }
    sdlInput.controller = nullptr;
    sdlInput.joystick = nullptr;
    sdlInput.instance = -1;
}

void OpenJoystick(int deviceIndex) {
    if (SDL_IsGameController(deviceIndex)) {
        sdlInput.controller = SDL_GameControllerOpen(deviceIndex);
        if (sdlInput.controller) sdlInput.joystick = SDL_GameControllerGetJoystick(sdlInput.controller);
    }
    if (!sdlInput.joystick) sdlInput.joystick = SDL_JoystickOpen(deviceIndex);
    if (sdlInput.joystick) sdlInput.instance = SDL_JoystickInstanceID(sdlInput.joystick);
}

void OpenFirstJoystick() {
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count && !sdlInput.joystick; ++i)
        OpenJoystick(i);
}

// SDL's -32768..32767 on the 0..65535 scale the controls' thresholds are written for.
uint32_t AxisPosition(Sint16 value) {
    return static_cast<uint32_t>(static_cast<int32_t>(value) + 32768);
}

// The key that carries this label on the player's layout, found anew each time so a layout switched
// during play is followed.
SDL_Scancode LabelledKey(SDL_Keycode label, SDL_Scancode usual) {
    const SDL_Scancode key = SDL_GetScancodeFromKey(label);
    return key != SDL_SCANCODE_UNKNOWN ? key : usual;
}

SDL_Scancode ScancodeOf(uintptr_t virtualKey) {
    switch (virtualKey) {
    case VK_LEFT:
        return LabelledKey(SDLK_LEFT, SDL_SCANCODE_LEFT);
    case VK_RIGHT:
        return LabelledKey(SDLK_RIGHT, SDL_SCANCODE_RIGHT);
    case VK_UP:
        return LabelledKey(SDLK_UP, SDL_SCANCODE_UP);
    case VK_DOWN:
        return LabelledKey(SDLK_DOWN, SDL_SCANCODE_DOWN);
    case VK_Z:
        return LabelledKey(SDLK_z, SDL_SCANCODE_Z);
    case VK_X:
        return LabelledKey(SDLK_x, SDL_SCANCODE_X);
    case VK_TAB:
        return SDL_SCANCODE_TAB;
    default:
        return SDL_SCANCODE_UNKNOWN;
    }
}

// False once SDL has been shut down under us (SDL_Quit): whatever we held went with it.
bool StillStarted() {
    if (sdlInput.started && SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0)
        sdlInput = SdlInput{false, nullptr, nullptr, -1};
    return sdlInput.started;
}
} // namespace

bool SdlInputInit() {
    if (!StillStarted()) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) return false;
        sdlInput.started = true;
    }
    if (!sdlInput.joystick) OpenFirstJoystick();
    return true;
}

void SdlInputQuit() {
    if (!StillStarted()) return;
    CloseJoystick();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    sdlInput.started = false;
}

void SdlInputHandleEvent(const SDL_Event& event) {
    if (!StillStarted()) return;
    if (event.type == SDL_JOYDEVICEADDED) {
        if (!sdlInput.joystick) OpenJoystick(event.jdevice.which);
    } else if (event.type == SDL_JOYDEVICEREMOVED) {
        if (sdlInput.joystick && event.jdevice.which == sdlInput.instance) {
            CloseJoystick();
            // Another device still plugged in takes over as joystick 0.
            OpenFirstJoystick();
        }
    }
}

bool PlatformKeyHeld(uintptr_t virtualKey) {
    const SDL_Scancode key = ScancodeOf(virtualKey);
    if (key == SDL_SCANCODE_UNKNOWN) return false;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    return keys && key < count && keys[key] != 0;
}

bool PlatformReadJoystick(uint32_t id, PlatformJoystickState* state) {
    if (id != 0 || !StillStarted()) return false;
    // Catches a change the event pump has not passed on yet.
    if (sdlInput.joystick && !SDL_JoystickGetAttached(sdlInput.joystick)) CloseJoystick();
    if (!sdlInput.joystick) OpenFirstJoystick();
    if (!sdlInput.joystick) return false;

    SDL_Joystick* joystick = sdlInput.joystick;
    PlatformJoystickState s{32767, 32767, 0};
    const int buttons = SDL_JoystickNumButtons(joystick);
    for (int i = 0; i < buttons && i < 32; ++i) {
        if (SDL_JoystickGetButton(joystick, i)) s.buttons |= 1u << i;
    }
    if (SDL_GameController* pad = sdlInput.controller) {
        // A known layout: its left stick, not whatever raw axes 0 and 1 are (often a trigger that rests at
        // one end and would steer for ever), with the d-pad pushing the stick to its ends.
        s.x = AxisPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
        s.y = AxisPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) s.x = 0;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) s.x = 65535;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP)) s.y = 0;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) s.y = 65535;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_A)) s.buttons |= 1u;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_B)) s.buttons |= 2u;
    } else {
        if (SDL_JoystickNumAxes(joystick) > 0) s.x = AxisPosition(SDL_JoystickGetAxis(joystick, 0));
        if (SDL_JoystickNumAxes(joystick) > 1) s.y = AxisPosition(SDL_JoystickGetAxis(joystick, 1));
    }
    *state = s;
    return true;
}
