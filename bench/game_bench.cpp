// Timings of whole frames of play on the headless backend, on the real asset tree, and of the drawing
// steps inside a frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "base/random.h"
#include "game/enemy.h"
#include "game/game_scene.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_input.h"
#include "tools/assets/make_assets.h"
#include "video/blend.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/surface.h"

namespace {
std::filesystem::path assetFolder;

void RemoveAssetFolder() {
    std::error_code ignored;
    if (!assetFolder.empty()) std::filesystem::remove_all(assetFolder, ignored);
}

// Makes the asset tree in a fresh folder, works from there and starts the game on the headless backend,
// once per process. Every clock reading moves 11 virtual ms on, so each gate opens at its first reading
// and a frame's time is its own work.
bool GameReady(std::string* error) {
    static std::string failure = [] {
        char name[] = "/tmp/quillmarsh-bench-XXXXXX";
        if (!mkdtemp(name)) return std::string("cannot make a temporary folder");
        assetFolder = name;
        std::atexit(RemoveAssetFolder);
        std::filesystem::current_path(assetFolder);
        std::string why;
        if (!assets::MakeAssets(".", &why)) return "cannot make the assets: " + why;
        if (!PlatformRegisterWindowClass("Quillmarsh", MainWndProc)) return std::string("no window class");
        mainWindow = PlatformCreateWindow("Quillmarsh", "Quillmarsh", 100, 100, 320, 240);
        if (!mainWindow) return std::string("no window");
        PlatformShowWindow(mainWindow, SW_SHOWNORMAL);
        if (!InitApp(mainWindow)) return std::string("the start-up failed");
        appStarted = 1;
        HeadlessSetClockStep(1000 / FRAME_RATE);
        return std::string();
    }();
    *error = failure;
    return failure.empty();
}

// Starts the stage afresh from a fixed seed and runs its fade-in through, leaving the first frame of play
// next. Only the right arrow is held from then on: the player walks and never opens a slab, so the enemy
// count stays what the stage started with.
bool StartStage(int32_t stageNumber, uint32_t seed) {
    if (gamePhase == PHASE_RUN) UnloadGameScene();
    HeadlessReleaseAllKeys();
    qm::srand(seed);
    currentScene = SCENE_GAME;
    gamePhase = PHASE_LOAD;
    stage = stageNumber;
    lives = 2;
    paused = 0;
    for (int frame = 0; frame < 200; ++frame) {
        if (!RunFrame()) return false;
        if (gamePhase == PHASE_RUN && GameState == GAME_PLAY) {
            HeadlessSetKey(VK_RIGHT, true);
            return true;
        }
    }
    return false;
}

bool EnemyVisible(const Enemy* e) {
    const int32_t vx = (e->body.screenX >> 16) - 8;
    const int32_t vy = (e->body.screenY >> 16) - 16;
    return !(vx + 31 < 0 || vx >= 160 || vy + 31 < 0 || vy >= 160);
}

// A frame of play: the gate, sampling, the whole play state (light, player, enemies, drawing), the palette
// and the headless present. When the player is caught (or the stage ends) the stage starts again from the
// next seed outside the timing; the frame that catches the player is timed, and is cheaper than the rest
// because it draws nothing. An untimed run of the same frames first gives the counts shown alongside.
void BM_PlayFrame(benchmark::State& state) {
    std::string error;
    if (!GameReady(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const auto stageNumber = static_cast<int32_t>(state.range(0));
    constexpr int SAMPLE_FRAMES = 2000;
    uint32_t seed = 1;
    if (!StartStage(stageNumber, seed)) {
        state.SkipWithError("the stage did not start");
        return;
    }
    int64_t visible = 0, restarts = 0;
    for (int frame = 0; frame < SAMPLE_FRAMES; ++frame) {
        RunFrame();
        for (Enemy* e = enemyList.head->next; e != enemyList.tail; e = e->next)
            visible += EnemyVisible(e);
        if (GameState != GAME_PLAY) {
            ++restarts;
            StartStage(stageNumber, ++seed);
        }
    }
    state.counters["enemies"] = enemyList.count;
    state.counters["visible"] = static_cast<double>(visible) / SAMPLE_FRAMES;
    state.counters["caught/1k"] = 1000.0 * static_cast<double>(restarts) / SAMPLE_FRAMES;

    seed = 1;
    StartStage(stageNumber, seed);
    for (auto _ : state) {
        if (!RunFrame()) {
            state.SkipWithError("a frame failed");
            break;
        }
        if (GameState != GAME_PLAY) {
            state.PauseTiming();
            StartStage(stageNumber, ++seed);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_PlayFrame)->Arg(1)->Arg(31);

void BM_DrawMap(benchmark::State& state) {
    std::string error;
    if (!GameReady(&error) || !StartStage(1, 1)) {
        state.SkipWithError(error.empty() ? "the stage did not start" : error.c_str());
        return;
    }
    for (auto _ : state) {
        DrawMap();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawMap);

// The circular mask over the whole screen, keyed, as every frame of play draws it.
void BM_MaskBlit(benchmark::State& state) {
    std::string error;
    if (!GameReady(&error) || !StartStage(1, 1)) {
        state.SkipWithError(error.empty() ? "the stage did not start" : error.c_str());
        return;
    }
    for (auto _ : state) {
        DDBltClip(&backBuffer, 0, 0, 320, 240, &surfaceTable[SURFACE_MASK], 0, 0, BLT_KEYED);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MaskBlit);

// The enemies' steps of a frame at stage 31, apart: their movement and their blended drawing.
void BM_UpdateEnemies(benchmark::State& state) {
    std::string error;
    if (!GameReady(&error) || !StartStage(31, 1)) {
        state.SkipWithError(error.empty() ? "the stage did not start" : error.c_str());
        return;
    }
    for (auto _ : state) {
        UpdateEnemies(&enemyList);
        benchmark::ClobberMemory();
    }
    state.counters["enemies"] = enemyList.count;
}
BENCHMARK(BM_UpdateEnemies);

// Arg 0: as the stage starts (the enemies are placed away from the player, so few are in view). Arg 1: the
// worst case, every enemy moved into the view first, so each one is blended every frame.
void BM_DrawEnemies(benchmark::State& state) {
    std::string error;
    if (!GameReady(&error) || !StartStage(31, 1)) {
        state.SkipWithError(error.empty() ? "the stage did not start" : error.c_str());
        return;
    }
    int64_t visible = 0, k = 0;
    for (Enemy* e = enemyList.head->next; e != enemyList.tail; e = e->next, ++k) {
        if (state.range(0) == 1) {
            e->body.screenX = static_cast<int32_t>((k * 37 % 150) << 16);
            e->body.screenY = static_cast<int32_t>((k * 53 % 160) << 16);
        }
        visible += EnemyVisible(e);
    }
    for (auto _ : state) {
        DrawEnemies(&enemyList);
        benchmark::ClobberMemory();
    }
    state.counters["visible"] = static_cast<double>(visible);
}
BENCHMARK(BM_DrawEnemies)->Arg(0)->Arg(1);

int64_t ThreadCpuNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

// The plain per-pixel blend of a 32x32 cell: one pixel at a time, left to right, no blocks.
void PlainBlendCell(int32_t x, int32_t y, int32_t srcX, int32_t srcY) {
    const PlatformSurface* screen = backBuffer.surface;
    const PlatformSurface* sheet = surfaceTable[SURFACE_ENEMY].surface;
    uint8_t* d = screen->pixels + y * screen->pitch + x;
    const uint8_t* src = sheet->pixels + srcY * sheet->pitch + srcX;
    for (int32_t row = 0; row < 32; ++row) {
        for (int32_t col = 0; col < 32; ++col) {
            const uint8_t dv = d[col], sv = src[col];
            if (dv != 0 && sv != 0) d[col] = halfBlendTable[dv * 256 + sv];
        }
        d += screen->pitch;
        src += sheet->pitch;
    }
}

// The real enemy cells (all 48: 3 kinds x 4 frames x 4 facings) blended once each over the drawn map, one
// way and then the other in alternating batches; the picture is put back between batches, untimed.
void BM_EnemyCellsAgainstPlainLoop(benchmark::State& state) {
    std::string error;
    if (!GameReady(&error) || !StartStage(1, 1)) {
        state.SkipWithError(error.empty() ? "the stage did not start" : error.c_str());
        return;
    }
    DrawMap();
    PlatformSurface* screen = backBuffer.surface;
    const std::vector<uint8_t> picture(screen->pixels, screen->pixels + screen->pitch * screen->height);
    int64_t blendTime = 0, plainTime = 0, calls = 0;
    bool blendFirst = true;
    for (auto _ : state) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool blend = (turn == 0) == blendFirst;
            std::memcpy(screen->pixels, picture.data(), picture.size());
            const int64_t start = ThreadCpuNanoseconds();
            for (int32_t k = 0; k < 48; ++k) {
                const int32_t x = 80 + 16 * (k % 8), y = 40 + 20 * (k / 8);
                const int32_t srcX = 32 * (k % 12), srcY = 32 * (k / 12);
                if (blend)
                    HalfBlendBlt(&backBuffer, x, y, 32, 32, &surfaceTable[SURFACE_ENEMY], srcX, srcY,
                                 BLEND_KEYED, halfBlendTable);
                else
                    PlainBlendCell(x, y, srcX, srcY);
                benchmark::ClobberMemory();
            }
            (blend ? blendTime : plainTime) += ThreadCpuNanoseconds() - start;
        }
        blendFirst = !blendFirst;
        calls += 48;
    }
    if (calls == 0 || blendTime == 0) return;
    state.counters["blend_ns"] = static_cast<double>(blendTime) / static_cast<double>(calls);
    state.counters["plain_ns"] = static_cast<double>(plainTime) / static_cast<double>(calls);
    state.counters["speedup"] = static_cast<double>(plainTime) / static_cast<double>(blendTime);
}
BENCHMARK(BM_EnemyCellsAgainstPlainLoop);
} // namespace
