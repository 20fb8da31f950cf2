// The enemies: how many and where they start, their traits, steering, the kinds' moves and the drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "base/random.h"
#include "game/enemy.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"
#include "tests/support/game_fixture.h"
#include "tests/support/world.h"
#include "video/blend.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/surface.h"

namespace {
constexpr int32_t PX = 65536;

class EnemyTest : public StartedGame {
  protected:
    void SetUp() override {
        StartedGame::SetUp();
        stage = 1;
    }
};

int32_t Pixel(int32_t n) {
    return static_cast<int32_t>(static_cast<uint32_t>(n) << 16);
}

void PutPlayer(int32_t x, int32_t y) {
    player = Player{};
    player.body.anim.sequences = animSequences;
    player.body.x = x;
    player.body.y = y;
    SetBodyPoints(&player.body);
    UpdateCamera(&player.body);
    UpdateScreenPos(&player.body);
}

std::vector<Enemy*> Enemies() {
    std::vector<Enemy*> out;
    for (Enemy* e = enemyList.head->next; e != enemyList.tail; e = e->next)
        out.push_back(e);
    return out;
}

// A lone enemy linked into a fresh list, placed by its centre (the layout the steering kinds use).
Enemy* LoneEnemy(uint8_t kind, int32_t speed, int32_t sight) {
    enemyList = EnemyList{};
    enemyList.head = static_cast<Enemy*>(std::calloc(1, sizeof(Enemy)));
    enemyList.tail = static_cast<Enemy*>(std::calloc(1, sizeof(Enemy)));
    enemyList.head->next = enemyList.tail;
    enemyList.tail->prev = enemyList.head;
    Enemy templ{};
    EXPECT_TRUE(AddEnemy(&enemyList, &templ));
    Enemy* e = enemyList.tail->prev;
    e->kind = kind;
    e->speed = speed;
    e->sightRadius = sight;
    return e;
}

void PlaceByCentre(Enemy* e, int32_t cx, int32_t cy) {
    e->body.centre = FixedPoint{cx, cy};
    SetCentredPoints(&e->body);
    UpdateScreenPos(&e->body);
}

// An enemy sheet whose every cell is one index, 10 + row * 12 + column, drawn through a table that keeps
// the sprite's index, so the cell drawn can be read back from the screen.
bool MakeReadableEnemySheet() {
    Surface& sheet = surfaceTable[SURFACE_ENEMY];
    if (!DDCreateSurface(&sheet, 384, 128, 1, MEMORY_SYSTEM)) return false;
    for (int32_t row = 0; row < 4; ++row)
        for (int32_t col = 0; col < 12; ++col)
            DDFillRect(&sheet, col * 32, row * 32, 32, 32, 10 + row * 12 + col);
    for (int32_t a = 0; a < 256; ++a)
        for (int32_t b = 0; b < 256; ++b)
            halfBlendTable[a * 256 + b] = static_cast<uint8_t>(b);
    return true;
}

struct Placed {
    int32_t screenX, screenY, facing, variant;
};

// The list by hand: enemies at known screen places of their bodies, in this order.
void PlaceByHand(const Placed* placed, int32_t count) {
    enemyList = EnemyList{};
    enemyList.head = static_cast<Enemy*>(std::calloc(1, sizeof(Enemy)));
    enemyList.tail = static_cast<Enemy*>(std::calloc(1, sizeof(Enemy)));
    enemyList.head->next = enemyList.tail;
    enemyList.tail->prev = enemyList.head;
    for (int32_t i = 0; i < count; ++i) {
        Enemy templ{};
        templ.body.x = (scrollX + placed[i].screenX) * PX;
        templ.body.y = (scrollY + placed[i].screenY) * PX;
        SetBodyPoints(&templ.body);
        UpdateScreenPos(&templ.body);
        ASSERT_TRUE(AddEnemy(&enemyList, &templ));
        enemyList.tail->prev->body.facing = placed[i].facing;
        enemyList.tail->prev->variant = placed[i].variant;
    }
}
} // namespace

