// The stage map: a wrap-around grid of tile kinds, its view origin, loading and drawing.
#include "game/map.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/failure.h"
#include "base/random.h"
#include "game/scene_control.h"
#include "game/stage_file.h"
#include "platform/file.h"
#include "platform/file_failure.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/surface.h"

const uint8_t tileSolid[16] = {0, 1, 1, 1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0};
MapData mapData = {};
int32_t scrollX = 0;
int32_t scrollY = 0;
int32_t mapAllocationsLeft = -1;

namespace {
void* AllocateMapBlock(size_t bytes) {
    if (mapAllocationsLeft == 0) return nullptr;
    if (mapAllocationsLeft > 0) --mapAllocationsLeft;
    return std::malloc(bytes);
}

bool OutOfMemory(FILE* file) {
    NoteFailure("not enough memory for the stage map");
    ShowOutOfMemory();
    PlatformPostMessage(mainWindow, WM_CLOSE, 0, 0);
    std::fclose(file);
    return false;
}

// The whole file up to the largest stage it could hold; what lies beyond is never used.
std::vector<uint8_t> ReadStageBytes(FILE* file) {
    // Grown as the file goes rather than a largest stage's worth made and cleared for every file.
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> chunk(16384);
    while (bytes.size() < STAGE_MAX_FILE_BYTES) {
        const size_t want = std::min(chunk.size(), STAGE_MAX_FILE_BYTES - bytes.size());
        const size_t got = std::fread(chunk.data(), 1, want, file);
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk.data(), chunk.data() + got);
    }
    return bytes;
}
} // namespace

bool LoadMapData(MapData* map, const char* path) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (!file) return false;
    // A file the game cannot play is refused like a missing one, before the map is touched.
    const std::vector<uint8_t> bytes = ReadStageBytes(file);
    // What could not be read (a folder, a failing disk) is named as such, not judged by its 0 bytes.
    if (std::ferror(file)) {
        NoteFileFailure("the stage file", path);
        std::fclose(file);
        return false;
    }
    std::vector<std::string> problems;
    if (!CheckStageFile(bytes.data(), bytes.size(), &problems)) {
        NoteFailure(("cannot play the stage file " + PlatformNativePath(path) + ": " + problems[0]).c_str());
        std::fclose(file);
        return false;
    }
    StageHeader header{};
    ReadStageHeader(bytes.data(), bytes.size(), &header);
    map->width = header.width;
    map->height = header.height;
    map->pixelWidth = header.pixelWidth;
    map->pixelHeight = header.pixelHeight;
    map->rows = static_cast<uint8_t**>(AllocateMapBlock(static_cast<size_t>(map->height) * sizeof(uint8_t*)));
    if (!map->rows) return OutOfMemory(file);
    for (int32_t row = 0; row < map->height; ++row)
        map->rows[row] = nullptr;
    for (int32_t row = 0; row < map->height; ++row) {
        map->rows[row] = static_cast<uint8_t*>(AllocateMapBlock(static_cast<size_t>(map->width)));
        if (!map->rows[row]) return OutOfMemory(file);
    }
    const uint8_t* grid = bytes.data() + STAGE_GRID_OFFSET;
    for (int32_t row = 0; row < map->height; ++row) {
        for (int32_t column = 0; column < map->width; ++column)
            map->rows[row][column] = grid[static_cast<size_t>(row) * static_cast<size_t>(map->width) +
                                          static_cast<size_t>(column)];
    }
    std::fclose(file);
    return true;
}

void FreeMapData(MapData* map) {
    if (map->rows) {
        for (int32_t row = 0; row < map->height; ++row) {
            std::free(map->rows[row]);
            map->rows[row] = nullptr;
        }
        std::free(map->rows);
        map->rows = nullptr;
    }
    map->width = 0;
    map->height = 0;
}

void ScatterClosedTiles() {
    int32_t count = 0;
    for (int32_t tries = 0; count < 100 && tries < RANDOM_CELL_TRIES; ++tries) {
        const int32_t column = qm::rand() % mapData.width;
        const int32_t row = qm::rand() % mapData.height;
        uint8_t& cell = mapData.rows[row][column];
        if (cell == TILE_CLOSED) continue;
        cell = TILE_CLOSED;
        ++count;
    }
    // Past the bound the draws only repeat themselves: close the first open cells instead of looping.
    for (int32_t row = 0; row < mapData.height && count < 100; ++row)
        for (int32_t column = 0; column < mapData.width && count < 100; ++column)
            if (mapData.rows[row][column] != TILE_CLOSED) {
                mapData.rows[row][column] = TILE_CLOSED;
                ++count;
            }
}

void WrapCoord(int32_t* coord, int32_t n) {
    // In unsigned arithmetic so that a 1024-tile axis (mask 2^31 - 1) needs no shift past int32.
    const uint32_t mask = (static_cast<uint32_t>(n) << 21) - 1u;
    *coord = static_cast<int32_t>(static_cast<uint32_t>(*coord) & mask);
}

void DrawMap() {
    const int32_t column0 = scrollX >> 5;
    const int32_t offsetX = scrollX & 31;
    const int32_t row0 = scrollY >> 5;
    const int32_t offsetY = scrollY & 31;
    for (int32_t r = 0; r < 6; ++r) {
        for (int32_t c = 0; c < 6; ++c) {
            const uint8_t kind =
                mapData.rows[(row0 + r) & (mapData.height - 1)][(column0 + c) & (mapData.width - 1)];
            DDBltClip(&backBuffer, 80 + 32 * c - offsetX, 40 + 32 * r - offsetY, 32, 32,
                      &surfaceTable[SURFACE_MAPCHIP], (kind & 7) * 32, (kind >> 3) * 32, BLT_OPAQUE);
        }
    }
}
