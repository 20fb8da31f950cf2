// The failure line for a game file that could not be used: which file, as the player finds it, and why.
#pragma once

// Records "cannot read <what> <path>: <why>" for a file the game could not use, with the path as the
// player finds it on disk (forward slashes) and why: missing (with the folder looked in), not readable,
// or not a file of the kind the game needs; like NoteFailure, only the first reason is kept. gamePath is the
// game's own path ("data\\ステージ１.bgd").
void NoteFileFailure(const char* what, const char* gamePath);
