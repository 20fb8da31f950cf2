// The Windows headers, with the names the game's own platform headers also define taken back out.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The rest need windows.h first.
#include <mmsystem.h>
// Wave formats come from mmsystem.h.
#include <ddraw.h>
#include <dsound.h>

// The game's headers declare these as typed constants with the same values; the macros would turn those
// declarations into nonsense.
#undef WM_DESTROY
#undef WM_MOVE
#undef WM_PAINT
#undef WM_CLOSE
#undef WM_QUIT
#undef WM_ACTIVATEAPP
#undef WM_KEYDOWN
#undef WM_QUERYNEWPALETTE
#undef WM_PALETTECHANGED
#undef VK_ESCAPE
#undef VK_SPACE
#undef VK_LEFT
#undef VK_UP
#undef VK_RIGHT
#undef VK_DOWN
#undef SW_SHOWNORMAL
#undef MB_OK
#undef MB_ICONERROR
#undef WAVE_FORMAT_PCM
#undef DSSCL_PRIORITY
#undef DSBPLAY_LOOPING
#undef DSBSIZE_MIN
#undef DSBSIZE_MAX
