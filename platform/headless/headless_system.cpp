// The headless backend's window, clock, message script and display, all in memory.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <deque>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/headless/headless.h"

namespace {
struct Scheduled {
    uint32_t afterPresents;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

struct HeadlessState {
    uint32_t clock = 0;
    uint32_t clockStep = 1;
    uint32_t clockReads = 0;
    std::vector<uint32_t> wakeTimes;
    bool startActive = true;
    PlatformWindow window = nullptr;
    bool fullScreenStyle = false;
    bool cursorVisible = true;
    std::deque<Scheduled> script;
    bool closedForIdle = false;
    bool refreshKnown = false;
    uint32_t refreshRate = 0;
    uint32_t presents = 0;
    uint32_t flips = 0;
    uint8_t frame[320 * 240] = {};
    PaletteEntry framePalette[256] = {};
    std::vector<uint8_t> fullFrame;
    int32_t fullWidth = 0, fullHeight = 0;
    void (*presentHook)(uint32_t) = nullptr;
    std::vector<std::string> boxes;
};
HeadlessState hs;

void Deliver(const Scheduled& s) {
    PlatformPostMessage(hs.window, s.message, s.wParam, s.lParam);
}
} // namespace

void HeadlessReset() {
    PlatformResetWindows();
    if (PlatformDisplayExists()) {
        PlatformDisplayReleasePalette();
        PlatformDisplayReleasePrimary();
        PlatformDisplayReleaseDevice();
    }
    platformSurfaceFaults = PlatformSurfaceFaults{};
    platformDisplayFaults = PlatformDisplayFaults{};
    hs = HeadlessState{};
}

void HeadlessSetClock(uint32_t milliseconds) {
    hs.clock = milliseconds;
}
uint32_t HeadlessClock() {
    return hs.clock;
}
void HeadlessSetClockStep(uint32_t millisecondsPerRead) {
    hs.clockStep = millisecondsPerRead;
}
uint32_t HeadlessClockReads() {
    return hs.clockReads;
}
void HeadlessSetStartActive(bool active) {
    hs.startActive = active;
}

void HeadlessScheduleMessage(uint32_t afterPresents, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Scheduled s{afterPresents, message, wParam, lParam};
    // Keep the script ordered by due frame, first come first served within a frame.
    auto at =
        std::upper_bound(hs.script.begin(), hs.script.end(), s, [](const Scheduled& a, const Scheduled& b) {
            return a.afterPresents < b.afterPresents;
        });
    hs.script.insert(at, s);
}

void HeadlessScheduleKeyDown(uint32_t afterPresents, uintptr_t key, bool repeat) {
    HeadlessScheduleMessage(afterPresents, WM_KEYDOWN, key, repeat ? KEY_REPEAT_BIT | 1 : 1);
}

bool HeadlessClosedForIdle() {
    return hs.closedForIdle;
}

void HeadlessSetRefreshRate(uint32_t hz, bool known) {
    hs.refreshRate = hz;
    hs.refreshKnown = known;
}
uint32_t HeadlessPresentCount() {
    return hs.presents;
}
uint32_t HeadlessFlipCount() {
    return hs.flips;
}
const uint8_t* HeadlessFrame() {
    return hs.frame;
}
const PaletteEntry* HeadlessFramePalette() {
    return hs.framePalette;
}
const std::vector<uint8_t>& HeadlessFullFrame() {
    return hs.fullFrame;
}
int32_t HeadlessFullFrameWidth() {
    return hs.fullWidth;
}
int32_t HeadlessFullFrameHeight() {
    return hs.fullHeight;
}
bool HeadlessCursorVisible() {
    return hs.cursorVisible;
}
bool HeadlessFullScreenStyle() {
    return hs.fullScreenStyle;
}
void HeadlessSetPresentHook(void (*hook)(uint32_t)) {
    hs.presentHook = hook;
}
const std::vector<std::string>& HeadlessMessageBoxes() {
    return hs.boxes;
}

uint32_t PlatformTimeGetTime() {
    const uint32_t now = hs.clock;
    hs.clock += hs.clockStep;
    ++hs.clockReads;
    return now;
}
void PlatformTimeBeginPeriod(uint32_t) {}
void PlatformTimeEndPeriod(uint32_t) {}

void PlatformSleep(uint32_t milliseconds) {
    hs.clock += milliseconds;
    hs.wakeTimes.push_back(hs.clock);
}

const std::vector<uint32_t>& HeadlessWakeTimes() {
    return hs.wakeTimes;
}

void BackendPumpEvents() {
    while (!hs.script.empty() && hs.script.front().afterPresents <= hs.presents) {
        Deliver(hs.script.front());
        hs.script.pop_front();
    }
}

void BackendWaitEvents() {
    if (!hs.script.empty()) {
        Deliver(hs.script.front());
        hs.script.pop_front();
        return;
    }
    // A real program would sleep here forever; a script that runs dry ends the run instead.
    hs.closedForIdle = true;
    PlatformPostMessage(hs.window, WM_CLOSE, 0, 0);
}

bool BackendCreateWindow(PlatformWindow window, const char*, int32_t, int32_t, int32_t, int32_t) {
    hs.window = window;
    return true;
}

void BackendShowWindow(PlatformWindow window) {
    if (hs.startActive) PlatformSendMessage(window, WM_ACTIVATEAPP, 1, 0);
}

void BackendDestroyWindow(PlatformWindow) {
    hs.window = nullptr;
}
void BackendSetFullScreenStyle(PlatformWindow) {
    hs.fullScreenStyle = true;
}
PlatformRect BackendClientRectOnScreen(PlatformWindow) {
    return PlatformRect{0, 0, 320, 240};
}

void BackendMessageBox(const char* text, const char* caption, uint32_t) {
    hs.boxes.push_back(std::string(caption) + "|" + text);
}

void BackendSetCursorVisible(bool visible) {
    hs.cursorVisible = visible;
}

bool BackendDisplayOpen() {
    return true;
}
bool BackendDisplaySetMode(int32_t, int32_t) {
    return true;
}

bool BackendDisplayRefreshRate(uint32_t* hz) {
    if (!hs.refreshKnown) return false;
    *hz = hs.refreshRate;
    return true;
}

void BackendDisplayShow(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                        const PaletteEntry palette[256], bool waitVerticalBlank) {
    if (waitVerticalBlank) ++hs.flips;
    hs.fullWidth = width;
    hs.fullHeight = height;
    hs.fullFrame.resize(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(&hs.fullFrame[static_cast<size_t>(y) * width], pixels + static_cast<ptrdiff_t>(y) * pitch,
                    static_cast<size_t>(width));
    if (width >= 640) {
        for (int32_t y = 0; y < 240; ++y)
            for (int32_t x = 0; x < 320; ++x) {
                const int32_t sx = x * 2, sy = y * 2;
                hs.frame[y * 320 + x] =
                    (sx < width && sy < height) ? pixels[static_cast<ptrdiff_t>(sy) * pitch + sx] : 0;
            }
    } else {
        // Pixel for pixel: whole rows, and black wherever the picture is smaller.
        std::memset(hs.frame, 0, sizeof hs.frame);
        const auto rowBytes = static_cast<size_t>(std::min(width, 320));
        for (int32_t y = 0; y < std::min(height, 240); ++y)
            std::memcpy(&hs.frame[y * 320], pixels + static_cast<ptrdiff_t>(y) * pitch, rowBytes);
    }
    std::memcpy(hs.framePalette, palette, sizeof hs.framePalette);
    ++hs.presents;
    if (hs.presentHook) hs.presentHook(hs.presents);
}

void BackendDisplayClose() {}

// Files here are ordinary files: nothing more to do once one is in place.
void BackendFileReplaced(const char*) {}
