// Stage files: the binary layout the game loads, the invariants it relies on, and a text grid for editing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/map.h"
#include "game/stage_file.h"

namespace assets {

// The layout and the rules are the game's own (game/stage_file.h), so the tools can never disagree with it.
constexpr int kStageHeaderOffset = STAGE_HEADER_OFFSET;
constexpr int kStageGridOffset = STAGE_GRID_OFFSET;
constexpr int kStageMaxSide = STAGE_MAX_SIDE;
constexpr int kStageTileKinds = TILE_KINDS;

// Which tile kinds block bodies: the game's table.
inline const uint8_t* const kStageTileSolid = tileSolid;

struct StageMap {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pixelWidth = 0;
    int32_t pixelHeight = 0;
    std::vector<uint8_t> tiles; // width * height kinds, row 0 first
};

StageMap MakeEmptyStage(int width, int height, uint8_t kind);
uint8_t StageTile(const StageMap& map, int x, int y); // wraps around both edges
void SetStageTile(StageMap* map, int x, int y, uint8_t kind);
int CountWalkable(const StageMap& map);

// Zero reserved bytes, the header, the grid.
std::vector<uint8_t> EncodeStage(const StageMap& map);
// Reads the header and grid; false with the reason when the bytes cannot hold a stage at all.
bool DecodeStage(const uint8_t* bytes, size_t size, StageMap* out, std::string* why);
// Appends one plain-words reason per broken invariant, judged by the game's own check; true when none.
bool CheckStage(const StageMap& map, std::vector<std::string>* problems);

// One character per kind; see kStageTileChars.
extern const char kStageTileChars[kStageTileKinds + 1];
std::string StageToText(const StageMap& map);
bool StageFromText(const std::string& text, StageMap* out, std::string* why);

// The five stages of the game, numbered 1..5.
StageMap MakeStage(int number);

} // namespace assets
