// Scripts of held controls and window events by frame: what replays play and what recordings write.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The six keys the controls read, as bits of HeldControls::keys.
constexpr uint8_t HELD_LEFT = 1;
constexpr uint8_t HELD_RIGHT = 2;
constexpr uint8_t HELD_UP = 4;
constexpr uint8_t HELD_DOWN = 8;
constexpr uint8_t HELD_Z = 16;
constexpr uint8_t HELD_X = 32;

// A joystick at rest steers and presses nothing, exactly like no joystick at all.
constexpr uint32_t JOYSTICK_REST = 32767;
constexpr uint32_t JOYSTICK_AXIS_MAX = 65535;

struct HeldControls {
    uint8_t keys;             // HELD_* bits
    uint32_t joystickX;       // 0..65535
    uint32_t joystickY;       // 0..65535
    uint32_t joystickButtons; // bit n = button n + 1
};
constexpr HeldControls NOTHING_HELD = {0, JOYSTICK_REST, JOYSTICK_REST, 0};

bool SameHeld(const HeldControls& a, const HeldControls& b);

// Window messages delivered just before a frame.
enum ScriptEvent : uint8_t {
    EVENT_SPACE = 0,    // a Space key-down
    EVENT_ESC = 1,      // an Esc key-down
    EVENT_INACTIVE = 2, // the application loses the focus
    EVENT_ACTIVE = 3,   // and gets it back
};

// The window message an event stands for: the same one in the runner and in a replay in the game.
struct ScriptEventMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};
ScriptEventMessage MessageForScriptEvent(ScriptEvent event);

struct ScriptLine {
    uint32_t frame;    // the first frame that samples `held`
    HeldControls held; // held until the next line's frame
    std::vector<ScriptEvent> events;
    int32_t lineNumber; // in the text, from 1
};

struct InputScript {
    bool hasSeed;
    uint32_t seed;
    std::vector<ScriptLine> lines; // frames strictly rising
};

// Reads a script: one `FRAME: KEYS` line per change, `seed N`, `#` comments, blank lines. False on the first
// malformed line, with "line N: reason" in error; the script is then left empty.
bool ParseInputScript(const std::string& text, InputScript* script, std::string* error);
// No script or recording comes near this; anything larger is refused unread.
constexpr size_t INPUT_SCRIPT_MAX_BYTES = 64u << 20;
// The same for a file; error also says when the file cannot be read, is a folder or is over
// INPUT_SCRIPT_MAX_BYTES (with its size).
bool ReadInputScript(const char* path, InputScript* script, std::string* error);
// One script line (no newline), joystick values only where they are not at rest.
std::string FormatScriptLine(uint32_t frame, const HeldControls& held,
                             const std::vector<ScriptEvent>& events);
const char* ScriptEventName(ScriptEvent event);
