// Bodies on the map: hit points, screen boxes, the camera, and the player's collision with the map.
#include "game/actor.h"

#include "game/fixed.h"
#include "game/map.h"
#include "input/controls.h"

namespace {
constexpr int32_t PX7 = 7 * FIXED_ONE;
constexpr int32_t PX15 = 15 * FIXED_ONE;
// The camera shows the player's top-left hit point at this view pixel.
constexpr int32_t CAMERA_X = 72;
constexpr int32_t CAMERA_Y = 80;
// A body this close to the map's start is seen across the seam by a view near the map's end.
constexpr int32_t SEAM_X = CAMERA_X + 64;
constexpr int32_t SEAM_Y = CAMERA_Y + 64;

int32_t WrappedX(int32_t x) {
    WrapCoord(&x, mapData.width);
    return x;
}

int32_t WrappedY(int32_t y) {
    WrapCoord(&y, mapData.height);
    return y;
}

FixedPoint MapPoint(int32_t x, int32_t y) {
    return FixedPoint{WrappedX(x), WrappedY(y)};
}

int32_t Solid(const FixedPoint& p) {
    return tileSolid[*TileAt(p.x, p.y)];
}

struct SlideRule {
    int32_t facing;
    int32_t points; // 2 or 3
    // Hit point indices: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
    int32_t probe[3];
    int32_t bits[8];
};

const SlideRule slideRules[] = {
    {DIR_UP, 2, {0, 1, 0}, {0, 9, 10, 8}},
    {DIR_DOWN, 2, {2, 3, 0}, {0, 5, 6, 4}},
    {DIR_LEFT, 2, {0, 2, 0}, {0, 6, 10, 2}},
    {DIR_RIGHT, 2, {1, 3, 0}, {0, 5, 9, 1}},
    {DIR_UP | DIR_LEFT, 3, {0, 1, 2}, {0, 2, 8, 10, 10, 2, 8, 10}},
    {DIR_UP | DIR_RIGHT, 3, {0, 1, 3}, {0, 1, 9, 1, 8, 9, 8, 9}},
    {DIR_DOWN | DIR_LEFT, 3, {2, 3, 0}, {0, 2, 4, 6, 6, 2, 4, 6}},
    {DIR_DOWN | DIR_RIGHT, 3, {2, 3, 1}, {0, 1, 5, 1, 4, 5, 4, 5}},
};

FixedPoint HitPoint(const Actor* a, int32_t which) {
    switch (which) {
    case 0:
        return FixedPoint{a->x, a->y};
    case 1:
        return a->topRight;
    case 2:
        return a->bottomLeft;
    default:
        return a->bottomRight;
    }
}
} // namespace

void SetBodyPoints(Actor* a) {
    a->topRight = MapPoint(Add32(a->x, PX15), a->y);
    a->bottomLeft = MapPoint(a->x, Add32(a->y, PX15));
    a->bottomRight = MapPoint(Add32(a->x, PX15), Add32(a->y, PX15));
    a->centre = MapPoint(Add32(a->x, PX7), Add32(a->y, PX7));
}

void SetCentredPoints(Actor* a) {
    const int32_t cx = a->centre.x;
    const int32_t cy = a->centre.y;
    a->x = WrappedX(Sub32(cx, PX7));
    a->y = WrappedY(Sub32(cy, PX7));
    a->topRight = MapPoint(Add32(cx, PX7), Sub32(cy, PX7));
    a->bottomLeft = MapPoint(Sub32(cx, PX7), Add32(cy, PX7));
    a->bottomRight = MapPoint(Add32(cx, PX7), Add32(cy, PX7));
}

void UpdateCamera(const Actor* a) {
    scrollX = ((a->x >> 16) - CAMERA_X) & (mapData.pixelWidth - 1);
    scrollY = ((a->y >> 16) - CAMERA_Y) & (mapData.pixelHeight - 1);
}

void UpdateScreenPos(Actor* a) {
    int32_t ox = scrollX;
    if (scrollX > mapData.pixelWidth - SEAM_X && (a->x >> 16) < SEAM_X) ox = scrollX - mapData.pixelWidth;
    int32_t oy = scrollY;
    if (scrollY > mapData.pixelHeight - SEAM_Y && (a->y >> 16) < SEAM_Y) oy = scrollY - mapData.pixelHeight;
    a->screenX = Sub32(a->x, Pixels(ox));
    a->screenY = Sub32(a->y, Pixels(oy));
    SetScreenBox(a);
}

void SetScreenBox(Actor* a) {
    a->screenTopRight = FixedPoint{Add32(a->screenX, PX15), a->screenY};
    a->screenBottomLeft = FixedPoint{a->screenX, Add32(a->screenY, PX15)};
    a->screenBottomRight = FixedPoint{Add32(a->screenX, PX15), Add32(a->screenY, PX15)};
    a->screenCentre = FixedPoint{Add32(a->screenX, PX7), Add32(a->screenY, PX7)};
}

bool BoxesOverlap(const Actor* a, const Actor* b) {
    return a->screenX <= b->screenTopRight.x && a->screenTopRight.x >= b->screenX &&
           a->screenY <= b->screenBottomLeft.y && a->screenBottomLeft.y >= b->screenY;
}

void ApplyMove(Actor* a, int32_t bits, int32_t dx, int32_t dy) {
    if (bits & DIR_UP) a->y = WrappedY(Sub32(a->y, dy));
    if (bits & DIR_DOWN) a->y = WrappedY(Add32(a->y, dy));
    if (bits & DIR_LEFT) a->x = WrappedX(Sub32(a->x, dx));
    if (bits & DIR_RIGHT) a->x = WrappedX(Add32(a->x, dx));
    SetBodyPoints(a);
    UpdateScreenPos(a);
    UpdateCamera(a);
}

bool TouchesClosedTile(const Actor* a) {
    for (int32_t which = 0; which < 4; ++which) {
        const FixedPoint p = HitPoint(a, which);
        if (*TileAt(p.x, p.y) == TILE_CLOSED) return true;
    }
    return false;
}

void EscapeMove(Actor* a) {
    int32_t s = 0;
    switch (a->facing) {
    case 5:
    case 6:
    case 9:
    case 10:
        s = STEP_DIAGONAL;
        break;
    case 1:
    case 2:
    case 4:
    case 8:
        s = STEP_STRAIGHT;
        break;
    default:
        break;
    }
    if (a->facing & DIR_UP) ApplyMove(a, DIR_DOWN, s, s);
    if (a->facing & DIR_DOWN) ApplyMove(a, DIR_UP, s, s);
    if (a->facing & DIR_LEFT) ApplyMove(a, DIR_RIGHT, s, s);
    if (a->facing & DIR_RIGHT) ApplyMove(a, DIR_LEFT, s, s);
}

void SlideOffWalls(Actor* a) {
    for (const SlideRule& rule : slideRules) {
        if (rule.facing != a->facing) continue;
        int32_t index = 0;
        for (int32_t i = 0; i < rule.points; ++i)
            index = index * 2 + Solid(HitPoint(a, rule.probe[i]));
        const int32_t s = rule.points == 2 ? STEP_STRAIGHT : STEP_DIAGONAL;
        ApplyMove(a, rule.bits[index], s, s);
        return;
    }
}

void ResolvePlayerCollision(Actor* player) {
    if (TouchesClosedTile(player))
        EscapeMove(player);
    else
        SlideOffWalls(player);
}
