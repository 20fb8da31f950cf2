// Bodies: the camera and the seam, box overlap, and the player's collision with walls and closed tiles.
#include <gtest/gtest.h>

#include "game/actor.h"
#include "game/map.h"
#include "input/controls.h"
#include "tests/support/reset.h"
#include "tests/support/world.h"

namespace {
constexpr int32_t PX = 65536;

class ActorTest : public testing::Test {
  protected:
    void SetUp() override { ResetGameProcess(); }
    void TearDown() override { ResetGameProcess(); }
};

Actor BoxAt(int32_t screenX, int32_t screenY) {
    Actor a{};
    a.screenX = screenX;
    a.screenY = screenY;
    SetScreenBox(&a);
    return a;
}

// A body whose four hit points lie in four different cells: (5,5), (6,5), (5,6), (6,6).
Actor BodyAcrossFourCells() {
    Actor a{};
    a.x = (5 * 32 + 24) * PX;
    a.y = (5 * 32 + 24) * PX;
    SetBodyPoints(&a);
    UpdateCamera(&a);
    UpdateScreenPos(&a);
    return a;
}
} // namespace

TEST_F(ActorTest, BoxesOverlapWithInclusiveEdgesToTheUnit) {
    const Actor a = BoxAt(100 * PX, 50 * PX);
    for (int32_t sign : {1, -1}) {
        Actor b = BoxAt(100 * PX + sign * 15 * PX, 50 * PX);
        EXPECT_TRUE(BoxesOverlap(&a, &b));
        b = BoxAt(100 * PX + sign * (15 * PX + 1), 50 * PX);
        EXPECT_FALSE(BoxesOverlap(&a, &b));
        b = BoxAt(100 * PX, 50 * PX + sign * 15 * PX);
        EXPECT_TRUE(BoxesOverlap(&a, &b));
        b = BoxAt(100 * PX, 50 * PX + sign * (15 * PX + 1));
        EXPECT_FALSE(BoxesOverlap(&a, &b));
    }
    // Only the left, top, right and bottom fields are read: a grown scratch box works.
    Actor grown{};
    grown.screenX = 0;
    grown.screenY = 0;
    grown.screenTopRight.x = 300 * PX;
    grown.screenBottomLeft.y = 10 * PX;
    Actor inside = BoxAt(290 * PX, 0);
    EXPECT_TRUE(BoxesOverlap(&grown, &inside));
    Actor below = BoxAt(290 * PX, 10 * PX + 1);
    EXPECT_FALSE(BoxesOverlap(&grown, &below));
}

TEST_F(ActorTest, BodyAndCentredLayoutsWrapEachPoint) {
    MakeTestMap(64, 32, 0);
    Actor a{};
    a.x = 2048 * PX - 5 * PX; // 15 pixels right of it is past the right edge
    a.y = 3 * PX;
    SetBodyPoints(&a);
    EXPECT_EQ(a.topRight.x, 10 * PX);
    EXPECT_EQ(a.topRight.y, 3 * PX);
    EXPECT_EQ(a.bottomLeft.y, 18 * PX);
    EXPECT_EQ(a.centre.x, 2 * PX);
    EXPECT_EQ(a.centre.y, 10 * PX);

    Actor c{};
    c.centre = FixedPoint{3 * PX, 1024 * PX - PX};
    SetCentredPoints(&c);
    EXPECT_EQ(c.x, 2048 * PX - 4 * PX);
    EXPECT_EQ(c.y, 1024 * PX - 8 * PX);
    EXPECT_EQ(c.topRight.x, 10 * PX);
    EXPECT_EQ(c.bottomLeft.y, 6 * PX);
    EXPECT_EQ(c.bottomRight.x, 10 * PX);
    EXPECT_EQ(c.bottomRight.y, 6 * PX);
}

