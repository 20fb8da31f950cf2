// Checks an asset tree the way the game will use it, and says in plain words what would go wrong.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assets {

struct AssetProblem {
    std::string file;   // game path, e.g. "bmp\\キャラ.bmp"
    std::string reason; // plain words
    bool fatal = true;  // the game would stop (or hang) because of it
};

// Every file the game opens under `dir`.
std::vector<AssetProblem> CheckAssets(const std::string& dir);

// Why a BMP or WAV file is refused; for messages, when the reader has already said no.
std::string DescribeBitmapRefusal(const std::vector<uint8_t>& bytes);
std::string DescribeWaveRefusal(const std::vector<uint8_t>& bytes);

} // namespace assets
