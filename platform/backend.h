// What each backend (SDL, headless) supplies beneath the shared platform code.
#pragma once
#include <cstdint>

#include "platform/display_device.h"
#include "platform/window.h"

// Moves whatever the backend has seen (window events, keys) into the message queue.
void BackendPumpEvents();
// Blocks until the backend has something to pump.
void BackendWaitEvents();

bool BackendCreateWindow(PlatformWindow window, const char* caption, int32_t x, int32_t y, int32_t width,
                         int32_t height);
void BackendShowWindow(PlatformWindow window);
void BackendDestroyWindow(PlatformWindow window);
void BackendSetFullScreenStyle(PlatformWindow window);
PlatformRect BackendClientRectOnScreen(PlatformWindow window);
void BackendMessageBox(const char* text, const char* caption, uint32_t flags);
void BackendSetCursorVisible(bool visible);

bool BackendDisplayOpen();
bool BackendDisplaySetMode(int32_t width, int32_t height);
bool BackendDisplayRefreshRate(uint32_t* hz);
// Shows a finished picture: width x height indices through the 256 palette entries.
void BackendDisplayShow(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                        const PaletteEntry palette[256], bool waitVerticalBlank);
void BackendDisplayClose();

// Told after PlatformReplaceFile has put a file in place (native path), for backends whose files live
// somewhere that needs telling (the browser's storage). Most do nothing.
void BackendFileReplaced(const char* nativePath);