TEST_F(ActorTest, CameraAndScreenPositionAcrossTheSeam) {
    MakeTestMap(64, 32, 0);
    Actor p{};
    p.x = 10 * PX + 123; // the fraction stays in the screen position
    p.y = 5 * PX;
    ApplyMove(&p, 0, 0, 0);
    ApplyMove(&p, 0, 0, 0); // the screen position is taken before the camera follows
    EXPECT_EQ(scrollX, 2048 - 62);
    EXPECT_EQ(scrollY, 1024 - 75);
    EXPECT_EQ(p.screenX, 72 * PX + 123);
    EXPECT_EQ(p.screenY, 80 * PX);

    // A body near the map's start seen by a view near its end appears to the right of the view.
    Actor body{};
    body.x = 5 * PX;
    body.y = 200 * PX;
    scrollX = 2048 - 77;
    scrollY = 150;
    UpdateScreenPos(&body);
    EXPECT_EQ(body.screenX, 82 * PX);
    EXPECT_EQ(body.screenY, 50 * PX);
    EXPECT_EQ(body.screenTopRight.x, 97 * PX);
    EXPECT_EQ(body.screenBottomLeft.y, 65 * PX);
    // Both comparisons are strict: at 2048 - 136 or at x = 136 nothing is corrected.
    scrollX = 2048 - 136;
    UpdateScreenPos(&body);
    EXPECT_EQ(body.screenX, 5 * PX - (2048 - 136) * PX);
    scrollX = 2048 - 135;
    body.x = 136 * PX;
    UpdateScreenPos(&body);
    EXPECT_EQ(body.screenX, 136 * PX - (2048 - 135) * PX);
    body.x = 136 * PX - 1;
    UpdateScreenPos(&body);
    EXPECT_EQ(body.screenX, 136 * PX - 1 + 135 * PX);
    // Rows: the threshold is 144.
    body.y = 143 * PX;
    scrollY = 1024 - 143;
    UpdateScreenPos(&body);
    EXPECT_EQ(body.screenY, 286 * PX);
    // The other way round is not corrected: far to the right of a view near 0.
    body.x = 2048 * PX - 5 * PX;
    scrollX = 10;
    UpdateScreenPos(&body);
    EXPECT_EQ(body.screenX, (2048 - 15) * PX);
}

TEST_F(ActorTest, StraightSlideTablesEveryRow) {
    struct Row {
        int32_t facing;
        int32_t first[2], second[2]; // cells of the two probe points
        int32_t bits[4];
    };
    const Row rows[] = {
        {DIR_UP, {5, 5}, {6, 5}, {0, 9, 10, 8}},
        {DIR_DOWN, {5, 6}, {6, 6}, {0, 5, 6, 4}},
        {DIR_LEFT, {5, 5}, {5, 6}, {0, 6, 10, 2}},
        {DIR_RIGHT, {6, 5}, {6, 6}, {0, 5, 9, 1}},
    };
    for (const Row& row : rows) {
        for (int32_t index = 0; index < 4; ++index) {
            MakeTestMap(32, 32, 0);
            // Solid kinds of several sorts; the two points that are not probed are solid to show they are
            // not read.
            if (index & 2) SetTile(row.first[0], row.first[1], 13);
            if (index & 1) SetTile(row.second[0], row.second[1], 3);
            for (int32_t c : {5, 6})
                for (int32_t r : {5, 6}) {
                    const bool probed = (c == row.first[0] && r == row.first[1]) ||
                                        (c == row.second[0] && r == row.second[1]);
                    if (!probed) SetTile(c, r, 7);
                }
            Actor a = BodyAcrossFourCells();
            a.facing = row.facing;
            const int32_t x0 = a.x, y0 = a.y;
            SlideOffWalls(&a);
            const int32_t bits = row.bits[index];
            const int32_t dx = (bits & DIR_RIGHT ? PX : 0) - (bits & DIR_LEFT ? PX : 0);
            const int32_t dy = (bits & DIR_DOWN ? PX : 0) - (bits & DIR_UP ? PX : 0);
            EXPECT_EQ(a.x - x0, dx) << "facing " << row.facing << " index " << index;
            EXPECT_EQ(a.y - y0, dy) << "facing " << row.facing << " index " << index;
        }
    }
}

TEST_F(ActorTest, DiagonalSlideTablesEveryRow) {
    constexpr int32_t S = STEP_DIAGONAL;
    struct Row {
        int32_t facing;
        int32_t cells[3][2];
        int32_t other[2];
        int32_t bits[8];
    };
    const Row rows[] = {
        {5, {{5, 5}, {6, 5}, {5, 6}}, {6, 6}, {0, 2, 8, 10, 10, 2, 8, 10}},
        {6, {{5, 5}, {6, 5}, {6, 6}}, {5, 6}, {0, 1, 9, 1, 8, 9, 8, 9}},
        {9, {{5, 6}, {6, 6}, {5, 5}}, {6, 5}, {0, 2, 4, 6, 6, 2, 4, 6}},
        {10, {{5, 6}, {6, 6}, {6, 5}}, {5, 5}, {0, 1, 5, 1, 4, 5, 4, 5}},
    };
    for (const Row& row : rows) {
        for (int32_t index = 0; index < 8; ++index) {
            MakeTestMap(32, 32, 0);
            if (index & 4) SetTile(row.cells[0][0], row.cells[0][1], 1);
            if (index & 2) SetTile(row.cells[1][0], row.cells[1][1], 2);
            if (index & 1) SetTile(row.cells[2][0], row.cells[2][1], 5);
            SetTile(row.other[0], row.other[1], 13);
            Actor a = BodyAcrossFourCells();
            a.facing = row.facing;
            const int32_t x0 = a.x, y0 = a.y;
            SlideOffWalls(&a);
            const int32_t bits = row.bits[index];
            const int32_t dx = (bits & DIR_RIGHT ? S : 0) - (bits & DIR_LEFT ? S : 0);
            const int32_t dy = (bits & DIR_DOWN ? S : 0) - (bits & DIR_UP ? S : 0);
            EXPECT_EQ(a.x - x0, dx) << "facing " << row.facing << " index " << index;
            EXPECT_EQ(a.y - y0, dy) << "facing " << row.facing << " index " << index;
        }
    }
}

