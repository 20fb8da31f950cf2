// A long walk over every generated stage with random controls, checking as it goes what the world keeps
// true: positions on the map, derived points that agree, traits in their ranges, a light in its bounds.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/frame_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "base/random.h"
#include "game/enemy.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_input.h"
#include "tests/support/game_fixture.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tests/support/world.h"
#include "tools/assets/make_assets.h"

namespace {
constexpr int32_t PX = 65536;

bool OnMap(const FixedPoint& p) {
    return p.x >= 0 && p.y >= 0 && int64_t{p.x} < int64_t{mapData.pixelWidth} * PX &&
           int64_t{p.y} < int64_t{mapData.pixelHeight} * PX;
}

int32_t Wrapped(int64_t v, int32_t pixels) {
    const int64_t span = int64_t{pixels} * PX;
    return static_cast<int32_t>(((v % span) + span) % span);
}

void ExpectBodyLayout(const Actor& a, const char* who) {
    EXPECT_TRUE(OnMap(FixedPoint{a.x, a.y})) << who;
    EXPECT_EQ(a.topRight.x, Wrapped(int64_t{a.x} + 15 * PX, mapData.pixelWidth)) << who;
    EXPECT_EQ(a.bottomLeft.y, Wrapped(int64_t{a.y} + 15 * PX, mapData.pixelHeight)) << who;
    EXPECT_EQ(a.bottomRight.x, a.topRight.x) << who;
    EXPECT_EQ(a.bottomRight.y, a.bottomLeft.y) << who;
    EXPECT_EQ(a.screenTopRight.x, a.screenX + 15 * PX) << who;
    EXPECT_EQ(a.screenBottomLeft.y, a.screenY + 15 * PX) << who;
}

void ExpectEnemy(const Enemy& e) {
    EXPECT_TRUE(OnMap(FixedPoint{e.body.x, e.body.y}));
    EXPECT_TRUE(OnMap(e.body.centre));
    EXPECT_TRUE(OnMap(e.body.bottomRight));
    EXPECT_LE(e.kind, 2);
    EXPECT_GE(e.variant, 0);
    EXPECT_LE(e.variant, 2);
    EXPECT_GE(e.sightRadius, 32);
    EXPECT_LE(e.sightRadius, 128);
    EXPECT_GE(e.delay, 0);
    EXPECT_LE(e.delay, 100);
    EXPECT_GE(e.timer, 0);
    EXPECT_LT(e.timer, 170);
    const int32_t low[3] = {26214, 45875, 13107}, high[3] = {52428, 78642, 45874};
    EXPECT_GE(e.speed, low[e.kind]);
    EXPECT_LE(e.speed, high[e.kind]);
    const int32_t f = e.body.facing;
    EXPECT_TRUE(f == 0 || f == 1 || f == 2 || f == 4 || f == 8) << f;
    EXPECT_EQ(e.body.anim.sequence, SEQ_WALK);
}

struct TileCounts {
    int32_t closed = 0, seals = 0;
};

TileCounts CountTiles() {
    TileCounts n;
    for (int32_t r = 0; r < mapData.height; ++r)
        for (int32_t c = 0; c < mapData.width; ++c) {
            const uint8_t k = mapData.rows[r][c];
            EXPECT_LT(k, 16);
            n.closed += k == TILE_CLOSED;
            n.seals += k == TILE_SEAL;
        }
    return n;
}

// Shortest signed distance from a to b on an axis of `span` pixels.
int32_t Toward(int32_t a, int32_t b, int32_t span) {
    int32_t d = (b - a) % span;
    if (d > span / 2) d -= span;
    if (d < -span / 2) d += span;
    return d;
}

// Keys (bits: left, right, up, down) that walk the maze to the nearest cell beside a closed tile, then
// face it; *open is set once the player stands there, so that button 1 opens it.
int32_t SeekClosedTile(bool* open) {
    *open = false;
    const int32_t w = mapData.width, h = mapData.height;
    const int32_t px = player.body.centre.x >> 16, py = player.body.centre.y >> 16;
    const int32_t start = (py >> 5) * w + (px >> 5);
    std::vector<int32_t> from(static_cast<size_t>(w * h), -1);
    std::vector<int32_t> queue{start};
    from[static_cast<size_t>(start)] = start;
    const int32_t steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (size_t head = 0; head < queue.size(); ++head) {
        const int32_t cell = queue[head], c = cell % w, r = cell / w;
        if (sealRevealed && mapData.rows[r][c] == TILE_SEAL) {
            // The seal is out: walk onto it.
            int32_t target = cell;
            while (target != start && from[static_cast<size_t>(target)] != start)
                target = from[static_cast<size_t>(target)];
            const int32_t tc = target % w, tr = target / w;
            const int32_t dx = Toward(px, tc * 32 + 15, w * 32), dy = Toward(py, tr * 32 + 15, h * 32);
            return (dx < -1 ? 1 : 0) | (dx > 1 ? 2 : 0) | (dy < -1 ? 4 : 0) | (dy > 1 ? 8 : 0);
        }
        for (int k = 0; k < 4; ++k) {
            const int32_t nc = (c + steps[k][0] + w) % w, nr = (r + steps[k][1] + h) % h;
            if (mapData.rows[nr][nc] != TILE_CLOSED) continue;
            // Found: walk back to the first step, or face the tile when already here.
            int32_t target = cell;
            while (from[static_cast<size_t>(target)] != start)
                target = from[static_cast<size_t>(target)];
            int32_t keys = 0;
            if (cell == start) {
                const int32_t dx = Toward(px, c * 32 + 15, w * 32), dy = Toward(py, r * 32 + 15, h * 32);
                if (dx > 1 || dx < -1 || dy > 1 || dy < -1) {
                    keys = (dx < -1 ? 1 : 0) | (dx > 1 ? 2 : 0) | (dy < -1 ? 4 : 0) | (dy > 1 ? 8 : 0);
                } else {
                    keys = k == 0 ? 1 : k == 1 ? 2 : k == 2 ? 4 : 8;
                    *open = true;
                }
                return keys;
            }
            const int32_t tc = target % w, tr = target / w;
            const int32_t dx = Toward(px, tc * 32 + 15, w * 32), dy = Toward(py, tr * 32 + 15, h * 32);
            return (dx < -1 ? 1 : 0) | (dx > 1 ? 2 : 0) | (dy < -1 ? 4 : 0) | (dy > 1 ? 8 : 0);
        }
        for (int k = 0; k < 4; ++k) {
            const int32_t nc = (c + steps[k][0] + w) % w, nr = (r + steps[k][1] + h) % h;
            const int32_t next = nr * w + nc;
            if (from[static_cast<size_t>(next)] >= 0 || tileSolid[mapData.rows[nr][nc]]) continue;
            from[static_cast<size_t>(next)] = cell;
            queue.push_back(next);
        }
    }
    return 0;
}

} // namespace

