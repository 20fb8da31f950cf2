// Watching a recording in the game itself: its seed, its held controls at their frames and its window
// events before their frames, as the runner feeds them, until it ends and the player takes over.
#include "app/session_replay.h"

#include <cstdio>

#include "app/main_window.h"
#include "input/controls.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {
struct SessionReplay {
    bool active = false;
    bool sending = false; // the window procedure is hearing one of the recording's events
    InputScript script;
    size_t nextHeld = 0;       // the first line whose controls are not yet in force
    size_t nextEvents = 0;     // the first line whose events are not all delivered
    size_t nextEvent = 0;      // and the first of its events not yet delivered
    bool madeInactive = false; // the recording's own focus loss holds the frames
    uint32_t frames = 0;       // frames sampled so far: the frame the next sample belongs to
    HeldControls held = NOTHING_HELD;
};
SessionReplay replay;
void (*notice)(const char*) = nullptr;

void Say(const std::string& line) {
    if (notice) {
        notice(line.c_str());
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }
}

uint32_t LastFrame() {
    return replay.script.lines.empty() ? 0 : replay.script.lines.back().frame;
}

void Send(ScriptEvent event) {
    if (event == EVENT_INACTIVE || event == EVENT_ACTIVE) replay.madeInactive = event == EVENT_INACTIVE;
    replay.sending = true;
    const ScriptEventMessage sent = MessageForScriptEvent(event);
    PlatformSendMessage(mainWindow, sent.message, sent.wParam, sent.lParam);
    replay.sending = false;
}

// The sample of the coming frame: the controls of the last line at or before it. The stick is always
// there, as in the runner: at rest it reads exactly as no stick at all.
void Sample(ControlSample* sample) {
    const std::vector<ScriptLine>& lines = replay.script.lines;
    while (replay.nextHeld < lines.size() && lines[replay.nextHeld].frame <= replay.frames)
        replay.held = lines[replay.nextHeld++].held;
    sample->keys = replay.held.keys;
    sample->joystickRead = true;
    sample->joystick =
        PlatformJoystickState{replay.held.joystickX, replay.held.joystickY, replay.held.joystickButtons};
    const uint32_t frame = replay.frames++;
    if (frame < LastFrame()) return;
    // The last line's frame has its controls: from the next frame on, the player's own.
    replay.active = false;
    SetControlSampleSource(nullptr);
    Say("quillmarsh: the replay has ended after frame " + std::to_string(frame) +
        "; the game goes on under your controls");
}
} // namespace

bool LoadSessionReplay(const char* path, std::string* error) {
    InputScript script;
    if (!ReadInputScript(path, &script, error)) return false;
    StartSessionReplay(script);
    return true;
}

void StartSessionReplay(const InputScript& script) {
    replay = SessionReplay{};
    replay.script = script;
    replay.active = true;
    SetControlSampleSource(Sample);
}

bool SessionReplayActive() {
    return replay.active;
}

void ResetSessionReplay() {
    if (replay.active) SetControlSampleSource(nullptr);
    replay = SessionReplay{};
    notice = nullptr;
}

void SetSessionReplayNotice(void (*say)(const char* line)) {
    notice = say;
}

uint32_t SessionReplaySeed(uint32_t clockSeed) {
    // A script without a seed plays as the runner plays it: seeded with 0.
    if (!replay.active) return clockSeed;
    return replay.script.hasSeed ? replay.script.seed : 0;
}

void DeliverSessionReplayEvents() {
    if (!replay.active || !mainWindow) return;
    const std::vector<ScriptLine>& lines = replay.script.lines;
    // No frame runs while the recording has made the game inactive; the runner then delivers the next
    // event at once, one at a time, rather than wait for frames that cannot come, and so does the replay.
    // (The player's own focus loss only stops the frames.)
    while (replay.nextEvents < lines.size() &&
           (lines[replay.nextEvents].frame <= replay.frames || (replay.madeInactive && !appActive))) {
        const ScriptLine& line = lines[replay.nextEvents];
        if (replay.nextEvent < line.events.size()) {
            Send(line.events[replay.nextEvent++]);
            continue;
        }
        ++replay.nextEvents;
        replay.nextEvent = 0;
    }
}

bool SessionReplayHoldsBack(uint32_t message, uintptr_t wParam) {
    if (!replay.active || replay.sending) return false;
    // Esc quits as always; Space would pause a game the recording plays.
    return message == WM_KEYDOWN && wParam != VK_ESCAPE;
}

bool SessionReplaySkipsWait() {
    return replay.active && PlatformKeyHeld(VK_TAB);
}
