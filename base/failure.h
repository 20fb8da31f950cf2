// Why the run failed, in one plain line a player can act on, printed when the game ends because of it.
#pragma once
#include <string>

// Records the reason the game is about to end, in plain words: what failed and, where known, what to do
// (for example "cannot read the stage file data/ステージ１.bgd: the file is missing"). Only the first
// reason is kept: what fails after it is usually a knock-on effect.
void NoteFailure(const char* reason);
// The recorded reason, or null when none was recorded.
const char* NotedFailure();
// Forgets the recorded reason (a new run in the same process: tests, replays).
void ClearFailure();
// The line for a failed run as printed on standard error: "quillmarsh: " and the recorded reason, or a
// general line pointing at QUILLMARSH_TRACE when nothing was recorded.
const char* FailureLine();
// Bad input repeated in a message, safe for any terminal and short: in single quotes, at most
// QUOTE_MAX_CHARACTERS characters of it (then "... (N bytes)"), with control characters, backslashes and
// bytes that are not UTF-8 written as \xHH (\t, \r and \n as such).
constexpr size_t QUOTE_MAX_CHARACTERS = 40;
std::string QuoteInput(const std::string& text);

// Says at once, as one line on standard error ("quillmarsh: " and the reason), what failed while the game
// goes on (a record that could not be saved). The run has not failed, so nothing is noted.
void SayFailure(const char* reason);
// Hands those lines to sink instead (null for standard error again): the Windows game's own console.
void SetSayFailureSink(void (*sink)(const char* line));
