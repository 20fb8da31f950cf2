// The clipping of every copy and fill at each edge, keyed and opaque copies, the stretch and the wave.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

#include "tests/support/owned_surfaces.h"
#include "tests/support/reset.h"
#include "video/blit.h"
#include "video/degree_sine.h"

namespace {
class Blits : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        ASSERT_TRUE(DDCreateSurface(&screen, 320, 240, 0, MEMORY_VIDEO));
        ASSERT_TRUE(DDCreateSurface(&sprite, 32, 32, 1, MEMORY_VIDEO));
        // Sprite pixel (x, y) = x + 1, except a transparent (index 0) column at x = 5.
        for (int32_t y = 0; y < 32; ++y)
            for (int32_t x = 0; x < 32; ++x)
                Px(sprite, x, y) = x == 5 ? 0 : static_cast<uint8_t>(x + 1);
    }
    void TearDown() override {
        made.ReleaseAll();
        DDReleaseSurface(&screen);
        DDReleaseSurface(&sprite);
        ResetGameProcess();
    }
    static uint8_t& Px(Surface& s, int32_t x, int32_t y) {
        return s.surface->pixels[y * s.surface->pitch + x];
    }
    int32_t CountIndex(uint8_t index) {
        int32_t n = 0;
        for (int32_t y = 0; y < screen.height; ++y)
            for (int32_t x = 0; x < screen.width; ++x)
                n += Px(screen, x, y) == index;
        return n;
    }
    Surface screen{};
    Surface sprite{};
    OwnedSurfaces made; // the surfaces a test adds
};
} // namespace

TEST_F(Blits, FillClipsOneEdgePerAxis) {
    DDFillRect(&screen, 0, 0, 400, 240, 3); // runs past the right: clipped to the full width
    EXPECT_EQ(CountIndex(3), 320 * 240);
    DDFillRect(&screen, -10, 0, 340, 240, 4); // hangs over both sides: refused
    EXPECT_EQ(CountIndex(4), 0);
    DDFillRect(&screen, -10, -5, 20, 10, 5); // left and top clipped, right and bottom kept
    EXPECT_EQ(CountIndex(5), 10 * 5);
    EXPECT_EQ(Px(screen, 9, 4), 5);
    DDFillRect(&screen, 310, 235, 20, 20, 6);
    EXPECT_EQ(CountIndex(6), 10 * 5);
    DDFillRect(&screen, 5, 5, 0, 10, 7);    // empty
    DDFillRect(&screen, 400, 5, 10, 10, 7); // wholly outside
    EXPECT_EQ(CountIndex(7), 0);
}

TEST_F(Blits, KeyedSpriteClippedAtTheLeftAndRightEdges) {
    DDBltClip(&screen, -8, 10, 32, 32, &sprite, 0, 0, BLT_KEYED);
    // Columns 8..31 land at 0..23.
    EXPECT_EQ(Px(screen, 0, 10), 9);
    EXPECT_EQ(Px(screen, 23, 41), 32);
    EXPECT_EQ(Px(screen, 24, 10), 0);

    DDFillRect(&screen, 0, 0, 320, 240, 0);
    DDBltClip(&screen, 300, 0, 32, 32, &sprite, 0, 0, BLT_KEYED);
    // The first 20 columns, with the transparent column leaving the destination alone.
    EXPECT_EQ(Px(screen, 300, 0), 1);
    EXPECT_EQ(Px(screen, 319, 31), 20);
    EXPECT_EQ(CountIndex(0), 320 * 240 - 19 * 32);
}

TEST_F(Blits, TopAndBottomEdgesClipRows) {
    for (int32_t y = 0; y < 32; ++y)
        Px(sprite, 0, y) = static_cast<uint8_t>(100 + y);
    DDBltClip(&screen, 0, -30, 32, 32, &sprite, 0, 0, BLT_OPAQUE);
    EXPECT_EQ(Px(screen, 0, 0), 130);
    EXPECT_EQ(Px(screen, 0, 1), 131);
    EXPECT_EQ(Px(screen, 0, 2), 0);
    DDBltClip(&screen, 0, 230, 32, 32, &sprite, 0, 0, BLT_OPAQUE);
    EXPECT_EQ(Px(screen, 0, 230), 100);
    EXPECT_EQ(Px(screen, 0, 239), 109);
}

