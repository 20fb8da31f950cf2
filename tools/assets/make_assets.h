// Lays out the game's complete asset tree (bitmaps, blend table, sounds, stages) in a folder.
#pragma once
#include <string>

namespace assets {

// The native path of a game path ("bmp\\x.bmp") inside `dir`.
std::string AssetPathIn(const std::string& dir, const char* gamePath);
// Writes bmp/, wave/, data/ and an empty user_data/ under `dir`; false with the reason on failure.
bool MakeAssets(const std::string& dir, std::string* error);

} // namespace assets
