// The browser backend's page, clock and message pump: the page's events become the game's messages, and
// the pump gives the browser its turn, since the game's loop never returns to it.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/web/web_backend.h"

namespace {
PlatformWindow gameWindow = nullptr;

// What the page's handlers saw while the browser had its turn, delivered at the next pump as a Win32
// message loop would get it, so the game never sees its state change in the middle of a frame.
struct PageEvent {
    uint32_t message; // WM_KEYDOWN, WM_KEYUP-like release (0) or WM_ACTIVATEAPP
    uintptr_t key;
    bool repeat;
    bool visible;
};
constexpr int32_t PAGE_EVENT_CAPACITY = 256;
PageEvent pageEvents[PAGE_EVENT_CAPACITY];
int32_t pageEventCount = 0;
constexpr uint32_t KEY_RELEASED = 0;
constexpr uint32_t KEYS_LOST = 1; // the page lost the keyboard: every held key is let go

bool keyHeld[256] = {};
uint32_t presentsAtLastYield = 0;
double lastYield = 0.0;
// The browser gets a turn at least this often even when no frame is presented (start-up, idle loops).
constexpr double LONGEST_WITHOUT_YIELD_MS = 16.0;
// How long a wait for messages sleeps between looks, when the game is inactive.
constexpr uint32_t IDLE_WAIT_MS = 20;

void Queue(const PageEvent& event) {
    // A flood of events while the game is busy gives up key-downs first: a dropped key-down only loses a
    // press, but a dropped release would leave a key held.
    if (pageEventCount == PAGE_EVENT_CAPACITY) {
        if (event.message == WM_KEYDOWN) return;
        int32_t drop = 0;
        while (drop < pageEventCount && pageEvents[drop].message != WM_KEYDOWN)
            ++drop;
        if (drop == pageEventCount) drop = 0; // nothing but releases and activity: the oldest goes
        for (int32_t i = drop + 1; i < pageEventCount; ++i)
            pageEvents[i - 1] = pageEvents[i];
        pageEventCount -= 1;
    }
    pageEvents[pageEventCount++] = event;
}

uintptr_t GameKey(unsigned long keyCode) {
    // A browser's keyCode for these keys is the Windows virtual-key code.
    switch (keyCode) {
    case VK_ESCAPE:
    case VK_SPACE:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_X:
    case VK_Z:
        return keyCode;
    default:
        return 0;
    }
}

// Tab fast-forwards a replay the page is playing (the page says which); otherwise it is the browser's.
EM_JS(int, WebWatchingReplay, (), { return Module.quillmarshWatching ? 1 : 0; });

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    uintptr_t key = GameKey(event->keyCode);
    if (!key && event->keyCode == VK_TAB && WebWatchingReplay()) key = VK_TAB;
    if (!key) return EM_FALSE; // every other key (F5, F11, F12, Tab) stays the browser's
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
        // Browser shortcuts with these keys stay the browser's too; their releases still count below.
        if (event->ctrlKey || event->altKey || event->metaKey) return EM_FALSE;
        Queue(PageEvent{WM_KEYDOWN, key, event->repeat != 0, true});
    } else {
        Queue(PageEvent{KEY_RELEASED, key, false, true});
    }
    // Handled: arrows and Space must not scroll the page.
    return EM_TRUE;
}

EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*) {
    // Key releases made while another window has the keyboard never reach the page.
    Queue(PageEvent{KEYS_LOST, 0, false, true});
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    // A hidden page is the desktop's inactive application: frames stop until it is shown again.
    Queue(PageEvent{WM_ACTIVATEAPP, 0, false, !event->hidden});
    return EM_FALSE;
}

void Deliver(const PageEvent& event) {
    switch (event.message) {
    case WM_KEYDOWN:
        keyHeld[event.key] = true;
        PlatformPostMessage(gameWindow, WM_KEYDOWN, event.key, event.repeat ? KEY_REPEAT_BIT | 1 : 1);
        break;
    case KEY_RELEASED:
        keyHeld[event.key] = false;
        break;
    case KEYS_LOST:
        std::memset(keyHeld, 0, sizeof keyHeld);
        break;
    case WM_ACTIVATEAPP:
        if (!event.visible) std::memset(keyHeld, 0, sizeof keyHeld);
        PlatformPostMessage(gameWindow, WM_ACTIVATEAPP, event.visible ? 1 : 0, 0);
        break;
    default:
        break;
    }
}

