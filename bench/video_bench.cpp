// Timings of the per-frame video work: the half-transparent blit and the present conversion.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/display.h"
#include "video/blend.h"
#include "video/surface.h"

namespace {
struct Scene {
    Surface screen{};
    Surface sheet{};
    std::vector<uint8_t> table = std::vector<uint8_t>(65536);
    Scene() {
        DDCreateSurface(&screen, 320, 240, 0, MEMORY_VIDEO);
        DDCreateSurface(&sheet, 352, 128, 1, MEMORY_SYSTEM);
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = static_cast<uint8_t>((i >> 8) / 2 + (i & 255) / 2);
        // Sprite-like cells: a figure inside each 32x32 cell, transparent (index 0) around it.
        for (int32_t y = 0; y < 128; ++y)
            for (int32_t x = 0; x < 352; ++x) {
                const int32_t cx = x % 32 - 16, cy = y % 32 - 16;
                const bool inside = cx * cx + cy * cy < 13 * 13;
                sheet.surface->pixels[y * sheet.surface->pitch + x] =
                    static_cast<uint8_t>(inside ? 1 + (x + y) % 200 : 0);
            }
        for (int32_t y = 0; y < 240; ++y)
            for (int32_t x = 0; x < 320; ++x)
                screen.surface->pixels[y * screen.surface->pitch + x] = static_cast<uint8_t>(x ^ y);
    }
    ~Scene() {
        DDReleaseSurface(&screen);
        DDReleaseSurface(&sheet);
    }
};

void BM_HalfBlendBlt32x32(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        HalfBlendBlt(&s.screen, 144, 104, 32, 32, &s.sheet, 32, 0, BLEND_KEYED, s.table.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HalfBlendBlt32x32);

// The same blend written the plain way: one pixel at a time, left to right, no blocks.
void BM_PlainPerPixelBlend32x32(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        uint8_t* d = s.screen.surface->pixels + 104 * s.screen.surface->pitch + 144;
        const uint8_t* src = s.sheet.surface->pixels + 32;
        for (int32_t y = 0; y < 32; ++y) {
            for (int32_t x = 0; x < 32; ++x) {
                const uint8_t dv = d[x], sv = src[x];
                if (dv != 0 && sv != 0) d[x] = s.table[static_cast<size_t>(dv * 256 + sv)];
            }
            d += s.screen.surface->pitch;
            src += s.sheet.surface->pitch;
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainPerPixelBlend32x32);

void BM_PresentConversion320x240(benchmark::State& state) {
    Scene s;
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                  static_cast<uint8_t>(i / 2), 1};
    std::vector<uint32_t> out(320 * 240);
    for (auto _ : state) {
        PlatformConvertToArgb(s.screen.surface->pixels, s.screen.surface->pitch, 320, 240, palette,
                              out.data());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_PresentConversion320x240);
} // namespace