TEST_F(EnemyTest, CountGrowsWithMapAndStageAndNoneStartsNearThePlayer) {
    struct Case {
        int32_t width, height, stage, count;
    };
    for (const Case& c : {Case{32, 32, 1, 20}, Case{64, 64, 1, 50}, Case{64, 64, 5, 90}, Case{64, 32, 3, 53},
                          Case{1024, 32, 1, 2797}, Case{32, 1024, 2, 2807}}) {
        FreeEnemies(&enemyList);
        MakeTestMap(c.width, c.height, 0);
        stage = c.stage;
        PutPlayer(Pixel(c.width * 32 - 10), 40 * PX); // near the right edge: the seam matters
        ASSERT_TRUE(InitEnemy(&enemyList));
        EXPECT_EQ(enemyList.count, c.count) << c.width << "x" << c.height << " stage " << c.stage;
        const std::vector<Enemy*> all = Enemies();
        ASSERT_EQ(static_cast<int32_t>(all.size()), c.count);
        for (const Enemy* e : all) {
            const bool apartX = e->body.screenX + 15 * PX < player.body.screenX - 320 * PX ||
                                e->body.screenX > player.body.screenX + 335 * PX;
            const bool apartY = e->body.screenY + 15 * PX < player.body.screenY - 320 * PX ||
                                e->body.screenY > player.body.screenY + 335 * PX;
            EXPECT_TRUE(apartX || apartY);
            EXPECT_EQ(e->body.x & 0xFFFF, 0); // whole pixels
            EXPECT_GE(e->body.x, 0);
            EXPECT_LT(int64_t{e->body.x}, int64_t{c.width} * 32 * PX);
            EXPECT_LT(int64_t{e->body.y}, int64_t{c.height} * 32 * PX);
            EXPECT_EQ(e->delay, 0);
            EXPECT_EQ(e->body.facing, 0);
        }
    }
    // A second build is refused and changes nothing.
    EXPECT_FALSE(InitEnemy(&enemyList));
}

TEST_F(EnemyTest, TheExclusionBoxRejectsEveryPlaceUpToEachOfItsEdges) {
    // 2048 pixels square, the player at (1000, 1000) with the camera at (928, 920): the player's box is
    // screen (72, 80) to (87, 95), the exclusion box 320 further out on every side, (-248, -240) to
    // (407, 415). A 16-pixel body overlaps it from map x and y 665 (its right or bottom edge on the
    // box's left or top one) to 1335 (its left or top edge on the box's right or bottom one).
    MakeTestMap(64, 64, 0);
    auto inBox = [](int32_t x, int32_t y) { return x >= 665 && x <= 1335 && y >= 665 && y <= 1335; };
    struct Case {
        int32_t x, y;
        bool kept;
    };
    const Case cases[] = {{1000, 1335, false}, {1000, 1336, true}, {1000, 665, false}, {1000, 664, true},
                          {1335, 1000, false}, {1336, 1000, true}, {665, 1000, false}, {664, 1000, true},
                          {1335, 1335, false}, {1336, 664, true}};
    for (const Case& c : cases) {
        ASSERT_EQ(inBox(c.x, c.y), !c.kept); // the model agrees with the table
        FreeEnemies(&enemyList);
        PutPlayer(1000 * PX, 1000 * PX);
        ASSERT_EQ(scrollX, 928);
        ASSERT_EQ(scrollY, 920);
        const uint32_t seed = SeedFor({{2048, c.x}, {2048, c.y}});
        qm::srand(seed);
        ASSERT_TRUE(InitEnemy(&enemyList));
        // The first enemy stands on the first drawn place outside the box.
        ModelRandom model{seed};
        int32_t x, y;
        do {
            x = model.Next() % 2048;
            y = model.Next() % 2048;
        } while (inBox(x, y));
        const Enemy* first = enemyList.head->next;
        EXPECT_EQ(first->body.x == c.x * PX && first->body.y == c.y * PX, c.kept) << c.x << "," << c.y;
        EXPECT_EQ(first->body.x, x * PX) << c.x << "," << c.y;
        EXPECT_EQ(first->body.y, y * PX) << c.x << "," << c.y;
    }
}