TEST_F(Blits, SpritesWhollyOutsideDrawNothing) {
    const int32_t positions[][2] = {{-32, 0}, {-100, 50}, {320, 0}, {500, 0}, {0, -32}, {0, 240}, {0, 1000}};
    for (const auto& p : positions)
        DDBltClip(&screen, p[0], p[1], 32, 32, &sprite, 0, 0, BLT_OPAQUE);
    EXPECT_EQ(CountIndex(0), 320 * 240);
}

TEST_F(Blits, KeyedCopySkipsIndexZeroButOpaqueWritesIt) {
    DDFillRect(&screen, 0, 0, 320, 240, 200);
    DDBltClip(&screen, 0, 0, 32, 32, &sprite, 0, 0, BLT_KEYED);
    EXPECT_EQ(Px(screen, 5, 3), 200);
    EXPECT_EQ(Px(screen, 6, 3), 7);
    DDBltClip(&screen, 0, 0, 32, 32, &sprite, 0, 0, BLT_OPAQUE);
    EXPECT_EQ(Px(screen, 5, 3), 0);
}

TEST_F(Blits, SourceRectangleIsClippedToTheSource) {
    // A negative source x moves the source edge, not the destination position.
    DDBltClip(&screen, 50, 50, 16, 4, &sprite, -4, 0, BLT_OPAQUE);
    EXPECT_EQ(Px(screen, 50, 50), 1);
    EXPECT_EQ(Px(screen, 61, 50), 12);
    EXPECT_EQ(Px(screen, 62, 50), 0);
    // Running past the source's right edge stops at it.
    DDBltClip(&screen, 100, 100, 16, 1, &sprite, 24, 0, BLT_OPAQUE);
    EXPECT_EQ(Px(screen, 107, 100), 32);
    EXPECT_EQ(Px(screen, 108, 100), 0);
}

TEST_F(Blits, StretchDoublesExactlyAndClipsItsSource) {
    Surface& big = made.Add();
    ASSERT_TRUE(DDCreateSurface(&big, 640, 480, 0, MEMORY_VIDEO));
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 320; ++x)
            Px(screen, x, y) = static_cast<uint8_t>(x * 7 + y * 13);
    DDBltStretch(&big, 0, 0, 640, 480, &screen, 0, 0, 320, 240, 0);
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x)
            ASSERT_EQ(Px(big, x, y), Px(screen, x / 2, y / 2)) << x << "," << y;

    // 96x32 onto 48x16 at x = -10: the source's left edge moves by trunc(-10 * 2) = -20, to 20.
    Surface& caption = made.Add();
    ASSERT_TRUE(DDCreateSurface(&caption, 96, 32, 1, MEMORY_VIDEO));
    for (int32_t y = 0; y < 32; ++y)
        for (int32_t x = 0; x < 96; ++x)
            Px(caption, x, y) = static_cast<uint8_t>(x + 1);
    DDFillRect(&screen, 0, 0, 320, 240, 0);
    DDBltStretch(&screen, -10, 0, 48, 16, &caption, 0, 0, 96, 32, DDBLT_KEYSRC);
    // Destination 0..37 now shows source 20..95: 76 columns squeezed into 38.
    EXPECT_EQ(Px(screen, 0, 0), 21);
    EXPECT_EQ(Px(screen, 37, 15), 21 + 74);
    EXPECT_EQ(Px(screen, 38, 0), 0);
    // Zero or negative sizes draw nothing.
    DDFillRect(&screen, 0, 0, 320, 240, 0);
    DDBltStretch(&screen, 0, 0, 0, 16, &caption, 0, 0, 96, 32, 0);
    DDBltStretch(&screen, 0, 0, 16, -1, &caption, 0, 0, 96, 32, 0);
    EXPECT_EQ(CountIndex(0), 320 * 240);
}

TEST_F(Blits, StretchClipsTheRightAndBottomBySourceScale) {
    DDBltStretch(&screen, 300, 230, 64, 64, &sprite, 0, 0, 32, 32, 0);
    // 20 destination columns show 10 source columns, 10 rows show 5.
    EXPECT_EQ(Px(screen, 300, 230), 1);
    EXPECT_EQ(Px(screen, 319, 239), 10);
}

