// What the browser backend's pieces share among themselves.
#pragma once
#include <cstdint>

// Pictures handed to the page so far; the pump gives the browser a turn after each.
extern uint32_t WebPresentCount;

// The first gamepad, read through the Gamepad API; plugged in and out at any time.
void WebGamepadStart();
void WebGamepadStop();

// The record folder lives in the browser's own storage: a file written there is copied back to it.
void WebStorageFileWritten(const char* nativePath);

// Tells the page the game has ended: with the failure line, or null after a quit.
void WebShowEnd(const char* failure);
