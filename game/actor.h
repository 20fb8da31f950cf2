// Bodies on the map: hit points, screen boxes, the camera, and the player's collision with the map.
#pragma once
#include <cstdint>

#include "game/anim.h"

constexpr int32_t STEP_STRAIGHT = 65536;
// 65536 / sqrt(2), truncated.
constexpr int32_t STEP_DIAGONAL = 46340;

struct FixedPoint {
    int32_t x;
    int32_t y;
};

struct Actor {
    int32_t stepX;
    int32_t stepY;
    int32_t x; // the top-left hit point
    int32_t y;
    FixedPoint topRight;
    FixedPoint bottomLeft;
    FixedPoint bottomRight;
    FixedPoint centre;
    int32_t screenX; // the top-left point relative to the view origin; not wrapped
    int32_t screenY;
    FixedPoint screenTopRight;
    FixedPoint screenBottomLeft;
    FixedPoint screenBottomRight;
    FixedPoint screenCentre;
    int32_t facing; // direction bits of the last direction taken
    AnimPlayer anim;
};

void SetBodyPoints(Actor* actor);
void SetCentredPoints(Actor* actor);
void UpdateCamera(const Actor* actor);
void UpdateScreenPos(Actor* actor);
void SetScreenBox(Actor* actor);
bool BoxesOverlap(const Actor* a, const Actor* b);
void ApplyMove(Actor* actor, int32_t bits, int32_t dx, int32_t dy);
bool TouchesClosedTile(const Actor* actor);
void EscapeMove(Actor* actor);
void SlideOffWalls(Actor* actor);
void ResolvePlayerCollision(Actor* player);
