// Fuzz target: a stage file (data/) loaded as a stage starts, judged by the game's own check.
#include <cstddef>
#include <cstdint>

#include "base/failure.h"
#include "fuzz/memory_file.h"
#include "game/map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = MemoryFilePath(data, size);
    ClearFailure();
    MapData map{};
    if (LoadMapData(&map, path)) {
        // Every cell the game will index through its wrap-around masks is there and a known kind.
        for (int32_t row = 0; row < map.height; ++row)
            for (int32_t column = 0; column < map.width; ++column)
                if (map.rows[row][column] >= 16) __builtin_trap();
    }
    FreeMapData(&map);
    ClearFailure();
    return 0;
}
