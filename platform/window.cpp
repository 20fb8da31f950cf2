// The window, its messages and the message queue, shared by every backend.
#include <cstring>
#include <deque>
#include <string>

#include "platform/backend.h"
#include "platform/window.h"

struct PlatformWindowRecord {
    WindowProc proc;
    bool alive;
    bool fullScreenStyle;
};

namespace {
struct WindowState {
    std::string className;
    WindowProc classProc = nullptr;
    PlatformWindowRecord window{};
    std::deque<PlatformMessage> queue;
    bool quitPosted = false;
    int32_t quitCode = 0;
    int32_t cursorCount = 0;
};
WindowState state;
} // namespace

void PlatformResetWindows() {
    state = WindowState{};
}

bool PlatformRegisterWindowClass(const char* className, WindowProc proc) {
    if (!className || !proc || !state.className.empty()) return false;
    state.className = className;
    state.classProc = proc;
    return true;
}

PlatformWindow PlatformCreateWindow(const char* className, const char* caption, int32_t x, int32_t y,
                                    int32_t width, int32_t height) {
    if (!className || state.className != className || state.window.alive) return nullptr;
    state.window = PlatformWindowRecord{state.classProc, true, false};
    if (!BackendCreateWindow(&state.window, caption, x, y, width, height)) {
        state.window.alive = false;
        return nullptr;
    }
    return &state.window;
}

bool PlatformIsWindow(PlatformWindow window) {
    return window == &state.window && window->alive;
}

void PlatformShowWindow(PlatformWindow window, int32_t) {
    if (PlatformIsWindow(window)) BackendShowWindow(window);
}

void PlatformUpdateWindow(PlatformWindow window) {
    if (PlatformIsWindow(window)) PlatformSendMessage(window, WM_PAINT, 0, 0);
}

void PlatformDestroyWindow(PlatformWindow window) {
    if (!PlatformIsWindow(window)) return;
    // As on Win32 the window procedure hears WM_DESTROY while the window still exists.
    PlatformSendMessage(window, WM_DESTROY, 0, 0);
    BackendDestroyWindow(window);
    window->alive = false;
}

void PlatformSetFullScreenStyle(PlatformWindow window) {
    if (!PlatformIsWindow(window)) return;
    window->fullScreenStyle = true;
    BackendSetFullScreenStyle(window);
}

PlatformRect PlatformGetClientRectOnScreen(PlatformWindow window) {
    if (!PlatformIsWindow(window)) return PlatformRect{0, 0, 0, 0};
    return BackendClientRectOnScreen(window);
}

bool PlatformPeekMessage(PlatformMessage* out) {
    BackendPumpEvents();
    if (!state.queue.empty()) {
        *out = state.queue.front();
        state.queue.pop_front();
        return true;
    }
    // WM_QUIT comes only once every posted message has been taken.
    if (state.quitPosted) {
        state.quitPosted = false;
        *out = PlatformMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(state.quitCode), 0};
        return true;
    }
    return false;
}

void PlatformWaitMessage() {
    BackendPumpEvents();
    if (!state.queue.empty() || state.quitPosted) return;
    BackendWaitEvents();
}

intptr_t PlatformSendMessage(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (!PlatformIsWindow(window) || !window->proc) return 0;
    return window->proc(window, message, wParam, lParam);
}

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    if (!message) return 0;
    return PlatformSendMessage(message->window, message->message, message->wParam, message->lParam);
}

bool PlatformPostMessage(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (window && !PlatformIsWindow(window)) return false;
    state.queue.push_back(PlatformMessage{window, message, wParam, lParam});
    return true;
}

void PlatformPostQuitMessage(int32_t exitCode) {
    state.quitPosted = true;
    state.quitCode = exitCode;
}

intptr_t PlatformDefWindowProc(PlatformWindow window, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_CLOSE) PlatformDestroyWindow(window);
    return 0;
}

void PlatformMessageBox(PlatformWindow, const char* text, const char* caption, uint32_t flags) {
    BackendMessageBox(text ? text : "", caption ? caption : "", flags);
}

int32_t PlatformShowCursor(bool show) {
    state.cursorCount += show ? 1 : -1;
    BackendSetCursorVisible(state.cursorCount >= 0);
    return state.cursorCount;
}
