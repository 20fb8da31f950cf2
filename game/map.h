// The stage map: a wrap-around grid of tile kinds, its view origin, loading and drawing.
#pragma once
#include <cstdint>

enum TileKind : uint8_t {
    TILE_CLOSED = 8,
    TILE_OPENED = 9,
    TILE_SEAL = 10,
};

struct MapData {
    uint8_t** rows; // height rows of width kinds, row 0 at the top; owned
    int32_t width;
    int32_t height;
    int32_t pixelWidth;
    int32_t pixelHeight;
};

// 1 where the kind blocks bodies.
extern const uint8_t tileSolid[16];
extern MapData mapData;
// The map pixel shown at the top-left of the view; kept inside the map.
extern int32_t scrollX;
extern int32_t scrollY;

// Random cell draws take two values of the generator; on maps up to 1024 tiles the cells they pick repeat
// after 2^25 draws, so a search that has not succeeded by then never will.
constexpr int32_t RANDOM_CELL_TRIES = 1 << 25;

bool LoadMapData(MapData* map, const char* path);
void FreeMapData(MapData* map);
void ScatterClosedTiles();
// coord modulo n tiles, by mask: n is a power of two.
void WrapCoord(int32_t* coord, int32_t n);
void DrawMap();

// The kind under a wrapped Fixed16 point of the current map; writing through it changes the map.
inline uint8_t* TileAt(int32_t x, int32_t y) {
    return &mapData.rows[y >> 21][x >> 21];
}

// For tests: how many allocations (the row array, then each row) LoadMapData may still make; negative: all.
extern int32_t mapAllocationsLeft;
