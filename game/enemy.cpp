// The enemies: creation, movement by kind, the touch test and blended drawing.
#include "game/enemy.h"

#include <cmath>
#include <cstdlib>

#include "base/random.h"
#include "game/fixed.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"
#include "input/controls.h"
#include "video/blend.h"
#include "video/display.h"
#include "video/surface.h"

EnemyList enemyList = {};
int32_t enemyAllocationsLeft = -1;

namespace {
Enemy* AllocateEnemy() {
    if (enemyAllocationsLeft == 0) return nullptr;
    if (enemyAllocationsLeft > 0) --enemyAllocationsLeft;
    return static_cast<Enemy*>(std::calloc(1, sizeof(Enemy)));
}

int32_t RollSpeed(uint8_t kind) {
    const int32_t r = qm::rand();
    switch (kind) {
    case ENEMY_CHASE:
        return 26214 + r % 26215;
    case ENEMY_REAIM:
        return 45875 + r % 65537;
    default:
        return 13107 + r % 117966;
    }
}

int64_t Abs64(int64_t v) {
    return v < 0 ? -v : v;
}

// The offset to the target the shorter way round an axis of `span` units; ties go the direct way.
int64_t ShorterWay(int32_t from, int32_t to, int64_t span) {
    const int64_t direct = static_cast<int64_t>(to) - from;
    const int64_t around = direct >= 0 ? direct - span : direct + span;
    return Abs64(direct) <= Abs64(around) ? direct : around;
}
} // namespace

bool InitEnemy(EnemyList* list) {
    if (list->head) return false;
    list->head = AllocateEnemy();
    if (!list->head) return false;
    // Set at once, so a list whose tail could not be made can still be walked and freed.
    list->head->prev = nullptr;
    list->head->next = nullptr;
    list->tail = AllocateEnemy();
    if (!list->tail) return false;
    list->head->next = list->tail;
    list->tail->prev = list->head;
    list->tail->next = nullptr;
    list->cursor = list->tail;

    const int32_t a = (mapData.width + mapData.height) / 2;
    const int32_t n = static_cast<int32_t>(static_cast<double>(a * a) * 0.01 + stage * 10.0);

    Actor exclusion{};
    const Actor& p = player.body;
    exclusion.screenX = Sub32(p.screenX, EXCLUSION_MARGIN);
    exclusion.screenY = Sub32(p.screenY, EXCLUSION_MARGIN);
    exclusion.screenTopRight = FixedPoint{Add32(p.screenTopRight.x, EXCLUSION_MARGIN), exclusion.screenY};
    exclusion.screenBottomLeft = FixedPoint{exclusion.screenX, Add32(p.screenBottomLeft.y, EXCLUSION_MARGIN)};
    exclusion.screenBottomRight = FixedPoint{Add32(p.screenBottomRight.x, EXCLUSION_MARGIN),
                                             Add32(p.screenBottomRight.y, EXCLUSION_MARGIN)};

    for (int32_t i = 0; i < n; ++i) {
        Enemy templ{};
        int32_t tries = 0;
        do {
            if (++tries > ENEMY_PLACEMENT_TRIES) return false;
            templ.body.x = Pixels(qm::rand() % mapData.pixelWidth);
            templ.body.y = Pixels(qm::rand() % mapData.pixelHeight);
            SetBodyPoints(&templ.body);
            UpdateScreenPos(&templ.body);
        } while (BoxesOverlap(&exclusion, &templ.body));
        if (!AddEnemy(list, &templ)) return false;
    }
    return true;
}

bool AddEnemy(EnemyList* list, Enemy* templ) {
    templ->variant = qm::rand() % 3;
    templ->kind = static_cast<uint8_t>(qm::rand() % 3);
    templ->sightRadius = qm::rand() % 97 + 32;
    templ->speed = RollSpeed(templ->kind);
    templ->body.anim.sequences = animSequences;
    StartAnim(&templ->body.anim, SEQ_WALK);
    Enemy* added = AllocateEnemy();
    if (!added) return false;
    *added = *templ;
    added->next = list->tail;
    added->prev = list->tail->prev;
    list->tail->prev->next = added;
    list->tail->prev = added;
    list->count += 1;
    return true;
}

void UpdateEnemies(EnemyList* list) {
    for (list->cursor = list->head->next; list->cursor != list->tail; list->cursor = list->cursor->next) {
        Enemy* e = list->cursor;
        if (e->delay > 0) {
            e->delay -= 1;
            UpdateScreenPos(&e->body);
        } else if (EnemySeesPlayer(e)) {
            if (e->kind == ENEMY_CHASE)
                EnemyChase(e);
            else if (e->kind == ENEMY_REAIM)
                EnemyReaim(e);
            else if (e->kind == ENEMY_WANDER)
                EnemyWander(e);
        } else {
            EnemyWander(e);
        }
    }
}

bool EnemySeesPlayer(const Enemy* e) {
    const int32_t r = Pixels(e->sightRadius);
    Actor sight{};
    sight.screenX = Sub32(e->body.screenX, r);
    sight.screenY = Sub32(e->body.screenY, r);
    sight.screenTopRight = FixedPoint{Add32(e->body.screenTopRight.x, r), sight.screenY};
    sight.screenBottomLeft = FixedPoint{sight.screenX, Add32(e->body.screenBottomLeft.y, r)};
    sight.screenBottomRight = FixedPoint{sight.screenTopRight.x, sight.screenBottomLeft.y};
    return BoxesOverlap(&player.body, &sight);
}

