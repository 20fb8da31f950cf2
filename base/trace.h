// The trace hook every failure text, and each change of the state frames run in, goes to.
#pragma once

// Discards the text, unless QUILLMARSH_TRACE is set in the environment: then each text is written to
// standard error as one UTF-8 line, so a player can see why the game ended quietly.
void TraceLog(const char* text);
// Also hands every text to sink (null to stop); for tests and the headless runner.
void SetTraceSink(void (*sink)(const char* text));
