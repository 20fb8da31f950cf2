// The stage number and the lives over the play view, and a lives glyph the sheet does not hold.
#include <gtest/gtest.h>

#include <climits>

#include "base/asset_paths.h"
#include "game/game_vars.h"
#include "game/hud.h"
#include "tests/game/test_sheets.h"
#include "tests/support/game_fixture.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/surface.h"

namespace {
constexpr uint8_t UNDER = 3;

class Hud : public StartedGame {
  protected:
    void LoadParts(int32_t width, int32_t height) {
        WriteFileBytes(ASSET_PARTS, MakeBmp(width, height, sheets::CroppedParts(width, height)));
        ASSERT_TRUE(DDLoadTableSurface(SURFACE_PARTS));
        DDFillRect(&backBuffer, 0, 0, 320, 240, UNDER);
    }
    static uint8_t At(int32_t x, int32_t y) {
        return backBuffer.surface->pixels[y * backBuffer.surface->pitch + x];
    }
    // The 16 x 16 square at (x, y) is all one index.
    static void ExpectSquare(int32_t x, int32_t y, uint8_t index) {
        for (int32_t row = y; row < y + 16; ++row)
            for (int32_t col = x; col < x + 16; ++col)
                ASSERT_EQ(At(col, row), index) << "at " << col << ", " << row;
    }
};
} // namespace

TEST_F(Hud, StageShowsItsLastTwoDigitsWithoutALeadingZero) {
    struct Case {
        int32_t stage;
        int32_t tens; // -1: not drawn
        int32_t units;
    };
    for (const Case c : {Case{7, -1, 7}, Case{12, 1, 2}, Case{105, -1, 5}, Case{110, 1, 0}}) {
        LoadParts(sheets::PARTS_WIDTH, sheets::PARTS_HEIGHT);
        stage = c.stage;
        DrawStageNumber();
        SCOPED_TRACE(c.stage);
        EXPECT_EQ(At(80, 40), sheets::STAGE_LABEL);
        EXPECT_EQ(At(143, 55), sheets::STAGE_LABEL);
        EXPECT_EQ(At(144, 40), UNDER);
        ExpectSquare(80, 56, c.tens < 0 ? UNDER : sheets::StageDigit(c.tens));
        ExpectSquare(96, 56, sheets::StageDigit(c.units));
        EXPECT_EQ(At(112, 56), UNDER);
        EXPECT_EQ(At(96, 72), UNDER);
    }
}

TEST_F(Hud, LivesGlyphComesFromCellLivesPlusTwo) {
    for (int32_t l : {-1, 0, 1, 2, 17}) {
        LoadParts(sheets::PARTS_WIDTH, sheets::PARTS_HEIGHT);
        lives = l;
        DrawLives();
        SCOPED_TRACE(l);
        ExpectSquare(192, 40, sheets::LIVES_LABEL_LEFT);
        ExpectSquare(208, 40, sheets::LIVES_LABEL_RIGHT);
        ExpectSquare(224, 40, l == -1 ? sheets::LIVES_LABEL_RIGHT : sheets::LivesCell(l + 2));
        EXPECT_EQ(At(240, 40), UNDER);
        EXPECT_EQ(At(224, 56), UNDER);
    }
}

TEST_F(Hud, ALivesCellOutsideTheSheetDrawsNoGlyph) {
    // 72 wide: cells 0..3 whole, cell 4 (2 lives) only its first 8 columns.
    for (int32_t l : {2, 3, 18, -3, -4, INT32_MAX, INT32_MIN}) {
        LoadParts(l >= 18 || l < -2 ? sheets::PARTS_WIDTH : 72, 32);
        lives = l;
        DrawLives();
        SCOPED_TRACE(l);
        ExpectSquare(208, 40, sheets::LIVES_LABEL_RIGHT);
        ExpectSquare(224, 40, UNDER);
    }
    LoadParts(72, 32);
    lives = 1;
    DrawLives();
    ExpectSquare(224, 40, sheets::LivesCell(3));
    // A sheet too short for the lives row.
    LoadParts(sheets::PARTS_WIDTH, 24);
    lives = 0;
    DrawLives();
    for (int32_t x = 224; x < 240; ++x)
        EXPECT_EQ(At(x, 40), UNDER);
}
