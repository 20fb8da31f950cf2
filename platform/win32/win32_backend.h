// State shared between the Windows backend's window, display and sound halves.
#pragma once

#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_report.h"

// The real window behind the game's window record; null before it exists.
extern HWND win32Window;
// Turns UTF-8 into UTF-16 for the wide Windows functions.
std::wstring Win32Wide(const char* utf8);
