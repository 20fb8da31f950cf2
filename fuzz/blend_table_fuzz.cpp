// Fuzz target: the blend table (bmp/) loaded as the start-up loads it, then drawn through.
#include <cstddef>
#include <cstdint>

#include "fuzz/memory_file.h"
#include "video/blend.h"
#include "video/blit.h"
#include "video/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint8_t table[HALF_BLEND_TABLE_SIZE];
    if (!LoadHalfBlendTable(table, MemoryFilePath(data, size))) __builtin_trap();
    // Any byte is a palette index, so any table draws: a sprite blended keyed and a smear.
    static Surface dest{}, sprite{};
    if (!dest.surface) {
        if (!DDCreateSurface(&dest, 40, 24, 0, MEMORY_SYSTEM) ||
            !DDCreateSurface(&sprite, 16, 16, 1, MEMORY_SYSTEM))
            __builtin_trap();
        DDFillRect(&sprite, 2, 2, 12, 12, 77);
        DDFillRect(&dest, 0, 0, 40, 24, 200);
    }
    HalfBlendBlt(&dest, 3, 5, 16, 16, &sprite, 0, 0, BLEND_KEYED, table);
    HalfBlendSmear(&dest, 0, 0, 40, 24, table);
    return 0;
}
