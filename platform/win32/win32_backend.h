// State shared between the Windows backend's window, display and sound halves.
#pragma once

#include <string>

#include "platform/display_device.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_report.h"

// The real window behind the game's window record; null before it exists.
extern HWND win32Window;
// True while the picture goes to an ordinary window through GDI rather than to DirectDraw's exclusive
// full-screen mode: from the start with QUILLMARSH_WINDOWED, and after Alt+Enter.
extern bool win32Windowed;
// Turns UTF-8 into UTF-16 for the wide Windows functions.
std::wstring Win32Wide(const char* utf8);

// Switches between full screen and a window, unless the last switch was less than a quarter second before
// `when` (the key's message time, so a slow frame does not stretch the gap).
void Win32ToggleFullScreen(DWORD when);

// The last picture shown, kept for repainting the window and for the first picture after a switch.
void Win32KeepPicture(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                      const PaletteEntry palette[256]);
// The kept picture; false before the first one.
bool Win32KeptPicture(const uint8_t** pixels, int32_t* pitch, int32_t* width, int32_t* height,
                      const PaletteEntry** palette);
// Paints the kept picture into the window's client area: scaled by the largest whole factor that fits,
// centred on black.
void Win32PaintPicture(HDC dc);
// Turns the game's window into an ordinary captioned window whose client area is the picture two or
// three times as large (as the work area allows), centred on the work area.
void Win32PlaceInWindow();
// Turns it into the borderless topmost pop-up that the exclusive full-screen display needs.
void Win32PlaceFullScreen();