TEST_F(EnemyTest, PlacementAndTraitsDrawInTheirOrder) {
    MakeTestMap(64, 32, 0);
    PutPlayer(1000 * PX, 500 * PX); // camera at (928, 420)
    qm::srand(99);
    ModelRandom model{99};
    ASSERT_TRUE(InitEnemy(&enemyList));
    // The model: whole-pixel x then y until outside the box, then variant, kind, sight and speed.
    for (const Enemy* e : Enemies()) {
        int32_t x, y;
        for (;;) {
            x = model.Next() % 2048;
            y = model.Next() % 1024;
            const int32_t sx = x - 928, sy = y - 420; // no seam correction with this camera
            const bool overlaps =
                sx <= 72 + 15 + 320 && sx + 15 >= 72 - 320 && sy <= 80 + 15 + 320 && sy + 15 >= 80 - 320;
            if (!overlaps) break;
        }
        const int32_t variant = model.Next() % 3;
        const int32_t kind = model.Next() % 3;
        const int32_t sight = model.Next() % 97 + 32;
        const int32_t r = model.Next();
        const int32_t speed = kind == 0 ? 26214 + r % 26215 : kind == 1 ? 45875 + r : 13107 + r;
        EXPECT_EQ(e->body.x, x * PX);
        EXPECT_EQ(e->body.y, y * PX);
        EXPECT_EQ(e->variant, variant);
        EXPECT_EQ(e->kind, kind);
        EXPECT_EQ(e->sightRadius, sight);
        EXPECT_EQ(e->speed, speed);
        EXPECT_EQ(e->body.anim.sequence, SEQ_WALK);
        EXPECT_EQ(e->body.anim.sequences, animSequences);
    }
    EXPECT_EQ(qm::RandomState(), model.state);
}

TEST_F(EnemyTest, SteeringTakesTheShorterWayWithTruncatedUnitSteps) {
    MakeTestMap(64, 32, 0);
    int32_t x = 100 * PX, y = 100 * PX, facing = 0;
    SteerToward(&x, &y, 103 * PX, 104 * PX, 65536, &facing);
    EXPECT_EQ(x, 100 * PX + 39321);
    EXPECT_EQ(y, 100 * PX + 52428);
    EXPECT_EQ(facing, DIR_DOWN);

    // Across the left edge: 18 pixels that way against 2030 the direct way.
    x = 10 * PX, y = 50 * PX, facing = 0;
    SteerToward(&x, &y, 2040 * PX, 50 * PX, 40000, &facing);
    EXPECT_EQ(x, 10 * PX - 40000);
    EXPECT_EQ(facing, DIR_LEFT);
    x = 5 * PX;
    SteerToward(&x, &y, 2040 * PX, 50 * PX, 6 * PX, &facing);
    EXPECT_EQ(x, (2048 - 1) * PX); // wrapped

    // Exactly half the map away: the direct way.
    x = 0, y = 0, facing = 0;
    SteerToward(&x, &y, 1024 * PX, 0, 65536, &facing);
    EXPECT_EQ(x, 65536);
    EXPECT_EQ(facing, DIR_RIGHT);
    x = 1024 * PX, y = 0;
    SteerToward(&x, &y, 0, 0, 65536, &facing);
    EXPECT_EQ(x, 1023 * PX);
    EXPECT_EQ(facing, DIR_LEFT);

    // On the target, or less than a pixel right or below it: no move, facing kept.
    for (int32_t dx : {0, PX / 2, PX - 1}) {
        for (int32_t dy : {0, PX / 2}) {
            x = 300 * PX, y = 300 * PX, facing = DIR_UP;
            SteerToward(&x, &y, 300 * PX + dx, 300 * PX + dy, 50000, &facing);
            EXPECT_EQ(x, 300 * PX);
            EXPECT_EQ(y, 300 * PX);
            EXPECT_EQ(facing, DIR_UP);
        }
    }
    // Half a pixel left: dist 1, ux -32768, half the speed.
    x = 300 * PX, y = 300 * PX, facing = DIR_UP;
    SteerToward(&x, &y, 300 * PX - PX / 2, 300 * PX, 50000, &facing);
    EXPECT_EQ(x, 300 * PX - 25000);
    EXPECT_EQ(y, 300 * PX);
    EXPECT_EQ(facing, DIR_LEFT);
    // Equal components face vertically; up only when uy is negative.
    x = 300 * PX, y = 300 * PX;
    SteerToward(&x, &y, 290 * PX, 290 * PX, 65536, &facing);
    EXPECT_EQ(facing, DIR_UP);
    SteerToward(&x, &y, 310 * PX, 310 * PX, 65536, &facing);
    EXPECT_EQ(facing, DIR_DOWN);
}

