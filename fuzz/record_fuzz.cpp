// Fuzz target: the record file (user_data/Record.dat) read as the title reads it.
#include <cstddef>
#include <cstdint>

#include "fuzz/memory_file.h"
#include "game/game_vars.h"
#include "game/record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bestRecord = -1;
    const bool loaded = LoadRecord(MemoryFilePath(data, size));
    // Four bytes or more hold a record, the first four as a little-endian number; fewer hold none.
    if (loaded != (size >= 4)) __builtin_trap();
    if (loaded && static_cast<uint32_t>(bestRecord) !=
                      (data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24))
        __builtin_trap();
    return 0;
}
