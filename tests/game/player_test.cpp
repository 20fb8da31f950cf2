// The player: placement, movement and turning, the open probe and action, the seal test and the sprite.
#include <gtest/gtest.h>

#include "base/random.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"
#include "platform/headless/headless_audio.h"
#include "tests/support/game_fixture.h"
#include "tests/support/world.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/surface.h"

namespace {
constexpr int32_t PX = 65536;

class PlayerTest : public StartedGame {
  protected:
    void SetUp() override {
        StartedGame::SetUp();
        stage = 1;
        lightLevel = 20000;
    }
};

// The one control record a test hands to MovePlayer.
const InputState* Controls(int32_t direction, uint16_t buttons = 0) {
    static InputState in;
    in = InputState{};
    in.direction = direction;
    in.buttons = buttons;
    return &in;
}

// Puts the player at a pixel position with the camera on it, facing as given.
void PutPlayer(int32_t xPixels, int32_t yPixels, int32_t facing) {
    player = Player{};
    player.body.anim.sequences = animSequences;
    StartAnim(&player.body.anim, SEQ_WALK);
    player.body.x = xPixels * PX;
    player.body.y = yPixels * PX;
    player.body.facing = facing;
    SetBodyPoints(&player.body);
    UpdateCamera(&player.body);
    UpdateScreenPos(&player.body);
}

} // namespace

TEST_F(PlayerTest, PlacementDrawsColumnThenRowUntilAWalkableKind) {
    MakeTestMap(32, 32, 0);
    // Every solid kind around, and walkable ones of several kinds, opened and seal included.
    const uint8_t solid[] = {1, 2, 3, 5, 7, 8, 13};
    const uint8_t walkable[] = {0, 4, 6, 9, 10, 11, 12, 14, 15};
    for (int32_t r = 0; r < 32; ++r)
        for (int32_t c = 0; c < 32; ++c)
            SetTile(c, r, solid[(r * 32 + c) % 7]);
    for (int32_t i = 0; i < 9; ++i)
        SetTile(7 + i, 3 * i + 1, walkable[i]);
    const bool isSolid[16] = {0, 1, 1, 1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0};
    for (uint32_t seed : {1u, 77u, 4242u}) {
        qm::srand(seed);
        ModelRandom model{seed};
        int32_t column, row;
        do {
            column = model.Next() % 32;
            row = model.Next() % 32;
        } while (isSolid[GetTile(column, row)]);
        player.body.facing = 9; // placement clears the whole record
        PlacePlayer(&player);
        EXPECT_EQ(player.body.x, column * 32 * PX + 8 * PX) << seed;
        EXPECT_EQ(player.body.y, row * 32 * PX + 16 * PX) << seed;
        EXPECT_EQ(qm::RandomState(), model.state);
        EXPECT_EQ(player.body.facing, 0);
        EXPECT_EQ(player.body.anim.sequence, SEQ_WALK);
        EXPECT_EQ(player.body.anim.sequences, animSequences);
        EXPECT_EQ(player.body.screenX, 72 * PX);
        EXPECT_EQ(player.body.screenY, 80 * PX);
        EXPECT_EQ(player.body.centre.x, player.body.x + 7 * PX);
        EXPECT_EQ(player.probe.x, 0);
    }
}