TEST_F(Blits, StretchClipsEachAxisByItsOwnScaleAndTruncates) {
    // Source pixel (x, y) = y * 16 + x, so every shown pixel names its source row and column.
    Surface& grid = made.Add();
    ASSERT_TRUE(DDCreateSurface(&grid, 16, 16, 0, MEMORY_VIDEO));
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x)
            Px(grid, x, y) = static_cast<uint8_t>(y * 16 + x);

    // 3x across, 2x down at (304, 230). Right: 32 columns over, 32 / 3 = 10.67 source columns cut,
    // truncated to 10, so columns 0..5 fill 304..319. Bottom: 22 rows over, 22 / 2 = 11 cut, so rows
    // 0..4 fill 230..239.
    DDFillRect(&screen, 0, 0, 320, 240, 250);
    DDBltStretch(&screen, 304, 230, 48, 32, &grid, 0, 0, 16, 16, 0);
    EXPECT_EQ(Px(screen, 304, 230), 0);
    EXPECT_EQ(Px(screen, 319, 230), 5);      // 16 columns show 6: the last is column 5, not 4
    EXPECT_EQ(Px(screen, 304, 239), 4 * 16); // 10 rows show 5, each twice
    EXPECT_EQ(Px(screen, 304, 238), 4 * 16);
    EXPECT_EQ(Px(screen, 304, 237), 3 * 16);
    EXPECT_EQ(Px(screen, 319, 239), 4 * 16 + 5);
    EXPECT_EQ(Px(screen, 311, 235), 2 * 16 + 2); // column 7 * 6 / 16 = 2, row 5 / 2 = 2
    EXPECT_EQ(Px(screen, 303, 235), 250);
    EXPECT_EQ(Px(screen, 310, 229), 250);

    // 2x across, 3x down at (290, 200). Right: 2 columns over, 1 cut, so columns 0..14 fill 290..319.
    // Bottom: 8 rows over, 8 / 3 = 2.67 cut, truncated to 2, so rows 0..13 fill 200..239.
    DDFillRect(&screen, 0, 0, 320, 240, 250);
    DDBltStretch(&screen, 290, 200, 32, 48, &grid, 0, 0, 16, 16, 0);
    EXPECT_EQ(Px(screen, 290, 200), 0);
    EXPECT_EQ(Px(screen, 319, 200), 14);      // 30 columns show 15, each twice
    EXPECT_EQ(Px(screen, 290, 239), 13 * 16); // row 39 * 14 / 40 = 13, not 12
    EXPECT_EQ(Px(screen, 319, 239), 13 * 16 + 14);
    EXPECT_EQ(Px(screen, 300, 220), 7 * 16 + 5); // row 20 * 14 / 40 = 7, column 10 / 2 = 5
    EXPECT_EQ(Px(screen, 289, 220), 250);
}

TEST_F(Blits, WaveShiftsEachRowAlongASine) {
    Surface& band = made.Add();
    ASSERT_TRUE(DDCreateSurface(&band, 64, 32, 0, MEMORY_VIDEO));
    for (int32_t y = 0; y < 32; ++y)
        for (int32_t x = 0; x < 64; ++x)
            Px(band, x, y) = x == 0 ? 250 : static_cast<uint8_t>(y + 1);
    wavePhase = 10;
    DDBltWave(&screen, 100, 20, 64, 32, 3, 8, &band, 0, 0, BLT_OPAQUE);
    EXPECT_EQ(wavePhase, 11);
    for (int32_t r = 0; r < 32; ++r) {
        // step 360 / 32 = 11 (integer), angle = (phase + (r + 1) * 11) * 3 degrees.
        const double angle = (10 + (r + 1) * 11) * 3.0;
        const auto offset = static_cast<int32_t>(DegreeSine(angle) * 8);
        EXPECT_EQ(Px(screen, 100 + offset, 20 + r), 250) << "row " << r;
    }
    // Row 0 at phase 10: angle 63 degrees, sin * 8 = 7.12, so 7.
    EXPECT_EQ(Px(screen, 107, 20), 250);
}

