// Recording of a session as an input script: the seed, the held controls each frame sampled and the
// window events dispatched before each frame, so the session can be replayed frame for frame.
#include "app/session_record.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/input_script.h"
#include "app/main_window.h"
#include "base/random.h"
#include "input/controls.h"
#include "platform/window.h"

namespace {
struct SessionRecord {
    FILE* file = nullptr;
    bool failed = false;
    uint32_t frames = 0; // samples so far: the frame the next sample belongs to
    HeldControls last = NOTHING_HELD;
    std::vector<ScriptEvent> pending;
    // Close requests that an Esc already accounts for; any other (the window's close button) is written
    // as an Esc, which asks for the same close.
    int32_t closesFromEsc = 0;
};
SessionRecord record;

void WriteText(const std::string& text) {
    if (std::fputs(text.c_str(), record.file) == EOF || std::fputc('\n', record.file) == EOF ||
        std::fflush(record.file) != 0)
        record.failed = true;
}

void WriteSeed() {
    WriteText("seed " + std::to_string(qm::RandomSeed()));
}

void WriteLine(const HeldControls& held) {
    WriteText(FormatScriptLine(record.frames, held, record.pending));
    record.pending.clear();
    record.last = held;
}

// The ControlSample key bits are laid out as the script's HELD_* bits.
HeldControls HeldFrom(const ControlSample& sample) {
    HeldControls held = NOTHING_HELD;
    held.keys = sample.keys;
    if (sample.joystickRead) {
        held.joystickX = sample.joystick.x;
        held.joystickY = sample.joystick.y;
        held.joystickButtons = sample.joystick.buttons;
    }
    return held;
}

void OnSample(const ControlSample* sample) {
    if (!record.file) return;
    const HeldControls held = HeldFrom(*sample);
    // The seed is known once start-up has run, which is before the first frame samples.
    if (record.frames == 0) WriteSeed();
    if (record.frames == 0 || !SameHeld(held, record.last) || !record.pending.empty()) WriteLine(held);
    ++record.frames;
}
} // namespace

static_assert(HELD_LEFT == 1 && HELD_RIGHT == 2 && HELD_UP == 4 && HELD_DOWN == 8 && HELD_Z == 16 &&
              HELD_X == 32);

bool StartSessionRecord(const char* path) {
    StopSessionRecord();
    record = SessionRecord{};
    record.file = std::fopen(path, "wb");
    if (!record.file) return false;
    SetControlSampleObserver(OnSample);
    return true;
}

bool StopSessionRecord() {
    if (!record.file) return true;
    SetControlSampleObserver(nullptr);
    if (record.frames == 0) WriteSeed();
    // Events after the last frame (the Esc that ended the run) belong to the frame that never came.
    if (!record.pending.empty()) WriteLine(record.last);
    if (std::fclose(record.file) != 0) record.failed = true;
    record.file = nullptr;
    return !record.failed;
}

bool SessionRecordActive() {
    return record.file != nullptr;
}

void RecordWindowMessage(uint32_t message, uintptr_t wParam) {
    // Messages sent during start-up (the activation when the window is shown) are the same in every run
    // on every backend; a replay gets them from its own start-up.
    if (!record.file || !appStarted) return;
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) record.pending.push_back(EVENT_SPACE);
        if (wParam == VK_ESCAPE) {
            record.pending.push_back(EVENT_ESC);
            ++record.closesFromEsc;
        }
        break;
    case WM_ACTIVATEAPP:
        record.pending.push_back(wParam != 0 ? EVENT_ACTIVE : EVENT_INACTIVE);
        break;
    case WM_CLOSE:
        if (record.closesFromEsc > 0) {
            --record.closesFromEsc;
        } else {
            record.pending.push_back(EVENT_ESC);
        }
        break;
    default:
        break;
    }
}