void DeliverPageEvents() {
    for (int32_t i = 0; i < pageEventCount; ++i)
        Deliver(pageEvents[i]);
    pageEventCount = 0;
}

EM_JS(int, WebPageHidden, (), { return document.hidden ? 1 : 0; });

EM_JS(void, WebShowBox, (const char* text, const char* caption), {
    // The game's own boxes are rare (out of memory, a leak at exit): a modal alert is their nature.
    alert(UTF8ToString(caption) + "\n\n" + UTF8ToString(text));
});

EM_JS(void, WebSetCursor, (int visible), {
    var canvas = document.getElementById('canvas');
    if (canvas) canvas.style.cursor = visible ? "" : "none";
});

EM_JS(void, WebCallEnded, (const char* failure), {
    if (Module.quillmarshEnded) Module.quillmarshEnded(failure ? UTF8ToString(failure) : null);
});

EM_JS(void, WebCanvasRect, (int32_t * rect), {
    var canvas = document.getElementById('canvas');
    var box = canvas ? canvas.getBoundingClientRect() : {left : 0, top : 0, right : 320, bottom : 240};
    HEAP32[rect >> 2] = Math.round(box.left);
    HEAP32[(rect >> 2) + 1] = Math.round(box.top);
    HEAP32[(rect >> 2) + 2] = Math.round(box.right);
    HEAP32[(rect >> 2) + 3] = Math.round(box.bottom);
});
} // namespace

uint32_t WebPresentCount = 0;

uint32_t PlatformTimeGetTime() {
    // performance.now() counts from the page's start; like timeGetTime it wraps after 49.7 days.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}
void PlatformTimeBeginPeriod(uint32_t) {}
void PlatformTimeEndPeriod(uint32_t) {}
void PlatformSleep(uint32_t milliseconds) {
    emscripten_sleep(milliseconds);
}

bool PlatformKeyHeld(uintptr_t virtualKey) {
    return virtualKey < 256 && keyHeld[virtualKey];
}

void BackendPumpEvents() {
    // The browser draws, plays and hands over events only while the game waits: one turn per frame shown
    // (a turn costs a few milliseconds, so one per message would slow the loop).
    const double now = emscripten_get_now();
    if (WebPresentCount != presentsAtLastYield || now - lastYield >= LONGEST_WITHOUT_YIELD_MS) {
        emscripten_sleep(0);
        presentsAtLastYield = WebPresentCount;
        lastYield = emscripten_get_now();
    }
    DeliverPageEvents();
}

void BackendWaitEvents() {
    while (pageEventCount == 0)
        emscripten_sleep(IDLE_WAIT_MS);
    lastYield = emscripten_get_now();
    DeliverPageEvents();
}

bool BackendCreateWindow(PlatformWindow window, const char*, int32_t, int32_t, int32_t, int32_t) {
    gameWindow = window;
    pageEventCount = 0;
    std::memset(keyHeld, 0, sizeof keyHeld);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnBlur);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, OnVisibility);
    WebGamepadStart();
    return true;
}

void BackendShowWindow(PlatformWindow window) {
    // A page opened in the foreground is the active application from the start, as on the desktop.
    PlatformSendMessage(window, WM_ACTIVATEAPP, WebPageHidden() ? 0 : 1, 0);
}

void BackendDestroyWindow(PlatformWindow) {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, nullptr);
    WebGamepadStop();
    gameWindow = nullptr;
    pageEventCount = 0;
}

void BackendSetFullScreenStyle(PlatformWindow) {}

PlatformRect BackendClientRectOnScreen(PlatformWindow) {
    int32_t rect[4];
    WebCanvasRect(rect);
    return PlatformRect{rect[0], rect[1], rect[2], rect[3]};
}

void BackendMessageBox(const char* text, const char* caption, uint32_t) {
    WebShowBox(text, caption);
}

void BackendSetCursorVisible(bool visible) {
    WebSetCursor(visible ? 1 : 0);
}

void BackendFileReplaced(const char* nativePath) {
    WebStorageFileWritten(nativePath);
}

void WebShowEnd(const char* failure) {
    WebCallEnded(failure);
}
