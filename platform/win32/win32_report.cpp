// Where the Windows game's lines go: the debugger, standard error or the Command Prompt's console, and a
// message box for a failure when a player who double-clicked the game would otherwise see nothing.
#include "platform/win32/win32_report.h"

#include <cstdlib>
#include <string>

#include "platform/win32/win32_backend.h"

namespace {
constexpr const wchar_t* FAILURE_CAPTION = L"Quillmarsh";

// Standard error as the program was given it (a console, or a file or pipe someone redirected it to), or
// the console of the Command Prompt it was started from: a program built for the windowed subsystem gets
// no console of its own, so it attaches to its parent's. GetConsoleWindow cannot tell that case apart: it
// is null until the program attaches. Explorer has no console, so a double-click finds none. Looked up
// once.
HANDLE ErrorOutput() {
    static bool looked = false;
    static HANDLE output = nullptr;
    if (looked) return output;
    looked = true;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE) return output = error;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return nullptr;
    error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE)
        error = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
    return output = (error == INVALID_HANDLE_VALUE ? nullptr : error);
}

void ShowFailureBox(const char* utf8Line) {
    // The window left over from the failed start is a topmost pop-up that would hide the box, and the
    // game hid the cursor the box needs.
    if (win32Window) ShowWindow(win32Window, SW_HIDE);
    while (ShowCursor(TRUE) < 0) {
    }
    MessageBoxW(nullptr, Win32Wide(utf8Line).c_str(), FAILURE_CAPTION,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}
} // namespace

std::wstring Win32Wide(const char* utf8) {
    if (!utf8 || !*utf8) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

bool Win32Report(const char* utf8Line) {
    const std::wstring wide = Win32Wide(utf8Line) + L"\n";
    OutputDebugStringW(wide.c_str());
    HANDLE error = ErrorOutput();
    if (!error) return false;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(error, &mode)) {
        // A console shows UTF-16 right whatever its code page.
        return WriteConsoleW(error, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
    }
    const std::string line = std::string(utf8Line) + "\n";
    return WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) != 0;
}

void Win32ReportFailure(const char* utf8Line) {
    if (!Win32Report(utf8Line)) ShowFailureBox(utf8Line);
}

bool Win32Tracing() {
    const char* trace = std::getenv("QUILLMARSH_TRACE");
    return trace && *trace;
}
