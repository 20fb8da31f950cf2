// The game's own generated asset tree for tests that play on it, made at most once per test program.
#pragma once
#include <string>

// Copies the generated asset tree (bmp, data, wave) into the current folder. The tree is the build's own
// when the program was started in a build folder that holds one (made from the same sources by the same
// build), else it is made once, in a temporary folder, on first use. False with *error on failure.
bool CopyGeneratedAssets(std::string* error);