TEST_F(EnemyTest, SteeringIsExactOnTheLargestMaps) {
    MakeTestMap(1024, 32, 0);
    const int32_t right = 2147483647 - 65535; // the last pixel column
    int32_t x = right - 9 * PX, y = 77 * PX, facing = 0;
    // Level with the target, 15 pixels away across the seam.
    SteerToward(&x, &y, 5 * PX, 77 * PX, 3 * PX, &facing);
    EXPECT_EQ(x, right - 6 * PX);
    EXPECT_EQ(y, 77 * PX);
    EXPECT_EQ(facing, DIR_RIGHT);
    x = right, y = 77 * PX;
    SteerToward(&x, &y, 5 * PX, 77 * PX, 3 * PX, &facing);
    EXPECT_EQ(x, 2 * PX);
    // Half of 2^31 units away: still the direct way.
    x = 0, y = 0;
    SteerToward(&x, &y, 16384 * PX, 0, 65536, &facing);
    EXPECT_EQ(x, 65536);

    MakeTestMap(32, 1024, 0);
    x = 40 * PX, y = 0;
    // dy = -(3 px + 1 unit): shifted it is -4, so dist 4 and uy = -196609 / 4 = -49152.
    SteerToward(&x, &y, 40 * PX, 2147483647 - 3 * PX, 65536, &facing);
    EXPECT_EQ(y, static_cast<int32_t>(2147483648u - 49152u));
    EXPECT_EQ(facing, DIR_UP);
}