TEST_F(PlayerTest, EachDirectionSetsStepsAndFacingAndButtonTwoOnlyTurns) {
    MakeTestMap(32, 32, 0);
    struct Expect {
        int32_t stepX, stepY, facing;
    };
    const Expect table[10] = {{0, 0, -1},     {-46340, -46340, 5}, {0, -65536, 4}, {46340, -46340, 6},
                              {-65536, 0, 1}, {0, 0, -1},          {65536, 0, 2},  {-46340, 46340, 9},
                              {0, 65536, 8},  {46340, 46340, 10}};
    for (int32_t d = 1; d <= 9; ++d) {
        PutPlayer(100, 200, 8);
        const int32_t x0 = player.body.x, y0 = player.body.y;
        MovePlayer(&player, Controls(d));
        EXPECT_EQ(player.body.stepX, table[d].stepX) << d;
        EXPECT_EQ(player.body.stepY, table[d].stepY) << d;
        EXPECT_EQ(player.body.facing, table[d].facing < 0 ? 8 : table[d].facing) << d;
        EXPECT_EQ(player.body.x, x0 + table[d].stepX) << d;
        EXPECT_EQ(player.body.y, y0 + table[d].stepY) << d;
        EXPECT_EQ(scrollX, ((player.body.x >> 16) - 72));
    }
    // Out-of-range numbers are no direction as well.
    PutPlayer(100, 200, 2);
    MovePlayer(&player, Controls(0));
    EXPECT_EQ(player.body.facing, 2);
    EXPECT_EQ(player.body.x, 100 * PX);

    // Turning: the facing and steps change, nothing else does.
    PutPlayer(100, 200, 8);
    const int32_t sx = scrollX, sy = scrollY, screenX = player.body.screenX;
    MovePlayer(&player, Controls(3, BUTTON_2));
    EXPECT_EQ(player.body.facing, 6);
    EXPECT_EQ(player.body.stepX, 46340);
    EXPECT_EQ(player.body.stepY, -46340);
    EXPECT_EQ(player.body.x, 100 * PX);
    EXPECT_EQ(player.body.y, 200 * PX);
    EXPECT_EQ(scrollX, sx);
    EXPECT_EQ(scrollY, sy);
    EXPECT_EQ(player.body.screenX, screenX);
    // Both buttons: still only a turn.
    MovePlayer(&player, Controls(4, BUTTON_1 | BUTTON_2));
    EXPECT_EQ(player.body.facing, 1);
    EXPECT_EQ(player.body.x, 100 * PX);
}

TEST_F(PlayerTest, ProbeLooksOneTileAheadStraightUpOrDownForDiagonalsAndWraps) {
    MakeTestMap(64, 32, 0);
    PutPlayer(300, 400, 6); // up-right probes straight up
    SetOpenProbe(&player);
    EXPECT_EQ(player.probe.x, 300 * PX);
    EXPECT_EQ(player.probe.y, 368 * PX);
    EXPECT_EQ(player.probe.bottomRight.x, 315 * PX);
    EXPECT_EQ(player.probe.bottomRight.y, 383 * PX);
    player.body.facing = 9; // down-left probes straight down
    SetOpenProbe(&player);
    EXPECT_EQ(player.probe.x, 300 * PX);
    EXPECT_EQ(player.probe.y, 432 * PX);
    PutPlayer(8, 400, DIR_LEFT);
    SetOpenProbe(&player);
    EXPECT_EQ(player.probe.x, (2048 - 24) * PX);
    EXPECT_EQ(player.probe.y, 400 * PX);
    PutPlayer(8, 10, DIR_UP);
    SetOpenProbe(&player);
    EXPECT_EQ(player.probe.y, (1024 - 22) * PX);
    // No facing yet: the probe stays where it was.
    PutPlayer(500, 500, 0);
    player.probe.x = 3 * PX;
    player.probe.y = 4 * PX;
    SetOpenProbe(&player);
    EXPECT_EQ(player.probe.x, 3 * PX);
    EXPECT_EQ(player.probe.y, 4 * PX);
}

TEST_F(PlayerTest, OneActionOpensEveryClosedTileUnderTheProbeWithOneSoundEach) {
    MakeTestMap(32, 32, 0);
    SetTile(0, 3, TILE_CLOSED);
    SetTile(1, 3, TILE_CLOSED);
    SetTile(2, 3, TILE_CLOSED);        // beyond the probe's right edge
    PutPlayer(20, 4 * 32 + 5, DIR_UP); // the box spans pixels 20..35: columns 0 and 1
    const int32_t before = PlaysOf(SND_OPEN);
    PlayerOpen(&player);
    EXPECT_NE(GetTile(0, 3), TILE_CLOSED);
    EXPECT_NE(GetTile(1, 3), TILE_CLOSED);
    EXPECT_EQ(GetTile(2, 3), TILE_CLOSED);
    EXPECT_EQ(PlaysOf(SND_OPEN) - before, 2);
    EXPECT_EQ(player.body.anim.sequence, SEQ_OPEN);
    // While the pose lasts, a new action does nothing at all.
    SetTile(0, 3, TILE_CLOSED);
    PlayerOpen(&player);
    EXPECT_EQ(GetTile(0, 3), TILE_CLOSED);
    EXPECT_EQ(PlaysOf(SND_OPEN) - before, 2);
    // Other kinds, walls included, are left alone.
    StartAnim(&player.body.anim, SEQ_WALK);
    SetTile(0, 3, 1);
    SetTile(1, 3, 13);
    PlayerOpen(&player);
    EXPECT_EQ(GetTile(0, 3), 1);
    EXPECT_EQ(GetTile(1, 3), 13);
    EXPECT_EQ(PlaysOf(SND_OPEN) - before, 2);
}

