// Stage files: the binary layout the game loads, the invariants it relies on, and a text grid for editing.
#include "tools/assets/stage_codec.h"

#include "base/failure.h"
#include "tools/assets/file_writers.h"

#include <cstring>

namespace assets {

// floor, brick, crypt, hedge, boards, water, moss, grave, closed, opened, seal, gravel, bones, rock, mud, rug
const char kStageTileChars[kStageTileKinds + 1] = ".#%T=~,+Co*:b^_r";

StageMap MakeEmptyStage(int width, int height, uint8_t kind) {
    StageMap map;
    map.width = width;
    map.height = height;
    map.pixelWidth = width * 32;
    map.pixelHeight = height * 32;
    map.tiles.assign(static_cast<size_t>(width) * static_cast<size_t>(height), kind);
    return map;
}

static size_t TileOffset(const StageMap& map, int x, int y) {
    x = ((x % map.width) + map.width) % map.width;
    y = ((y % map.height) + map.height) % map.height;
    return static_cast<size_t>(y) * static_cast<size_t>(map.width) + static_cast<size_t>(x);
}

uint8_t StageTile(const StageMap& map, int x, int y) {
    return map.tiles[TileOffset(map, x, y)];
}

void SetStageTile(StageMap* map, int x, int y, uint8_t kind) {
    map->tiles[TileOffset(*map, x, y)] = kind;
}

int CountWalkable(const StageMap& map) {
    int n = 0;
    for (uint8_t k : map.tiles) {
        if (k < kStageTileKinds && !kStageTileSolid[k]) ++n;
    }
    return n;
}

std::vector<uint8_t> EncodeStage(const StageMap& map) {
    std::vector<uint8_t> out(kStageHeaderOffset, 0);
    PutLE32(&out, static_cast<uint32_t>(map.width));
    PutLE32(&out, static_cast<uint32_t>(map.height));
    PutLE32(&out, static_cast<uint32_t>(map.pixelWidth));
    PutLE32(&out, static_cast<uint32_t>(map.pixelHeight));
    out.resize(kStageGridOffset, 0);
    out.insert(out.end(), map.tiles.begin(), map.tiles.end());
    return out;
}

bool DecodeStage(const uint8_t* bytes, size_t size, StageMap* out, std::string* why) {
    if (size < static_cast<size_t>(kStageGridOffset)) {
        *why = "the file has " + std::to_string(size) + " bytes, fewer than the " +
               std::to_string(kStageGridOffset) + " of its reserved block and header";
        return false;
    }
    StageMap map;
    map.width = static_cast<int32_t>(GetLE32(bytes + kStageHeaderOffset));
    map.height = static_cast<int32_t>(GetLE32(bytes + kStageHeaderOffset + 4));
    map.pixelWidth = static_cast<int32_t>(GetLE32(bytes + kStageHeaderOffset + 8));
    map.pixelHeight = static_cast<int32_t>(GetLE32(bytes + kStageHeaderOffset + 12));
    if (map.width < 1 || map.height < 1 || map.width > kStageMaxSide || map.height > kStageMaxSide) {
        *why = "its size " + std::to_string(map.width) + " x " + std::to_string(map.height) +
               " tiles is outside 1..1024 on an axis";
        return false;
    }
    size_t cells = static_cast<size_t>(map.width) * static_cast<size_t>(map.height);
    if (size - kStageGridOffset < cells) {
        *why = "the tile grid is cut short: " + std::to_string(size - kStageGridOffset) + " of " +
               std::to_string(cells) + " tile bytes are present";
        return false;
    }
    map.tiles.assign(bytes + kStageGridOffset, bytes + kStageGridOffset + cells);
    *out = map;
    return true;
}

bool CheckStage(const StageMap& map, std::vector<std::string>* problems) {
    if (map.tiles.size() != static_cast<size_t>(map.width) * static_cast<size_t>(map.height)) {
        problems->push_back("its grid holds " + std::to_string(map.tiles.size()) +
                            " tiles instead of width x height");
        return false;
    }
    const std::vector<uint8_t> bytes = EncodeStage(map);
    return ::CheckStageFile(bytes.data(), bytes.size(), problems);
}

std::string StageToText(const StageMap& map) {
    std::string out;
    out.reserve(map.tiles.size() + static_cast<size_t>(map.height));
    for (int y = 0; y < map.height; ++y) {
        for (int x = 0; x < map.width; ++x) {
            uint8_t k =
                map.tiles[static_cast<size_t>(y) * static_cast<size_t>(map.width) + static_cast<size_t>(x)];
            out.push_back(k < kStageTileKinds ? kStageTileChars[k] : '?');
        }
        out.push_back('\n');
    }
    return out;
}

bool StageFromText(const std::string& text, StageMap* out, std::string* why) {
    std::vector<std::string> rows;
    std::string row;
    for (char ch : text) {
        if (ch == '\r') continue; // tolerate files saved with Windows line ends
        if (ch == '\n') {
            rows.push_back(row);
            row.clear();
        } else {
            row.push_back(ch);
        }
    }
    if (!row.empty()) rows.push_back(row);
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    if (rows.empty()) {
        *why = "the text holds no rows";
        return false;
    }
    int width = static_cast<int>(rows[0].size());
    int height = static_cast<int>(rows.size());
    if (width > kStageMaxSide || height > kStageMaxSide) {
        *why = "the grid is larger than 1024 on an axis";
        return false;
    }
    StageMap map = MakeEmptyStage(width, height, 0);
    for (int y = 0; y < height; ++y) {
        if (static_cast<int>(rows[static_cast<size_t>(y)].size()) != width) {
            *why = "row " + std::to_string(y + 1) + " has " +
                   std::to_string(rows[static_cast<size_t>(y)].size()) + " characters, the first row " +
                   std::to_string(width);
            return false;
        }
        for (int x = 0; x < width; ++x) {
            char ch = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            const char* at = ch ? std::strchr(kStageTileChars, ch) : nullptr;
            if (!at) {
                *why = "row " + std::to_string(y + 1) + ", column " + std::to_string(x + 1) + ": " +
                       QuoteInput(std::string(1, ch)) + " is not a tile character";
                return false;
            }
            SetStageTile(&map, x, y, static_cast<uint8_t>(at - kStageTileChars));
        }
    }
    *out = map;
    return true;
}

} // namespace assets