TEST_F(ActorTest, WalkingIntoAWallIsUndoneAndShowsOnePixelOffTheCamera) {
    MakeTestMap(32, 32, 0);
    SetTile(6, 5, 1);
    SetTile(6, 6, 1);
    Actor a = BodyAcrossFourCells();
    a.facing = DIR_RIGHT;
    const int32_t x0 = a.x;
    // The player's own step right, then the response.
    a.x += PX;
    SetBodyPoints(&a);
    UpdateCamera(&a);
    UpdateScreenPos(&a);
    ResolvePlayerCollision(&a);
    EXPECT_EQ(a.x, x0);
    EXPECT_EQ(a.screenX, 71 * PX);
    EXPECT_EQ(scrollX, (a.x >> 16) - 72);

    // Up into a wall covering only the top-right point: one down, one left.
    MakeTestMap(32, 32, 0);
    SetTile(6, 5, 2);
    Actor b = BodyAcrossFourCells();
    b.facing = DIR_UP;
    const int32_t bx = b.x, by = b.y;
    ResolvePlayerCollision(&b);
    EXPECT_EQ(b.x, bx - PX);
    EXPECT_EQ(b.y, by + PX);
}

TEST_F(ActorTest, ClosedTilesAreEscapedNotSlidAndOtherKindsNeverCount) {
    MakeTestMap(32, 32, 0);
    SetTile(6, 6, TILE_CLOSED);
    Actor a = BodyAcrossFourCells();
    EXPECT_TRUE(TouchesClosedTile(&a));
    a.facing = 10; // down-right: both axes are undone
    const int32_t x0 = a.x, y0 = a.y;
    ResolvePlayerCollision(&a);
    EXPECT_EQ(a.x, x0 - STEP_DIAGONAL);
    EXPECT_EQ(a.y, y0 - STEP_DIAGONAL);

    // Straight: one pixel back against the facing.
    Actor b = BodyAcrossFourCells();
    b.facing = DIR_LEFT;
    ResolvePlayerCollision(&b);
    EXPECT_EQ(b.x, x0 + PX);
    EXPECT_EQ(b.y, y0);

    // The centre is not probed; a solid wall of another kind is not a closed tile.
    MakeTestMap(32, 32, 0);
    SetTile(5, 5, 13);
    Actor c{};
    c.x = (5 * 32 + 8) * PX;
    c.y = (5 * 32 + 8) * PX; // wholly inside cell (5,5)
    SetBodyPoints(&c);
    EXPECT_FALSE(TouchesClosedTile(&c));
    SetTile(5, 5, TILE_CLOSED);
    EXPECT_TRUE(TouchesClosedTile(&c));

    // Facing 0: nothing at all, even standing on a solid tile.
    MakeTestMap(32, 32, 1);
    Actor d = BodyAcrossFourCells();
    const int32_t dx0 = d.x, dy0 = d.y;
    ResolvePlayerCollision(&d);
    EXPECT_EQ(d.x, dx0);
    EXPECT_EQ(d.y, dy0);
    SetTile(5, 5, TILE_CLOSED);
    EscapeMove(&d);
    EXPECT_EQ(d.x, dx0);
}

TEST_F(ActorTest, MovesWrapOnTheLargestAxisWithoutOverflow) {
    MakeTestMap(1024, 32, 0);
    Actor a{};
    a.x = 2147483647 - 100;
    a.y = 0;
    SetBodyPoints(&a);
    UpdateCamera(&a);
    EXPECT_EQ(a.topRight.x, 15 * PX - 101);
    EXPECT_EQ(scrollX, 32767 - 72);
    ApplyMove(&a, DIR_RIGHT | DIR_UP, PX, PX);
    EXPECT_EQ(a.x, PX - 101);
    EXPECT_EQ(a.y, 1024 * PX - PX);
    // Seen across the seam by the camera of before the move: one pixel right of the standard place.
    EXPECT_EQ(a.screenX, 73 * PX + (PX - 101));
    EXPECT_EQ(scrollX, 32768 - 72);
}
