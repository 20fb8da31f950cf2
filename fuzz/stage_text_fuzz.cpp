// Fuzz target: the tool's stage text (text-to-map), and the stage it writes read back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/memory_file.h"
#include "tools/assets/file_writers.h"
#include "tools/assets/stage_codec.h"

using namespace assets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes;
    if (!ReadBytesFromFile(MemoryFilePath(data, size), &bytes)) return 0;
    StageMap map;
    std::string why;
    if (!StageFromText(std::string(bytes.begin(), bytes.end()), &map, &why)) return 0;
    // What text-to-map writes: only a stage the game plays.
    std::vector<std::string> problems;
    if (!CheckStage(map, &problems)) return 0;
    const std::vector<uint8_t> file = EncodeStage(map);
    // The written stage passes the game's check and reads back to the same grid and the same text.
    std::vector<std::string> gameProblems;
    if (!CheckStageFile(file.data(), file.size(), &gameProblems)) __builtin_trap();
    StageMap back;
    if (!DecodeStage(file.data(), file.size(), &back, &why)) __builtin_trap();
    if (back.width != map.width || back.height != map.height || back.tiles != map.tiles) __builtin_trap();
    StageMap again;
    if (!StageFromText(StageToText(back), &again, &why) || again.tiles != map.tiles) __builtin_trap();
    return 0;
}
