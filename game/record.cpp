// The record file: the most stages cleared in one game, as one signed 32-bit little-endian integer.
#include "game/record.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/failure.h"
#include "game/game_vars.h"
#include "platform/file.h"

namespace {
constexpr size_t RECORD_BYTES = 4;
}

bool LoadRecord(const char* path) {
    FILE* file = PlatformOpenFile(path, "rb");
    if (!file) return false;
    uint8_t bytes[RECORD_BYTES];
    const size_t got = std::fread(bytes, 1, RECORD_BYTES, file);
    std::fclose(file);
    // A cut-short file holds no record, not a mix of its bytes and the last one's.
    if (got != RECORD_BYTES) return false;
    const uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    bestRecord = static_cast<int32_t>(value);
    return true;
}

bool SaveRecord(const char* path) {
    if (bestRecord >= stage) return true;
    const uint32_t value = static_cast<uint32_t>(stage - 1);
    const uint8_t bytes[RECORD_BYTES] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                         static_cast<uint8_t>(value >> 16),
                                         static_cast<uint8_t>(value >> 24)};
    // Replaced whole: a crash or power cut part-way leaves the old record rather than a cut-short file.
    std::string why;
    if (PlatformReplaceFile(path, bytes, RECORD_BYTES, &why)) return true;
    // The game plays on with the old record, but the player should know the new one was lost.
    std::string shown = path;
    for (char& c : shown)
        if (c == '\\') c = '/';
    SayFailure(("cannot save the record " + shown + ": " + why).c_str());
    return false;
}
