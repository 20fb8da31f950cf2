// The enemies: creation, movement by kind, the touch test and blended drawing.
#pragma once
#include <cstdint>

#include "game/actor.h"

enum EnemyKind : uint8_t {
    ENEMY_CHASE = 0,
    ENEMY_REAIM = 1,
    ENEMY_WANDER = 2,
};

struct Enemy {
    Actor body;
    int32_t speed;       // Fixed16 per frame
    int32_t sightRadius; // whole pixels added around the screen box for the sight test
    int32_t delay;       // frames still to wait before acting
    int32_t variant;     // sprite block 0..2
    int32_t targetX;
    int32_t targetY;
    int32_t timer; // shared by the re-aim (170) and wander (85) periods
    uint8_t kind;
    Enemy* next;
    Enemy* prev;
};

struct EnemyList {
    int32_t count;
    Enemy* head; // sentinels; real enemies lie between them in the order they were added
    Enemy* tail;
    Enemy* cursor; // shared by every pass over the list
};

// Pixels around the player's box in which no enemy starts.
constexpr int32_t EXCLUSION_MARGIN = 20971520;
constexpr int32_t REAIM_PERIOD = 170;
constexpr int32_t WANDER_PERIOD = 85;
// Placement attempts per enemy before the stage start gives up, as if memory had run out. A valid map
// needs a handful; the bound only stops a map that has no room at all.
constexpr int32_t ENEMY_PLACEMENT_TRIES = 1000000;

extern EnemyList enemyList;

bool InitEnemy(EnemyList* list);
bool AddEnemy(EnemyList* list, Enemy* templ);
void UpdateEnemies(EnemyList* list);
bool EnemySeesPlayer(const Enemy* e);
void EnemyChase(Enemy* e);
void EnemyReaim(Enemy* e);
void EnemyWander(Enemy* e);
void SteerToward(int32_t* x, int32_t* y, int32_t targetX, int32_t targetY, int32_t speed, int32_t* facing);
bool EnemyTouchesPlayer(EnemyList* list);
void DrawEnemies(EnemyList* list);
void FreeEnemies(EnemyList* list);

// For tests: how many enemy records (sentinels included) may still be allocated; negative: all of them.
extern int32_t enemyAllocationsLeft;
