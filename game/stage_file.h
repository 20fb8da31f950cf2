// The stage file's layout and what the game requires of one before it plays it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t STAGE_HEADER_OFFSET = 524; // reserved bytes before the header, never read
constexpr int32_t STAGE_HEADER_SIZE = 60;
constexpr int32_t STAGE_GRID_OFFSET = STAGE_HEADER_OFFSET + STAGE_HEADER_SIZE;
constexpr int32_t STAGE_MIN_SIDE = 8;
constexpr int32_t STAGE_MAX_SIDE = 1024;
// Enemies are placed at least 320 pixels from the player, which needs 32 tiles on one axis.
constexpr int32_t STAGE_ROOMY_SIDE = 32;
// 100 closed tiles are scattered at the start; the player still needs one free cell after that.
constexpr int32_t STAGE_MIN_WALKABLE = 101;
constexpr int32_t TILE_KINDS = 16;
// Anything after the largest grid is ignored, so a reader never needs more than this.
constexpr size_t STAGE_MAX_FILE_BYTES =
    static_cast<size_t>(STAGE_GRID_OFFSET) + static_cast<size_t>(STAGE_MAX_SIDE) * STAGE_MAX_SIDE;

struct StageHeader {
    int32_t width;
    int32_t height;
    int32_t pixelWidth;
    int32_t pixelHeight;
};

// The four header fields; false when the bytes end before the header does.
bool ReadStageHeader(const uint8_t* bytes, size_t size, StageHeader* header);
// Appends one plain-words reason, naming the field and its value, for each way the file breaks what the
// game relies on. True when there is none. The game and the asset checker both judge files with this.
bool CheckStageFile(const uint8_t* bytes, size_t size, std::vector<std::string>* problems);