class WorldWalk : public testing::TestWithParam<int32_t> {
  protected:
    void SetUp() override { StartOnGeneratedAssets(&dir); }
    void TearDown() override { StopStartedGame(&dir); }
    std::unique_ptr<ScopedWorkDir> dir;
};

TEST_P(WorldWalk, ThousandsOfFramesKeepTheWorldConsistent) {
    const int32_t stageNumber = GetParam();
    currentScene = SCENE_GAME;
    stage = stageNumber;
    lives = 1000; // captures only restart the stage
    qm::srand(static_cast<uint32_t>(stageNumber) * 7919u);
    ModelRandom controls{static_cast<uint32_t>(stageNumber)};
    const uintptr_t keys[4] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
    TileCounts last{};
    int32_t lastCount = 0, plays = 0, openings = 0, captures = 0, clears = 0, phaseFrames = 0;
    const char* picture = std::getenv("QUILLMARSH_WORLD_PICTURE");
    for (int frame = 0; frame < 6000; ++frame) {
        // Random wandering in bursts; the rest of the time the walker seeks closed tiles through the maze.
        const bool wandering = (frame / 150) % 3 == 0;
        if (wandering && frame % 17 == 0) {
            const int32_t pick = controls.Next();
            for (int k = 0; k < 4; ++k)
                HeadlessSetKey(keys[k], (pick >> k) & 1);
            HeadlessSetKey(VK_Z, (pick >> 5) % 3 == 0);
            HeadlessSetKey(VK_X, (pick >> 8) % 9 == 0);
        } else if (!wandering && GameState == GAME_PLAY) {
            bool open = false;
            const int32_t pick = SeekClosedTile(&open);
            for (int k = 0; k < 4; ++k)
                HeadlessSetKey(keys[k], (pick >> k) & 1);
            HeadlessSetKey(VK_Z, open);
            HeadlessSetKey(VK_X, false);
        }
        const int32_t stateBefore = GameState;
        ASSERT_TRUE(RunFrame()) << "frame " << frame;
        if (GameState == GAME_CAUGHT && stateBefore == GAME_PLAY) ++captures;
        if (GameState == GAME_CLEARED && stateBefore == GAME_PLAY) ++clears;
        // Pictures of the sequences for a person to look at: the caption part-grown, the smear under way.
        phaseFrames = GameState == stateBefore ? phaseFrames + 1 : 0;
        if (picture && phaseFrames == 40 && (GameState == GAME_CLEARED || GameState == GAME_CAUGHT)) {
            WriteFramePicture((std::string(picture) + "-" + std::to_string(stageNumber) +
                               (GameState == GAME_CLEARED ? "-cleared" : "-caught") + ".ppm")
                                  .c_str());
        }
        if (picture && phaseFrames == 260 && GameState == GAME_CAUGHT) {
            WriteFramePicture(
                (std::string(picture) + "-" + std::to_string(stageNumber) + "-smear.ppm").c_str());
        }
        if (gamePhase != PHASE_RUN || GameState != GAME_PLAY) {
            lastCount = 0;
            last = TileCounts{};
            continue;
        }
        ++plays;
        ExpectBodyLayout(player.body, "player");
        EXPECT_TRUE(player.body.anim.sequence == SEQ_WALK || player.body.anim.sequence == SEQ_OPEN);
        EXPECT_GE(scrollX, 0);
        EXPECT_LT(scrollX, mapData.pixelWidth);
        EXPECT_GE(scrollY, 0);
        EXPECT_LT(scrollY, mapData.pixelHeight);
        EXPECT_GE(lightLevel, 1000);
        EXPECT_LE(lightLevel, 25500);
        // Enemies are only ever added during a stage, and the list holds exactly `count` of them.
        int32_t linked = 0;
        for (Enemy* e = enemyList.head->next; e != enemyList.tail; e = e->next) {
            ++linked;
            if (frame % 10 == 0) ExpectEnemy(*e);
        }
        EXPECT_EQ(linked, enemyList.count);
        EXPECT_GE(enemyList.count, lastCount);
        lastCount = enemyList.count;
        if (frame % 25 == 0) {
            // Closed tiles only ever open; at most one seal, and only once it is revealed.
            const TileCounts now = CountTiles();
            if (last.closed > 0) {
                EXPECT_LE(now.closed, last.closed);
                openings += last.closed - now.closed;
            }
            EXPECT_EQ(now.seals, sealRevealed ? 1 : 0);
            last = now;
        }
        if (::testing::Test::HasFailure()) FAIL() << "stage " << stageNumber << " frame " << frame;
    }
    EXPECT_GT(plays, 2000);
    EXPECT_GT(openings, 0) << "the walk never opened a tile (" << plays << " frames of play, " << captures
                           << " captures)";
    if (picture) {
        const std::string path = std::string(picture) + "-" + std::to_string(stageNumber) + ".ppm";
        WriteFramePicture(path.c_str());
    }
    RecordProperty("captures", captures);
    RecordProperty("clears", clears);
    std::printf("stage %d: %d frames of play, %d tiles opened, %d captures, %d clears\n", stageNumber, plays,
                openings, captures, clears);
}

INSTANTIATE_TEST_SUITE_P(EveryStageFile, WorldWalk, testing::Values(1, 2, 3, 4, 5));