TEST_F(Blits, WaveRowsOnAHalfOrAWholeSineAreLinuxs) {
    // A one-pixel marker per row at column 0, so each row's offset can be read back.
    Surface& band = made.Add();
    ASSERT_TRUE(DDCreateSurface(&band, 1, 32, 0, MEMORY_VIDEO));
    for (int32_t y = 0; y < 32; ++y)
        Px(band, 0, y) = 250;
    const auto offsetOf = [this](int32_t row) {
        for (int32_t x = 0; x < 320; ++x)
            if (Px(screen, x, row) == 250) return x - 100;
        return -1000;
    };
    // Phase 119, amplitude 2: row 0 is at 390 degrees, where Linux's sine is exactly 1/2 (offset 1) while
    // at 30 degrees it is just under (offset 0). The rows as a Linux build draws them:
    const int32_t linuxRows[32] = {1, 1,  1,  1,  0,  0, -1, -1, -1, -1, 0, 1, 1,  1,  1,  0,
                                   0, -1, -1, -1, -1, 0, 1,  1,  1,  1,  0, 0, -1, -1, -1, 0};
    wavePhase = 119;
    DDBltWave(&screen, 100, 0, 1, 32, 3, 2, &band, 0, 0, BLT_OPAQUE);
    for (int32_t r = 0; r < 32; ++r)
        EXPECT_EQ(offsetOf(r), linuxRows[r]) << "row " << r;
    // Phase 318: the last row is at 2010 degrees, a sine just short of -1/2, so amplitude 2 leaves it in
    // place.
    DDFillRect(&screen, 0, 0, 320, 240, 0);
    wavePhase = 318;
    DDBltWave(&screen, 100, 0, 1, 32, 3, 2, &band, 0, 0, BLT_OPAQUE);
    EXPECT_EQ(offsetOf(31), 0);
    EXPECT_EQ(offsetOf(0), -1); // 987 degrees: -1.997 truncates toward zero
}

TEST_F(Blits, FlatWaveEqualsAPlainCopyAndThePhaseWraps) {
    Surface& other = made.Add();
    ASSERT_TRUE(DDCreateSurface(&other, 320, 240, 0, MEMORY_VIDEO));
    wavePhase = 359;
    DDBltWave(&screen, 40, 40, 32, 32, 3, 0, &sprite, 0, 0, BLT_KEYED);
    EXPECT_EQ(wavePhase, 0);
    DDBltClip(&other, 40, 40, 32, 32, &sprite, 0, 0, BLT_KEYED);
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 320; ++x)
            ASSERT_EQ(Px(screen, x, y), Px(other, x, y));
    for (int i = 1; i <= 360; ++i) {
        DDBltWave(&screen, 0, 0, 32, 0, 3, 5, &sprite, 0, 0, 0);
        ASSERT_EQ(wavePhase, i % 360) << "call " << i; // no rows still advances the phase
    }
    EXPECT_EQ(wavePhase, 0); // 360 calls come back
}

TEST_F(Blits, EveryWaveCallMovesThePhaseByOne) {
    wavePhase = 100;
    const int32_t rows[] = {32, 0, -4, 1, 0, 7};
    for (size_t i = 0; i < std::size(rows); ++i) {
        DDBltWave(&screen, 10, 10, 32, rows[i], 3, 4, &sprite, 0, 0, BLT_KEYED);
        EXPECT_EQ(wavePhase, 101 + static_cast<int32_t>(i)) << "after " << rows[i] << " rows";
    }
    // The phase steers the rows: the same call drawn one phase later shifts the ripple.
    wavePhase = 0;
    DDFillRect(&screen, 0, 0, 320, 240, 0);
    DDBltWave(&screen, 100, 0, 1, 1, 1, 100, &sprite, 0, 0, BLT_OPAQUE);
    DDBltWave(&screen, 100, 1, 1, 1, 1, 100, &sprite, 0, 0, BLT_OPAQUE);
    // One row: step 360, angle (phase + 360) degrees; sin 1 degree * 100 = 1.7 shifts by 1.
    EXPECT_EQ(Px(screen, 100, 0), 1);
    EXPECT_EQ(Px(screen, 101, 1), 1);
}
