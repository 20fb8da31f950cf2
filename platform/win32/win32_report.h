// What the Windows entry needs from the backend without the Windows headers.
#pragma once
#include <cstdint>

// Writes one line to standard error (when a console is attached) and to the debugger.
void Win32Report(const char* utf8Line);
// How whoever started the program asked for its window to be shown (SW_SHOWNORMAL unless told).
int32_t Win32ShowCommand();