TEST_F(EnemyTest, EachKindMovesOnlyWhenItSeesThePlayerOrWanders) {
    MakeTestMap(64, 64, 0);
    PutPlayer(500 * PX, 500 * PX);
    Enemy* chaser = LoneEnemy(ENEMY_CHASE, 30000, 32);
    PlaceByCentre(chaser, player.body.centre.x - 3 * PX, player.body.centre.y);
    UpdateEnemies(&enemyList);
    EXPECT_EQ(chaser->body.centre.x, player.body.centre.x - 3 * PX + 30000);
    EXPECT_EQ(chaser->body.centre.y, player.body.centre.y);
    EXPECT_EQ(chaser->body.facing, DIR_RIGHT);
    EXPECT_EQ(chaser->body.x, chaser->body.centre.x - 7 * PX); // the centred layout
    EXPECT_TRUE(EnemyTouchesPlayer(&enemyList));
    FreeEnemies(&enemyList);

    // A re-aiming enemy heads for the map origin until its timer first reaches 170.
    Enemy* reaimer = LoneEnemy(ENEMY_REAIM, 65536, 128);
    PlaceByCentre(reaimer, 600 * PX, 500 * PX);
    reaimer->timer = 168;
    UpdateEnemies(&enemyList);
    EXPECT_EQ(reaimer->timer, 169);
    EXPECT_LT(reaimer->body.centre.x, 600 * PX);
    EXPECT_LT(reaimer->body.centre.y, 500 * PX); // toward (0, 0)
    UpdateEnemies(&enemyList);
    EXPECT_EQ(reaimer->timer, 0);
    EXPECT_EQ(reaimer->targetX, player.body.centre.x);
    EXPECT_EQ(reaimer->targetY, player.body.centre.y);
    EXPECT_EQ(reaimer->body.facing, DIR_LEFT);
    FreeEnemies(&enemyList);

    // Out of sight every kind wanders: still until the timer reaches 85, then a drawn direction.
    Enemy* far = LoneEnemy(ENEMY_CHASE, 20000, 32);
    PlaceByCentre(far, 900 * PX, 900 * PX);
    const int32_t x0 = far->body.x;
    for (int i = 0; i < 84; ++i)
        UpdateEnemies(&enemyList);
    EXPECT_EQ(far->body.x, x0);
    EXPECT_EQ(far->body.facing, 0);
    qm::srand(5);
    ModelRandom model{5};
    const int32_t facings[4] = {DIR_UP, DIR_DOWN, DIR_LEFT, DIR_RIGHT};
    const int32_t expected = facings[model.Next() % 4];
    const int32_t y0 = far->body.y;
    UpdateEnemies(&enemyList);
    EXPECT_EQ(far->timer, 0);
    EXPECT_EQ(far->body.facing, expected);
    const int32_t moved = (far->body.x - x0) + (far->body.y - y0);
    EXPECT_EQ(moved, expected == DIR_UP || expected == DIR_LEFT ? -20000 : 20000);
    EXPECT_FALSE(EnemyTouchesPlayer(&enemyList));

    // The sight square's edge: sightRadius 32 sees a player 32 pixels beyond touching, not 33.
    FreeEnemies(&enemyList);
    Enemy* edge = LoneEnemy(ENEMY_CHASE, 10000, 32);
    edge->body.x = player.body.x + (15 + 32) * PX;
    edge->body.y = player.body.y;
    SetBodyPoints(&edge->body);
    UpdateScreenPos(&edge->body);
    EXPECT_TRUE(EnemySeesPlayer(edge));
    edge->body.x += 1;
    UpdateScreenPos(&edge->body);
    EXPECT_FALSE(EnemySeesPlayer(edge));
}

TEST_F(EnemyTest, AReleasedEnemyWaitsAHundredFramesFollowingTheView) {
    MakeTestMap(64, 64, 0);
    PutPlayer(500 * PX, 500 * PX);
    Enemy* e = LoneEnemy(ENEMY_CHASE, 30000, 128);
    PlaceByCentre(e, player.body.centre.x + 20 * PX, player.body.centre.y);
    e->delay = 100;
    const int32_t x0 = e->body.x;
    for (int i = 0; i < 100; ++i) {
        if (i == 50) {
            scrollX -= 7; // the view moves; the waiting enemy's screen position follows
            UpdateEnemies(&enemyList);
            EXPECT_EQ(e->body.screenX, x0 - (scrollX * PX));
            continue;
        }
        UpdateEnemies(&enemyList);
    }
    EXPECT_EQ(e->delay, 0);
    EXPECT_EQ(e->body.x, x0);
    UpdateEnemies(&enemyList);
    EXPECT_NE(e->body.x, x0);
}

