// Whole stages drawn with the map-chip sheet, so a modder sees the map they made (quillmarsh-tool
// map-to-png).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/display_device.h"
#include "tools/assets/stage_codec.h"
#include "video/bitmap_file.h"

namespace assets {

// The chip sheet the game draws stages with, as a path from the game's folder.
constexpr const char* kStageChipSheet = "bmp/マップチップ.bmp";
// Pictures larger than this on a side are refused (a 1024-tile side is 32768 pixels, a gigabyte of
// pixels); --scale shrinks them.
constexpr int32_t kStagePictureMaxSide = 8192;
// Every tile is 32 pixels, so a picture can shrink by any power of two up to 32 (one pixel a tile).
constexpr int32_t kStagePictureMaxScale = 32;

struct StagePicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels; // width * height indices, top row first
    PaletteEntry palette[256] = {};
};

// Draws every tile of map from chips (kind k from the cell at ((k & 7) * 32, (k >> 3) * 32)), through the
// sheet's colour table. With scale n the picture is 1/n the size: each of its pixels is the top-left one of
// an n x n block of the full picture. False with the reason for a sheet too small for 16 cells, a kind
// past 15, a scale that is not 1, 2, 4 ... 32, or a picture over kStagePictureMaxSide on a side.
bool DrawStagePicture(const StageMap& map, const BitmapFile& chips, int32_t scale, StagePicture* out,
                      std::string* why);

// The command: reads the stage file (judged by the game's own check, as the game would), the chip sheet
// and writes the picture as a PNG. False with every reason, each naming its file.
bool StageFileToPng(const std::string& stagePath, const std::string& chipsPath, int32_t scale,
                    const std::string& outPath, std::vector<std::string>* why);

} // namespace assets
