// Whole stages drawn with the map-chip sheet, so a modder sees the map they made (quillmarsh-tool
// map-to-png).
#include "tools/assets/stage_picture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "game/stage_file.h"
#include "platform/file.h"
#include "platform/png_file.h"
#include "tools/assets/check_assets.h"

namespace assets {

namespace {
constexpr int32_t kChipSize = 32;
constexpr int32_t kSheetWidth = 8 * kChipSize;
constexpr int32_t kSheetHeight = 2 * kChipSize;
// Chip sheets are small; anything near this is not one.
constexpr size_t kMaxSheetBytes = 64u << 20;

bool IsScale(int32_t scale) {
    return scale >= 1 && scale <= kStagePictureMaxScale && (scale & (scale - 1)) == 0;
}

// The smallest scale at which a side of `tiles` tiles fits the limit.
int32_t ScaleToFit(int32_t tiles) {
    int32_t scale = 1;
    while (scale < kStagePictureMaxScale && tiles * kChipSize / scale > kStagePictureMaxSide)
        scale *= 2;
    return scale;
}

// At most what the game reads of a stage file: whatever follows the largest grid is never looked at.
bool ReadStageFile(const std::string& path, std::vector<uint8_t>* bytes) {
    // The game's own opener: the name is UTF-8 on every platform, as the game's stage names are.
    FILE* file = PlatformOpenFile(path.c_str(), "rb");
    if (!file) return false;
    bytes->assign(STAGE_MAX_FILE_BYTES, 0);
    size_t filled = 0;
    while (filled < bytes->size()) {
        const size_t got = std::fread(bytes->data() + filled, 1, bytes->size() - filled, file);
        if (got == 0) break;
        filled += got;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    bytes->resize(filled);
    return !failed;
}
} // namespace

bool DrawStagePicture(const StageMap& map, const BitmapFile& chips, int32_t scale, StagePicture* out,
                      std::string* why) {
    if (!IsScale(scale)) {
        *why = "the scale " + std::to_string(scale) + " is not one of 1, 2, 4, 8, 16, 32";
        return false;
    }
    if (chips.width < kSheetWidth || chips.height < kSheetHeight) {
        *why = "the map-chip sheet is " + std::to_string(chips.width) + " x " + std::to_string(chips.height) +
               " pixels; it needs at least 256 x 64, 16 cells of 32 x 32";
        return false;
    }
    const int64_t fullWidth = int64_t{map.width} * kChipSize, fullHeight = int64_t{map.height} * kChipSize;
    if (map.width <= 0 || map.height <= 0 ||
        map.tiles.size() != static_cast<size_t>(map.width) * static_cast<size_t>(map.height)) {
        *why = "the stage has no tiles to draw";
        return false;
    }
    if (fullWidth / scale > kStagePictureMaxSide || fullHeight / scale > kStagePictureMaxSide) {
        const int32_t fit = std::max(ScaleToFit(map.width), ScaleToFit(map.height));
        *why = "the picture would be " + std::to_string(fullWidth / scale) + " x " +
               std::to_string(fullHeight / scale) + " pixels, over the " +
               std::to_string(kStagePictureMaxSide) + " allowed on a side; add --scale " +
               std::to_string(fit) + " (or more) to draw it smaller";
        return false;
    }
    for (size_t i = 0; i < map.tiles.size(); ++i) {
        if (map.tiles[i] >= TILE_KINDS) {
            *why = "the tile at column " + std::to_string(i % static_cast<size_t>(map.width)) + ", row " +
                   std::to_string(i / static_cast<size_t>(map.width)) + " has kind " +
                   std::to_string(map.tiles[i]) + "; tile kinds are 0..15";
            return false;
        }
    }
    out->width = static_cast<int32_t>(fullWidth / scale);
    out->height = static_cast<int32_t>(fullHeight / scale);
    out->pixels.resize(static_cast<size_t>(out->width) * static_cast<size_t>(out->height));
    for (int32_t y = 0; y < out->height; ++y) {
        const int32_t mapY = y * scale;
        const uint8_t* tileRow =
            &map.tiles[static_cast<size_t>(mapY / kChipSize) * static_cast<size_t>(map.width)];
        uint8_t* line = &out->pixels[static_cast<size_t>(y) * static_cast<size_t>(out->width)];
        for (int32_t x = 0; x < out->width; ++x) {
            const int32_t mapX = x * scale;
            const uint8_t kind = tileRow[mapX / kChipSize];
            const int32_t chipX = (kind & 7) * kChipSize + mapX % kChipSize;
            const int32_t chipY = (kind >> 3) * kChipSize + mapY % kChipSize;
            line[x] = chips.pixels[static_cast<size_t>(chipY) * static_cast<size_t>(chips.width) +
                                   static_cast<size_t>(chipX)];
        }
    }
    // The sheet's colour table is blue, green, red, reserved; entries past its own count are black.
    for (int32_t i = 0; i < 256; ++i)
        out->palette[i] =
            PaletteEntry{chips.colorTable[i][2], chips.colorTable[i][1], chips.colorTable[i][0], 0};
    return true;
}

bool StageFileToPng(const std::string& stagePath, const std::string& chipsPath, int32_t scale,
                    const std::string& outPath, std::vector<std::string>* why) {
    // Refused before anything is read or drawn: a folder, a device or a link to one is never replaced.
    const std::string refusal = PlatformReplaceRefusal(outPath.c_str());
    if (!refusal.empty()) {
        why->push_back(outPath + ": cannot be written: " + refusal);
        return false;
    }
    std::vector<uint8_t> stageBytes;
    if (!ReadStageFile(stagePath, &stageBytes)) {
        std::error_code ignored;
        const bool folder =
            std::filesystem::is_directory(std::u8string(stagePath.begin(), stagePath.end()), ignored);
        why->push_back(stagePath + ": cannot be read" + (folder ? ": it is a folder" : ""));
        return false;
    }
    std::vector<std::string> problems;
    if (!CheckStageFile(stageBytes.data(), stageBytes.size(), &problems)) {
        for (const std::string& p : problems)
            why->push_back(stagePath + ": the game would refuse it: " + p);
        return false;
    }
    StageMap map;
    std::string reason;
    if (!DecodeStage(stageBytes.data(), stageBytes.size(), &map, &reason)) {
        why->push_back(stagePath + ": " + reason);
        return false;
    }
    std::vector<uint8_t> sheetBytes;
    if (!ReadWholeFile(chipsPath.c_str(), &sheetBytes, kMaxSheetBytes)) {
        why->push_back(chipsPath + ": cannot be read; run from the game's folder (where bmp/ is) or name the "
                                   "map-chip sheet with --chips FILE");
        return false;
    }
    BitmapFile chips;
    if (!DecodeBitmapFile(sheetBytes.data(), sheetBytes.size(), &chips)) {
        why->push_back(chipsPath + ": " + DescribeBitmapRefusal(sheetBytes));
        return false;
    }
    StagePicture picture;
    if (!DrawStagePicture(map, chips, scale, &picture, &reason)) {
        // Only the sheet's size is the sheet's fault; the rest is about the stage and the scale.
        why->push_back((chips.width < kSheetWidth || chips.height < kSheetHeight ? chipsPath : stagePath) +
                       ": " + reason);
        return false;
    }
    if (!WriteIndexedPng(outPath.c_str(), picture.pixels.data(), picture.width, picture.height, picture.width,
                         picture.palette)) {
        why->push_back(outPath + ": cannot be written");
        return false;
    }
    return true;
}

} // namespace assets