namespace {
// The steering kinds move the centre, so the rest of the body follows in the centred layout.
void SteerBody(Enemy* e, int32_t targetX, int32_t targetY) {
    SteerToward(&e->body.centre.x, &e->body.centre.y, targetX, targetY, e->speed, &e->body.facing);
    SetCentredPoints(&e->body);
    UpdateScreenPos(&e->body);
}
} // namespace

void EnemyChase(Enemy* e) {
    SteerBody(e, player.body.centre.x, player.body.centre.y);
}

void EnemyReaim(Enemy* e) {
    e->timer += 1;
    if (e->timer >= REAIM_PERIOD) {
        e->timer = 0;
        e->targetX = player.body.centre.x;
        e->targetY = player.body.centre.y;
    }
    SteerBody(e, e->targetX, e->targetY);
}

void EnemyWander(Enemy* e) {
    e->timer += 1;
    if (e->timer >= WANDER_PERIOD) {
        e->timer = 0;
        static const int32_t facings[4] = {DIR_UP, DIR_DOWN, DIR_LEFT, DIR_RIGHT};
        e->body.facing = facings[qm::rand() % 4];
    }
    Actor& b = e->body;
    switch (b.facing) {
    case DIR_LEFT:
        b.x = Sub32(b.x, e->speed);
        WrapCoord(&b.x, mapData.width);
        break;
    case DIR_RIGHT:
        b.x = Add32(b.x, e->speed);
        WrapCoord(&b.x, mapData.width);
        break;
    case DIR_UP:
        b.y = Sub32(b.y, e->speed);
        WrapCoord(&b.y, mapData.height);
        break;
    case DIR_DOWN:
        b.y = Add32(b.y, e->speed);
        WrapCoord(&b.y, mapData.height);
        break;
    default:
        break;
    }
    SetBodyPoints(&b);
    UpdateScreenPos(&b);
}

void SteerToward(int32_t* x, int32_t* y, int32_t targetX, int32_t targetY, int32_t speed, int32_t* facing) {
    // In 64 bits: on a 1024-tile axis the span is 2^31 units. The shorter way is never longer than half the
    // span, so the chosen offsets fit 32 bits again.
    const int64_t spanX = static_cast<int64_t>(mapData.pixelWidth) * FIXED_ONE;
    const int64_t spanY = static_cast<int64_t>(mapData.pixelHeight) * FIXED_ONE;
    const int32_t dx = static_cast<int32_t>(ShorterWay(*x, targetX, spanX));
    const int32_t dy = static_cast<int32_t>(ShorterWay(*y, targetY, spanY));
    const int32_t px = std::abs(dx >> 16);
    const int32_t py = std::abs(dy >> 16);
    const int32_t dist = static_cast<int32_t>(std::sqrt(static_cast<double>(px) * static_cast<double>(px) +
                                                        static_cast<double>(py) * static_cast<double>(py)));
    if (dist == 0) return;
    const int32_t ux = dx / dist;
    const int32_t uy = dy / dist;
    *y = Add32(*y, static_cast<int32_t>((static_cast<int64_t>(uy) * speed) >> 16));
    *x = Add32(*x, static_cast<int32_t>((static_cast<int64_t>(ux) * speed) >> 16));
    WrapCoord(x, mapData.width);
    WrapCoord(y, mapData.height);
    if (std::abs(uy) < std::abs(ux))
        *facing = ux >= 0 ? DIR_RIGHT : DIR_LEFT;
    else
        *facing = uy < 0 ? DIR_UP : DIR_DOWN;
}

bool EnemyTouchesPlayer(EnemyList* list) {
    for (list->cursor = list->head->next; list->cursor != list->tail; list->cursor = list->cursor->next) {
        if (BoxesOverlap(&player.body, &list->cursor->body)) return true;
    }
    return false;
}

void DrawEnemies(EnemyList* list) {
    int32_t row = 1; // carried over to an enemy that has never faced anywhere
    for (list->cursor = list->head->next; list->cursor != list->tail; list->cursor = list->cursor->next) {
        Enemy* e = list->cursor;
        const int32_t vx = (e->body.screenX >> 16) - 8;
        const int32_t vy = (e->body.screenY >> 16) - 16;
        if (vx + 31 < 0 || vx >= 160 || vy + 31 < 0 || vy >= 160) continue;
        const int32_t facing = e->body.facing;
        if (facing & DIR_DOWN)
            row = 0;
        else if (facing & DIR_UP)
            row = 3;
        else if (facing & DIR_LEFT)
            row = 1;
        else if (facing & DIR_RIGHT)
            row = 2;
        const int32_t frame = AdvanceAnim(&e->body.anim);
        HalfBlendBlt(&backBuffer, vx + 80, vy + 40, 32, 32, &surfaceTable[SURFACE_ENEMY],
                     (frame + e->variant * 4) * 32, row * 32, BLEND_KEYED, halfBlendTable);
    }
}

void FreeEnemies(EnemyList* list) {
    if (list->head) {
        Enemy* e = list->head;
        while (e) {
            Enemy* next = e->next;
            std::free(e);
            e = next;
        }
    }
    list->count = 0;
    list->head = nullptr;
    list->tail = nullptr;
    list->cursor = nullptr;
}
