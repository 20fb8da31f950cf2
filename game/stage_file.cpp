// The stage file's layout and what the game requires of one before it plays it.
#include "game/stage_file.h"

#include "game/map.h"

namespace {
int32_t ReadLE32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

bool IsPowerOfTwo(int32_t v) {
    return v > 0 && (v & (v - 1)) == 0;
}

void CheckSide(const char* field, int32_t offset, int32_t value, std::vector<std::string>* problems) {
    if (IsPowerOfTwo(value) && value >= STAGE_MIN_SIDE && value <= STAGE_MAX_SIDE) return;
    problems->push_back(
        "its " + std::string(field) + " (offset " + std::to_string(offset) + ") is " + std::to_string(value) +
        " tiles; it must be a power of two from 8 to 1024, since the map wraps with a bit mask");
}
} // namespace

bool ReadStageHeader(const uint8_t* bytes, size_t size, StageHeader* header) {
    if (size < static_cast<size_t>(STAGE_GRID_OFFSET)) return false;
    const uint8_t* h = bytes + STAGE_HEADER_OFFSET;
    header->width = ReadLE32(h);
    header->height = ReadLE32(h + 4);
    header->pixelWidth = ReadLE32(h + 8);
    header->pixelHeight = ReadLE32(h + 12);
    return true;
}

bool CheckStageFile(const uint8_t* bytes, size_t size, std::vector<std::string>* problems) {
    const size_t before = problems->size();
    StageHeader h{};
    if (!ReadStageHeader(bytes, size, &h)) {
        problems->push_back("the file has " + std::to_string(size) + " bytes, fewer than the " +
                            std::to_string(STAGE_GRID_OFFSET) + " of its reserved block and header");
        return false;
    }
    CheckSide("width", STAGE_HEADER_OFFSET, h.width, problems);
    CheckSide("height", STAGE_HEADER_OFFSET + 4, h.height, problems);
    const bool sidesOk = problems->size() == before;
    if (sidesOk && h.width < STAGE_ROOMY_SIDE && h.height < STAGE_ROOMY_SIDE) {
        problems->push_back("its size " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                            " tiles is under 32 on both axes, so the enemies could find nowhere to start");
    }
    if (sidesOk && h.pixelWidth != h.width * 32) {
        problems->push_back("its pixelWidth (offset 532) is " + std::to_string(h.pixelWidth) +
                            "; it must be " + std::to_string(h.width * 32) + ", 32 times the width");
    }
    if (sidesOk && h.pixelHeight != h.height * 32) {
        problems->push_back("its pixelHeight (offset 536) is " + std::to_string(h.pixelHeight) +
                            "; it must be " + std::to_string(h.height * 32) + ", 32 times the height");
    }
    if (!sidesOk) return false;
    const size_t cells = static_cast<size_t>(h.width) * static_cast<size_t>(h.height);
    if (size - STAGE_GRID_OFFSET < cells) {
        problems->push_back("the tile grid is cut short: " + std::to_string(size - STAGE_GRID_OFFSET) +
                            " of " + std::to_string(cells) + " tile bytes are there");
        return false;
    }
    const uint8_t* grid = bytes + STAGE_GRID_OFFSET;
    size_t walkable = 0;
    bool kindReported = false;
    for (size_t i = 0; i < cells; ++i) {
        const uint8_t kind = grid[i];
        if (kind >= TILE_KINDS) {
            if (!kindReported) {
                problems->push_back("the tile at column " + std::to_string(i % static_cast<size_t>(h.width)) +
                                    ", row " + std::to_string(i / static_cast<size_t>(h.width)) +
                                    " has kind " + std::to_string(kind) + "; tile kinds are 0..15");
            }
            kindReported = true;
        } else if (!tileSolid[kind]) {
            ++walkable;
        }
    }
    if (walkable < static_cast<size_t>(STAGE_MIN_WALKABLE)) {
        problems->push_back("it has " + std::to_string(walkable) +
                            " walkable tiles; at least 101 are needed so the player still has room after 100 "
                            "closed tiles are scattered");
    }
    return problems->size() == before;
}
