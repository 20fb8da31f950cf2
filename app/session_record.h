// Recording of a session as an input script: the seed, the held controls each frame sampled and the
// window events dispatched before each frame, so the session can be replayed frame for frame.
#pragma once
#include <cstdint>

// Starts writing to path (replacing it). False when the file cannot be created; nothing is recorded then.
bool StartSessionRecord(const char* path);
// Writes what is still pending (events after the last frame) and closes the file. False when any write
// failed. Harmless when no recording runs.
bool StopSessionRecord();
bool SessionRecordActive();
// Called by the window procedure with every message it receives.
void RecordWindowMessage(uint32_t message, uintptr_t wParam);
