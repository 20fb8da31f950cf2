// Controls of the headless backend: a virtual clock, a scripted message queue and a display in memory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/display_device.h"

// Puts the whole headless platform back to its starting state (clock 0, no window, no queue, no faults).
void HeadlessReset();

// The virtual millisecond clock. Every read advances it by the step (1 by default), so a busy wait on it
// moves time on and nothing really waits.
void HeadlessSetClock(uint32_t milliseconds);
uint32_t HeadlessClock();
void HeadlessSetClockStep(uint32_t millisecondsPerRead);
uint32_t HeadlessClockReads();
// The clock's value at the end of every sleep so far; a sleep moves the clock on by exactly its length.
const std::vector<uint32_t>& HeadlessWakeTimes();

// Whether showing the window makes the application active at once (true by default).
void HeadlessSetStartActive(bool active);

// Queues a message for the one window once that many frames have been presented. While the program
// waits with nothing due, the earliest scheduled message is delivered; with nothing scheduled at all
// the window is asked to close, so a script always ends.
void HeadlessScheduleMessage(uint32_t afterPresents, uint32_t message, uintptr_t wParam, intptr_t lParam);
void HeadlessScheduleKeyDown(uint32_t afterPresents, uintptr_t key, bool repeat);
bool HeadlessClosedForIdle();

// The display as a player would see it.
void HeadlessSetRefreshRate(uint32_t hz, bool known);
uint32_t HeadlessPresentCount();
uint32_t HeadlessFlipCount();
// The last shown picture's top-left 320x240 in game pixels (a 640x480 picture is sampled every other
// pixel), and the palette it was shown with.
const uint8_t* HeadlessFrame();
const PaletteEntry* HeadlessFramePalette();
// The last shown picture at its own size.
const std::vector<uint8_t>& HeadlessFullFrame();
int32_t HeadlessFullFrameWidth();
int32_t HeadlessFullFrameHeight();
bool HeadlessCursorVisible();
bool HeadlessFullScreenStyle();

// Called after every present with the number of frames presented so far.
void HeadlessSetPresentHook(void (*hook)(uint32_t presentCount));

// Message boxes shown so far, as "caption|text".
const std::vector<std::string>& HeadlessMessageBoxes();
