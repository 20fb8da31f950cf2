// Test helpers for the world: maps made in memory, an independent copy of the random generator, sounds.
#include "tests/support/world.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/map.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"

void MakeTestMap(int32_t width, int32_t height, uint8_t kind) {
    FreeMapData(&mapData);
    mapData.width = width;
    mapData.height = height;
    mapData.pixelWidth = width * 32;
    mapData.pixelHeight = height * 32;
    mapData.rows = static_cast<uint8_t**>(std::calloc(static_cast<size_t>(height), sizeof(uint8_t*)));
    for (int32_t r = 0; r < height; ++r) {
        mapData.rows[r] = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width)));
        std::memset(mapData.rows[r], kind, static_cast<size_t>(width));
    }
}

void SetTile(int32_t column, int32_t row, uint8_t kind) {
    mapData.rows[row][column] = kind;
}

uint8_t GetTile(int32_t column, int32_t row) {
    return mapData.rows[row][column];
}

std::vector<uint8_t> StageBytes(int32_t width, int32_t height, uint8_t kind) {
    std::vector<uint8_t> b(584 + static_cast<size_t>(width) * static_cast<size_t>(height), kind);
    std::memset(b.data(), 0, 584);
    const int32_t fields[4] = {width, height, width * 32, height * 32};
    for (int f = 0; f < 4; ++f)
        for (int k = 0; k < 4; ++k)
            b[524 + static_cast<size_t>(f * 4 + k)] =
                static_cast<uint8_t>(static_cast<uint32_t>(fields[f]) >> (8 * k));
    return b;
}

uint32_t SeedFor(const std::vector<WantedDraw>& draws) {
    for (uint32_t seed = 0;; ++seed) {
        ModelRandom model{seed};
        bool found = true;
        for (const WantedDraw& d : draws) {
            const int32_t r = model.Next();
            if (d.modulus != 0 && r % d.modulus != d.value) {
                found = false;
                break;
            }
        }
        if (found || seed == UINT32_MAX) return seed;
    }
}

int32_t PlaysOf(SoundId id) {
    const SoundGroup& group = soundGroups[id];
    int32_t plays = 0;
    for (const HeadlessAudioCall& call : HeadlessAudioCalls()) {
        if (call.op != AUDIO_PLAY) continue;
        for (int32_t i = 0; i < group.count; ++i)
            if (HeadlessAudioBufferId(group.buffers[i]) == call.buffer) ++plays;
    }
    return plays;
}

void WriteFramePicture(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n320 240\n255\n");
    const uint8_t* frame = HeadlessFrame();
    const PaletteEntry* palette = HeadlessFramePalette();
    for (int32_t i = 0; i < 320 * 240; ++i) {
        const PaletteEntry& e = palette[frame[i]];
        const uint8_t rgb[3] = {e.red, e.green, e.blue};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

void MaybeWriteFramePicture(const std::string& name) {
    if (const char* prefix = std::getenv("QUILLMARSH_WORLD_PICTURE"))
        WriteFramePicture(prefix + ("-" + name + ".ppm"));
}