TEST_F(EnemyTest, DrawingCarriesTheRowOverAndSkipsEnemiesOffTheView) {
    MakeTestMap(64, 64, 0);
    PutPlayer(500 * PX, 500 * PX);
    ASSERT_TRUE(MakeReadableEnemySheet());
    const Placed placed[] = {
        {20, 40, 0, 1}, {60, 40, DIR_DOWN, 0}, {100, 40, 0, 2}, {-24, 40, DIR_UP, 0}, {-23, 40, DIR_UP, 0}};
    PlaceByHand(placed, 5);
    DDFillRect(&backBuffer, 0, 0, 320, 240, 250);
    DrawEnemies(&enemyList);
    const std::vector<Enemy*> all = Enemies();
    // Sprite top-left on screen: (screenX - 8 + 80, 40 - 16 + 40); frame 1 after the first tick.
    EXPECT_EQ(BackBufferPixel(20 - 8 + 80 + 5, 64 + 5), 10 + 1 * 12 + (1 + 4));  // no facing yet: row 1
    EXPECT_EQ(BackBufferPixel(60 - 8 + 80 + 5, 64 + 5), 10 + 0 * 12 + (1 + 0));  // down: row 0
    EXPECT_EQ(BackBufferPixel(100 - 8 + 80 + 5, 64 + 5), 10 + 0 * 12 + (1 + 8)); // carried over: row 0
    EXPECT_EQ(all[0]->body.anim.tick, 1);
    EXPECT_EQ(all[3]->body.anim.tick, 0); // at -24 pixels: not drawn, not animated
    EXPECT_EQ(all[4]->body.anim.tick, 1); // at -23: drawn, clipped
    EXPECT_EQ(BackBufferPixel(80 - 23 - 8 + 31, 64 + 5), 10 + 3 * 12 + 1);
    EXPECT_EQ(BackBufferPixel(80 - 23 - 8 + 32, 64 + 5), 250);
}

TEST_F(EnemyTest, DrawingSkipsEnemiesPastEachEdgeOfTheView) {
    MakeTestMap(64, 64, 0);
    PutPlayer(500 * PX, 500 * PX);
    ASSERT_TRUE(MakeReadableEnemySheet());
    // Body screen places: the sprite (32x32, 8 left of and 16 above the body) overlaps the 160x160 view
    // for x from -23 to 167 and y from -15 to 175.
    const Placed placed[] = {{167, 60, DIR_DOWN, 0}, {168, 100, DIR_DOWN, 0}, {60, 175, DIR_UP, 1},
                             {100, 176, DIR_UP, 1},  {20, -15, DIR_LEFT, 2},  {120, -16, DIR_LEFT, 2}};
    PlaceByHand(placed, 6);
    DDFillRect(&backBuffer, 0, 0, 320, 240, 250);
    DrawEnemies(&enemyList);
    const std::vector<Enemy*> all = Enemies();
    const bool drawn[] = {true, false, true, false, true, false};
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(all[static_cast<size_t>(i)]->body.anim.tick, drawn[i] ? 1 : 0) << i;
        // A pixel inside the sprite's cell, on the screen even where the view ends.
        const int32_t sx = placed[i].screenX - 8 + 80 + 2, sy = placed[i].screenY - 16 + 40 + 30;
        const int32_t row = placed[i].facing == DIR_DOWN ? 0 : placed[i].facing == DIR_UP ? 3 : 1;
        const int32_t cell = 10 + row * 12 + 1 + placed[i].variant * 4;
        EXPECT_EQ(BackBufferPixel(sx, sy), drawn[i] ? cell : 250) << i;
    }
}

TEST_F(EnemyTest, FailedAllocationsLeaveAListThatCanBeFreed) {
    MakeTestMap(32, 32, 0);
    PutPlayer(100 * PX, 100 * PX);
    enemyAllocationsLeft = 1; // the head only
    EXPECT_FALSE(InitEnemy(&enemyList));
    ASSERT_NE(enemyList.head, nullptr);
    EXPECT_EQ(enemyList.head->next, nullptr);
    FreeEnemies(&enemyList);
    EXPECT_EQ(enemyList.head, nullptr);

    enemyAllocationsLeft = 2 + 5; // sentinels and five enemies
    EXPECT_FALSE(InitEnemy(&enemyList));
    EXPECT_EQ(enemyList.count, 5);
    Enemy templ{};
    EXPECT_FALSE(AddEnemy(&enemyList, &templ));
    EXPECT_EQ(enemyList.count, 5);
    EXPECT_GE(templ.sightRadius, 32); // the traits were rolled into the template all the same
    FreeEnemies(&enemyList);
    EXPECT_EQ(enemyList.count, 0);
    FreeEnemies(&enemyList);
}
