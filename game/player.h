// The player: placement, movement under the controls, the open action, the seal test and the sprite.
#pragma once
#include <cstdint>

#include "game/actor.h"
#include "input/controls.h"

struct Player {
    Actor body;
    Actor probe; // the square one tile ahead that the open action examines
};

extern Player player;

void PlacePlayer(Player* p);
void MovePlayer(Player* p, const InputState* controls);
void PlayerOpen(Player* p);
void SetOpenProbe(Player* p);
void TryOpenAt(int32_t x, int32_t y);
bool IsOnSeal(const Player* p);
void DrawPlayer(Player* p);