TEST_F(PlayerTest, TheSealCountsOnlyUnderTheCentre) {
    MakeTestMap(32, 32, 0);
    SetTile(5, 5, TILE_SEAL);
    PutPlayer(5 * 32 + 25, 5 * 32 + 25, 0); // centre at 32 + ... = (192, 192): cell (6,6)
    EXPECT_FALSE(IsOnSeal(&player));        // the top-left corner alone is on the seal
    PutPlayer(5 * 32 + 24, 5 * 32 + 24, 0); // centre at 31 + 160: still cell (5,5)
    EXPECT_TRUE(IsOnSeal(&player));
}

TEST_F(PlayerTest, SpriteRowsFramesAndTheEndOfTheOpenPose) {
    MakeTestMap(32, 32, 0);
    Surface& sheet = surfaceTable[SURFACE_PLAYER];
    ASSERT_TRUE(DDCreateSurface(&sheet, 192, 128, 1, MEMORY_SYSTEM));
    for (int32_t row = 0; row < 4; ++row)
        for (int32_t col = 0; col < 6; ++col)
            DDFillRect(&sheet, col * 32, row * 32, 32, 32, 20 + row * 6 + col);
    auto drawn = [&] {
        DDFillRect(&backBuffer, 0, 0, 320, 240, 250);
        DrawPlayer(&player);
        return BackBufferPixel(160, 120);
    };
    const int32_t rowOf[11] = {1, 1, 2, -1, 3, 3, 3, -1, 0, 0, 0};
    for (int32_t facing : {0, 1, 2, 4, 5, 6, 8, 9, 10}) {
        PutPlayer(300, 300, facing);
        EXPECT_EQ(drawn(), 20 + rowOf[facing] * 6 + 1) << facing;
    }
    // Placed at (144, 104) on screen: the sprite's corners.
    PutPlayer(300, 300, DIR_RIGHT);
    DDFillRect(&backBuffer, 0, 0, 320, 240, 250);
    DrawPlayer(&player);
    EXPECT_EQ(BackBufferPixel(143, 104), 250);
    EXPECT_EQ(BackBufferPixel(144, 104), 20 + 2 * 6 + 1);
    EXPECT_EQ(BackBufferPixel(175, 135), 20 + 2 * 6 + 1);
    EXPECT_EQ(BackBufferPixel(176, 135), 250);
    EXPECT_EQ(BackBufferPixel(175, 136), 250);

    // The open pose: frame 3 for 29 draws, then straight back to walking in the same draw.
    PutPlayer(300, 300, DIR_DOWN);
    RequestAnim(&player.body.anim, SEQ_OPEN);
    for (int i = 0; i < 29; ++i)
        EXPECT_EQ(drawn(), 20 + 3) << i;
    EXPECT_EQ(drawn(), 20 + 1);
    EXPECT_EQ(player.body.anim.sequence, SEQ_WALK);
    EXPECT_EQ(player.body.anim.tick, 1);

    // The end of the caught pose draws nothing.
    StartAnim(&player.body.anim, SEQ_CAUGHT);
    for (int i = 0; i < 119; ++i)
        drawn();
    EXPECT_EQ(drawn(), 250);
    EXPECT_EQ(player.body.anim.sequence, SEQ_CAUGHT);
}
