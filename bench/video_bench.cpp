// Timings of the per-frame video work: the half-transparent blit and the present conversion.
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "platform/display_device.h"
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
void PlainPerPixelBlend32x32(Scene& s, int32_t x, int32_t y, int32_t srcX, int32_t srcY) {
    uint8_t* d = s.screen.surface->pixels + y * s.screen.surface->pitch + x;
    const uint8_t* src = s.sheet.surface->pixels + srcY * s.sheet.surface->pitch + srcX;
    for (int32_t row = 0; row < 32; ++row) {
        for (int32_t col = 0; col < 32; ++col) {
            const uint8_t dv = d[col], sv = src[col];
            if (dv != 0 && sv != 0) d[col] = s.table[static_cast<size_t>(dv * 256 + sv)];
        }
        d += s.screen.surface->pitch;
        src += s.sheet.surface->pitch;
    }
}

// Both benchmarks above blend one cell onto one place again and again: the picture there settles and the
// plain loop's branches are learnt, which a frame never offers.
void BM_PlainPerPixelBlend32x32(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        PlainPerPixelBlend32x32(s, 144, 104, 32, 0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainPerPixelBlend32x32);

int64_t ThreadCpuNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

// As in a frame: a fresh picture, then 48 cells (varied, as the animation varies them) blended once each
// at 48 places over it. Both ways run in alternating batches within one run, so a busy machine slows both
// alike; "speedup" is the plain loop's processor time over HalfBlendBlt's. The picture is put back between
// batches, outside the timing.
void BM_BlendAgainstPlainLoop(benchmark::State& state) {
    constexpr int32_t CELLS = 48;
    Scene s;
    const std::vector<uint8_t> picture(s.screen.surface->pixels,
                                       s.screen.surface->pixels + s.screen.surface->pitch * 240);
    int64_t blendTime = 0, plainTime = 0, calls = 0;
    bool blendFirst = true;
    for (auto _ : state) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool blend = (turn == 0) == blendFirst;
            std::memcpy(s.screen.surface->pixels, picture.data(), picture.size());
            const int64_t start = ThreadCpuNanoseconds();
            for (int32_t k = 0; k < CELLS; ++k) {
                const int32_t x = 8 + 38 * (k % 8), y = 4 + 38 * (k / 8);
                const int32_t srcX = 32 * (k % 11), srcY = 32 * (k / 11 % 4);
                if (blend)
                    HalfBlendBlt(&s.screen, x, y, 32, 32, &s.sheet, srcX, srcY, BLEND_KEYED, s.table.data());
                else
                    PlainPerPixelBlend32x32(s, x, y, srcX, srcY);
                benchmark::ClobberMemory();
            }
            (blend ? blendTime : plainTime) += ThreadCpuNanoseconds() - start;
        }
        blendFirst = !blendFirst;
        calls += CELLS;
    }
    if (calls == 0 || blendTime == 0) return;
    state.counters["blend_ns"] = static_cast<double>(blendTime) / static_cast<double>(calls);
    state.counters["plain_ns"] = static_cast<double>(plainTime) / static_cast<double>(calls);
    state.counters["speedup"] = static_cast<double>(plainTime) / static_cast<double>(blendTime);
}
BENCHMARK(BM_BlendAgainstPlainLoop);

// The SDL present's step before the texture upload: each 8-bit pixel through the palette into ARGB, at
// 320x240 and at 640x480 (Mode=1, every pixel doubled).
void BM_PresentConversion(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0));
    const int32_t height = width * 3 / 4;
    std::vector<uint8_t> picture(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            picture[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(x ^ y);
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                  static_cast<uint8_t>(i / 2), 1};
    std::vector<uint32_t> out(picture.size());
    for (auto _ : state) {
        PlatformConvertToArgb(picture.data(), width, width, height, palette, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PresentConversion)->Arg(320)->Arg(640);
} // namespace
