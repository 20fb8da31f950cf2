// What the Windows entry needs from the backend without the Windows headers.
#pragma once
#include <cstdint>

// Writes one line to the debugger and to standard error: the console or file the program's standard error
// leads to, or else the console of the Command Prompt it was started from. False when there is neither (a
// program started from Explorer), so nobody but a debugger saw the line.
bool Win32Report(const char* utf8Line);
// Reports why the run failed as Win32Report does; with no console or file to take the line, shows it in
// a message box and returns when the player has closed it.
void Win32ReportFailure(const char* utf8Line);
// Whether QUILLMARSH_TRACE asks for the backend's own lines (display modes, the window's place).
bool Win32Tracing();
// How whoever started the program asked for its window to be shown (SW_SHOWNORMAL unless told).
int32_t Win32ShowCommand();
