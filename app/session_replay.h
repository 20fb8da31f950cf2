// Watching a recording in the game itself: its seed, its held controls at their frames and its window
// events before their frames, as the runner feeds them, until it ends and the player takes over.
#pragma once
#include <cstdint>
#include <string>

#include "app/input_script.h"

// Reads the recording at path (the runner's reader and messages); false with "FILE: line N: reason" or
// why the file cannot be read. Nothing is started then.
bool LoadSessionReplay(const char* path, std::string* error);
// Plays script from the next start-up on: its seed, then frame by frame its controls and events. The
// player's game keys count for nothing until the last line's frame has run; Esc still quits.
void StartSessionReplay(const InputScript& script);
bool SessionReplayActive();
// Forgets the replay, as at process start (tests).
void ResetSessionReplay();
// Where the one line saying the player has taken over goes (null: standard error).
void SetSessionReplayNotice(void (*say)(const char* line));

// Called by start-up with the clock's seed: the recording's seed replaces it while a replay plays.
uint32_t SessionReplaySeed(uint32_t clockSeed);
// Called by the message loop before it looks for messages: delivers the recorded events due before the
// coming frame, once.
void DeliverSessionReplayEvents();
// Called by the window procedure first: true for a game key the player pressed while the replay plays.
bool SessionReplayHoldsBack(uint32_t message, uintptr_t wParam);
// Called by the frame gate while it waits: true to stop waiting, while the replay plays and Tab is held
// (fast-forward: the same frames, sooner).
bool SessionReplaySkipsWait();
