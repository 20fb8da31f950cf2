// The Windows backend's window, clock and message pump: the real window's messages become the game's.
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/failure.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/screenshot.h"
#include "platform/win32/win32_backend.h"

HWND win32Window = nullptr;

namespace {
constexpr const char* WINDOW_CLASS = "Quillmarsh";
constexpr WORD ICON_GROUP = 101;
PlatformWindow gameWindow = nullptr;
bool classRegistered = false;

bool WantWindowed() {
    const char* value = std::getenv("QUILLMARSH_WINDOWED");
    return value && *value && std::strcmp(value, "0") != 0;
}

// F12 belongs to the player, not the game: the picture is saved and the window procedure never hears of
// the key, so play goes on exactly as it would have.
void TakeScreenshot() {
    std::string path, why;
    if (SaveScreenshot(&path, &why))
        Win32Report(("quillmarsh: screenshot saved as " + path).c_str());
    else
        Win32Report(("quillmarsh: cannot save a screenshot: " + why).c_str());
}

// Everything the game's window procedure handles goes through its queue, in the order Windows sent it.
LRESULT CALLBACK RealWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOVE:
    case WM_ACTIVATEAPP:
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        if (gameWindow) PlatformPostMessage(gameWindow, message, wParam, lParam);
        return message == WM_QUERYNEWPALETTE ? TRUE : 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        // A window shows the kept picture at once; full screen leaves repainting to the game.
        if (win32Windowed) Win32PaintPicture(dc);
        EndPaint(hwnd, &paint);
        if (gameWindow) PlatformPostMessage(gameWindow, WM_PAINT, 0, 0);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_F12) {
            if (!(lParam & KEY_REPEAT_BIT)) TakeScreenshot();
            return 0;
        }
        if (gameWindow) PlatformPostMessage(gameWindow, WM_KEYDOWN, wParam, lParam);
        return 0;
    case WM_ERASEBKGND:
        // The picture and its black bands cover the whole window: no grey flash first.
        if (win32Windowed) return 1;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_SYSKEYDOWN:
        // Alt+Enter belongs to the player, as F12 does: the game never hears of it.
        if (wParam == VK_RETURN && (HIWORD(lParam) & KF_ALTDOWN)) {
            if (!(lParam & KEY_REPEAT_BIT)) Win32ToggleFullScreen(static_cast<DWORD>(GetMessageTime()));
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_SYSCHAR:
        // The character of Alt+Enter would only make the system beep for a menu the window lacks.
        if (wParam == '\r') return 0;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_SYSCOMMAND:
        // A lone Alt would put a captioned window's menu bar in charge of the keys, stopping the game
        // until the next key.
        if (win32Windowed && (wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) return 0;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_CLOSE:
        // The game decides: its procedure destroys the window through the shared code.
        if (gameWindow) PlatformPostMessage(gameWindow, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool RegisterRealClass(HINSTANCE instance) {
    if (classRegistered) return true;
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = RealWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_GROUP));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = WINDOW_CLASS;
    classRegistered = RegisterClassA(&windowClass) != 0;
    return classRegistered;
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue; // the game keeps its own quit message
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
} // namespace

int32_t Win32ShowCommand() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
}

uint32_t PlatformTimeGetTime() {
    return timeGetTime();
}
void PlatformTimeBeginPeriod(uint32_t milliseconds) {
    timeBeginPeriod(milliseconds);
}
void PlatformTimeEndPeriod(uint32_t milliseconds) {
    timeEndPeriod(milliseconds);
}
void PlatformSleep(uint32_t milliseconds) {
    Sleep(milliseconds);
}

void BackendPumpEvents() {
    Pump();
}

void BackendWaitEvents() {
    WaitMessage();
    Pump();
}

bool BackendCreateWindow(PlatformWindow window, const char* caption, int32_t x, int32_t y, int32_t width,
                         int32_t height) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterRealClass(instance)) return false;
    gameWindow = window;
    win32Windowed = WantWindowed();
    win32Window =
        CreateWindowExA(0, WINDOW_CLASS, caption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                        width, height, nullptr, nullptr, instance, nullptr);
    if (!win32Window) {
        gameWindow = nullptr;
        return false;
    }
    return true;
}

void BackendShowWindow(PlatformWindow) {
    ShowWindow(win32Window, SW_SHOWNORMAL);
    UpdateWindow(win32Window);
}

void BackendDestroyWindow(PlatformWindow) {
    gameWindow = nullptr;
    if (win32Window) DestroyWindow(win32Window);
    win32Window = nullptr;
}

void BackendSetFullScreenStyle(PlatformWindow) {
    // Asked for by the display set-up; a window asked for by the player takes its place.
    if (win32Windowed)
        Win32PlaceInWindow();
    else
        Win32PlaceFullScreen();
}

PlatformRect BackendClientRectOnScreen(PlatformWindow) {
    RECT client{0, 0, 320, 240};
    if (win32Window) {
        GetClientRect(win32Window, &client);
        POINT corner{0, 0};
        ClientToScreen(win32Window, &corner);
        OffsetRect(&client, corner.x, corner.y);
    }
    return PlatformRect{client.left, client.top, client.right, client.bottom};
}

void BackendMessageBox(const char* text, const char* caption, uint32_t flags) {
    // The texts are UTF-8: the wide box shows them right on every code page.
    MessageBoxW(win32Window, Win32Wide(text).c_str(), Win32Wide(caption).c_str(), flags);
}

void BackendSetCursorVisible(bool visible) {
    // ShowCursor keeps its own count; the shared code has already counted, so follow it to the same side.
    if (visible)
        while (ShowCursor(TRUE) < 0) {
        }
    else
        while (ShowCursor(FALSE) >= 0) {
        }
}

// Files here are ordinary files: nothing more to do once one is in place.
void BackendFileReplaced(const char*) {}
