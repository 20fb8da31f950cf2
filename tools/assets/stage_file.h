// Stage files: the binary layout the game loads, the invariants it relies on, and a text grid for editing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace assets {

constexpr int kStageHeaderOffset = 524; // reserved bytes before the header
constexpr int kStageHeaderSize = 60;
constexpr int kStageGridOffset = kStageHeaderOffset + kStageHeaderSize;
constexpr int kStageMaxSide = 1024;
constexpr int kStageMinSide = 32;      // enemy placement needs this much room on one axis
constexpr int kStageMinWalkable = 101; // 100 closed tiles are scattered, the player needs one more
constexpr int kStageTileKinds = 16;

// Which tile kinds block bodies, as the game's table has it.
extern const uint8_t kStageTileSolid[kStageTileKinds];

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
// Appends one plain-words reason per broken invariant; true when there are none.
bool CheckStage(const StageMap& map, std::vector<std::string>* problems);

// One character per kind; see kStageTileChars.
extern const char kStageTileChars[kStageTileKinds + 1];
std::string StageToText(const StageMap& map);
bool StageFromText(const std::string& text, StageMap* out, std::string* why);

// The five stages of the game, numbered 1..5.
StageMap MakeStage(int number);

} // namespace assets
