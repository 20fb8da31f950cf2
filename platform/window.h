// The window, its messages and the message queue: what stands in for the Win32 window and pump.
#pragma once
#include <cstdint>

struct PlatformWindowRecord;
using PlatformWindow = PlatformWindowRecord*;
using WindowProc = intptr_t (*)(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Message numbers keep their Win32 values so a Win32 backend can pass them straight through.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_QUERYNEWPALETTE = 0x030F;
constexpr uint32_t WM_PALETTECHANGED = 0x0311;

constexpr uintptr_t VK_TAB = 0x09; // fast-forward while a replay plays; no game key
constexpr uintptr_t VK_ESCAPE = 0x1B;
constexpr uintptr_t VK_SPACE = 0x20;
constexpr uintptr_t VK_LEFT = 0x25;
constexpr uintptr_t VK_UP = 0x26;
constexpr uintptr_t VK_RIGHT = 0x27;
constexpr uintptr_t VK_DOWN = 0x28;
constexpr uintptr_t VK_X = 0x58;
constexpr uintptr_t VK_Z = 0x5A;

// Bit 30 of a key-down's lParam: the key was already down (keyboard auto-repeat).
constexpr intptr_t KEY_REPEAT_BIT = intptr_t{1} << 30;

constexpr int32_t SW_SHOWNORMAL = 1;

constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_ICONERROR = 0x10;

struct PlatformMessage {
    PlatformWindow window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

struct PlatformRect {
    int32_t left, top, right, bottom;
};

bool PlatformRegisterWindowClass(const char* className, WindowProc proc);
PlatformWindow PlatformCreateWindow(const char* className, const char* caption, int32_t x, int32_t y,
                                    int32_t width, int32_t height);
void PlatformShowWindow(PlatformWindow window, int32_t showCommand);
void PlatformUpdateWindow(PlatformWindow window);
void PlatformDestroyWindow(PlatformWindow window);
bool PlatformIsWindow(PlatformWindow window);
// Turns the window into the borderless topmost pop-up that the full-screen display needs.
void PlatformSetFullScreenStyle(PlatformWindow window);
PlatformRect PlatformGetClientRectOnScreen(PlatformWindow window);

bool PlatformPeekMessage(PlatformMessage* out);
void PlatformWaitMessage();
intptr_t PlatformDispatchMessage(const PlatformMessage* message);
intptr_t PlatformSendMessage(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
bool PlatformPostMessage(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PlatformPostQuitMessage(int32_t exitCode);
intptr_t PlatformDefWindowProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Shows a modal box and returns when the user closes it.
void PlatformMessageBox(PlatformWindow owner, const char* text, const char* caption, uint32_t flags);
// Returns the new display count, as ShowCursor does.
int32_t PlatformShowCursor(bool show);

// Forgets every window, class and queued message (used between runs in one process, e.g. tests).
void PlatformResetWindows();
