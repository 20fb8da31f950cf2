// The player: placement, movement under the controls, the open action, the seal test and the sprite.
#include "game/player.h"

#include "base/random.h"
#include "game/fixed.h"
#include "game/map.h"
#include "game/stage_rules.h"
#include "sound/sound_group.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/surface.h"

Player player = {};

namespace {
struct DirectionMove {
    int32_t stepX;
    int32_t stepY;
    int32_t facing;
};

// Indexed by the direction number 1..9, laid out like a telephone keypad; 5 is no direction.
const DirectionMove directionMoves[10] = {
    {0, 0, 0},
    {-STEP_DIAGONAL, -STEP_DIAGONAL, DIR_UP | DIR_LEFT},
    {0, -STEP_STRAIGHT, DIR_UP},
    {STEP_DIAGONAL, -STEP_DIAGONAL, DIR_UP | DIR_RIGHT},
    {-STEP_STRAIGHT, 0, DIR_LEFT},
    {0, 0, 0},
    {STEP_STRAIGHT, 0, DIR_RIGHT},
    {-STEP_DIAGONAL, STEP_DIAGONAL, DIR_DOWN | DIR_LEFT},
    {0, STEP_STRAIGHT, DIR_DOWN},
    {STEP_DIAGONAL, STEP_DIAGONAL, DIR_DOWN | DIR_RIGHT},
};

constexpr int32_t TILE_PIXELS = 32 * FIXED_ONE;

int32_t SpriteRow(int32_t facing) {
    if (facing & DIR_DOWN) return 0;
    if (facing & DIR_UP) return 3;
    if (facing & DIR_LEFT) return 1;
    if (facing & DIR_RIGHT) return 2;
    return 1;
}
} // namespace

void PlacePlayer(Player* p) {
    *p = Player{};
    p->body.anim.sequences = animSequences;
    StartAnim(&p->body.anim, SEQ_WALK);
    int32_t column = 0;
    int32_t row = 0;
    int32_t tries = 0;
    do {
        column = qm::rand() % mapData.width;
        row = qm::rand() % mapData.height;
    } while (tileSolid[mapData.rows[row][column]] != 0 && ++tries < RANDOM_CELL_TRIES);
    // Only a cell the draws can never reach gets here; the first free cell in reading order stands in.
    for (int32_t r = 0; r < mapData.height && tileSolid[mapData.rows[row][column]] != 0; ++r)
        for (int32_t c = 0; c < mapData.width; ++c)
            if (tileSolid[mapData.rows[r][c]] == 0) {
                row = r;
                column = c;
                break;
            }
    // The 16x16 box sits in the lower middle of the cell.
    p->body.x = static_cast<int32_t>((static_cast<uint32_t>(column) << 21) + 0x80000u);
    p->body.y = static_cast<int32_t>((static_cast<uint32_t>(row) << 21) + 0x100000u);
    SetBodyPoints(&p->body);
    UpdateCamera(&p->body);
    UpdateScreenPos(&p->body);
}

void MovePlayer(Player* p, const InputState* controls) {
    Actor& body = p->body;
    const int32_t direction = controls->direction;
    if (direction >= 1 && direction <= 9 && direction != 5) {
        const DirectionMove& move = directionMoves[direction];
        body.stepX = move.stepX;
        body.stepY = move.stepY;
        body.facing = move.facing;
    } else {
        body.stepX = 0;
        body.stepY = 0;
    }
    // Button 2 turns the player on the spot.
    if (controls->buttons & BUTTON_2) return;
    body.x = Add32(body.x, body.stepX);
    body.y = Add32(body.y, body.stepY);
    WrapCoord(&body.x, mapData.width);
    WrapCoord(&body.y, mapData.height);
    SetBodyPoints(&body);
    UpdateCamera(&body);
    UpdateScreenPos(&body);
}

void PlayerOpen(Player* p) {
    if (p->body.anim.sequence == SEQ_OPEN) return;
    RequestAnim(&p->body.anim, SEQ_OPEN);
    SetOpenProbe(p);
    TryOpenAt(p->probe.x, p->probe.y);
    TryOpenAt(p->probe.topRight.x, p->probe.topRight.y);
    TryOpenAt(p->probe.bottomLeft.x, p->probe.bottomLeft.y);
    TryOpenAt(p->probe.bottomRight.x, p->probe.bottomRight.y);
}

void SetOpenProbe(Player* p) {
    const Actor& body = p->body;
    Actor& probe = p->probe;
    // Diagonal facings probe straight up or down: the vertical bits are tested first.
    if (body.facing & DIR_UP) {
        probe.x = body.x;
        probe.y = Sub32(body.y, TILE_PIXELS);
    } else if (body.facing & DIR_DOWN) {
        probe.x = body.x;
        probe.y = Add32(body.y, TILE_PIXELS);
    } else if (body.facing & DIR_LEFT) {
        probe.x = Sub32(body.x, TILE_PIXELS);
        probe.y = body.y;
    } else if (body.facing & DIR_RIGHT) {
        probe.x = Add32(body.x, TILE_PIXELS);
        probe.y = body.y;
    }
    WrapCoord(&probe.x, mapData.width);
    WrapCoord(&probe.y, mapData.height);
    SetBodyPoints(&probe);
}

void TryOpenAt(int32_t x, int32_t y) {
    const int32_t column = x >> 21;
    const int32_t row = y >> 21;
    if (mapData.rows[row][column] != TILE_CLOSED) return;
    OpenClosedTile(column, row);
    DSPlay(&soundGroups[SND_OPEN], 0);
}

bool IsOnSeal(const Player* p) {
    return *TileAt(p->body.centre.x, p->body.centre.y) == TILE_SEAL;
}

void DrawPlayer(Player* p) {
    Actor& body = p->body;
    const int32_t row = SpriteRow(body.facing);
    int32_t frame = AdvanceAnim(&body.anim);
    if (body.anim.sequence == SEQ_OPEN && frame == ANIM_END) {
        RequestAnim(&body.anim, SEQ_WALK);
        frame = AdvanceAnim(&body.anim);
    }
    // A negative frame gives a source left of the sheet, which the copy refuses: nothing is drawn.
    DDBltClip(&backBuffer, (body.screenX >> 16) + 72, (body.screenY >> 16) + 24, 32, 32,
              &surfaceTable[SURFACE_PLAYER], frame * 32, row * 32, BLT_KEYED);
}
