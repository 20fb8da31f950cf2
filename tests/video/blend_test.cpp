// Half-transparent blits and the smear: block order and edges, keyed mode, and never a pixel outside.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/support/owned_surfaces.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "video/blend.h"
#include "video/blit.h"

namespace {
// The plain average a * 256 + b -> (a + b) / 2: symmetric, so it cannot tell the operands apart (the
// lopsided table below does).
std::vector<uint8_t> AverageTable() {
    std::vector<uint8_t> t(65536);
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            t[static_cast<size_t>(a * 256 + b)] = static_cast<uint8_t>((a + b) / 2);
    return t;
}

// A lopsided mix, a * 256 + b -> (3a + b) / 4: the pixel being changed weighs three times the colour
// mixed into it, so swapped operands give another index.
std::vector<uint8_t> LopsidedTable() {
    std::vector<uint8_t> t(65536);
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            t[static_cast<size_t>(a * 256 + b)] = static_cast<uint8_t>((3 * a + b) / 4);
    return t;
}

// The smear written out plainly over a copy of the rectangle: each pixel folds in its neighbours above,
// below, left and right, in place, rows from the top and columns from the left.
void ReferenceSmear(std::vector<uint8_t>& px, int32_t w, int32_t h, const std::vector<uint8_t>& table) {
    auto at = [&](int32_t x, int32_t y) -> uint8_t& { return px[static_cast<size_t>(y * w + x)]; };
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t c = at(x, y);
            if (y > 0) c = table[static_cast<size_t>(c * 256 + at(x, y - 1))];
            if (y < h - 1) c = table[static_cast<size_t>(c * 256 + at(x, y + 1))];
            if (x > 0) c = table[static_cast<size_t>(c * 256 + at(x - 1, y))];
            if (x < w - 1) c = table[static_cast<size_t>(c * 256 + at(x + 1, y))];
            at(x, y) = c;
        }
}

// The screen's pixels moved into memory with guard rows of one value above and below, for as long as it
// lives: a row written past either edge then shows in the guard instead of damaging the heap.
struct GuardedPixels {
    static constexpr int32_t ROWS = 2;
    static constexpr uint8_t GUARD = 7;
    GuardedPixels(Surface& s, int32_t height)
        : surface(s.surface), own(s.surface->pixels),
          memory(static_cast<size_t>(s.surface->pitch) * static_cast<size_t>(height + 2 * ROWS), GUARD) {
        surface->pixels = memory.data() + ROWS * surface->pitch;
    }
    ~GuardedPixels() { surface->pixels = own; }
    GuardedPixels(const GuardedPixels&) = delete;
    GuardedPixels& operator=(const GuardedPixels&) = delete;
    // Guard bytes that no longer hold the guard value.
    int32_t Damaged() const {
        const size_t guardBytes = static_cast<size_t>(ROWS * surface->pitch);
        int32_t n = 0;
        for (size_t i = 0; i < guardBytes; ++i)
            n += (memory[i] != GUARD) + (memory[memory.size() - 1 - i] != GUARD);
        return n;
    }
    PlatformSurface* surface;
    uint8_t* own;
    std::vector<uint8_t> memory;
};

class Blend : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        table = AverageTable();
        ASSERT_TRUE(DDCreateSurface(&screen, 320, 240, 0, MEMORY_VIDEO));
        ASSERT_TRUE(DDCreateSurface(&sheet, 64, 64, 1, MEMORY_SYSTEM));
        DDFillRect(&screen, 0, 0, 320, 240, 100);
        for (int32_t y = 0; y < 64; ++y)
            for (int32_t x = 0; x < 64; ++x)
                Px(sheet, x, y) = static_cast<uint8_t>(2 * (x + 1));
    }
    void TearDown() override {
        made.ReleaseAll();
        DDReleaseSurface(&screen);
        DDReleaseSurface(&sheet);
        ResetGameProcess();
    }
    static uint8_t& Px(Surface& s, int32_t x, int32_t y) {
        return s.surface->pixels[y * s.surface->pitch + x];
    }
    // Screen column X shows sprite column c blended over 100.
    bool Blended(int32_t X, int32_t y, int32_t c) { return Px(screen, X, y) == (100 + 2 * (c + 1)) / 2; }
    Surface screen{}, sheet{};
    OwnedSurfaces made; // the surfaces a test adds
    std::vector<uint8_t> table;
};
} // namespace

TEST_F(Blend, KeyedModeLeavesIndexZeroOnEitherSideAlone) {
    Px(sheet, 3, 0) = 0;    // transparent sprite pixel
    Px(screen, 12, 10) = 0; // pure black destination
    ASSERT_TRUE(HalfBlendBlt(&screen, 10, 10, 8, 1, &sheet, 0, 0, BLEND_KEYED, table.data()));
    EXPECT_EQ(Px(screen, 13, 10), 100); // sprite 0: unchanged
    EXPECT_EQ(Px(screen, 12, 10), 0);   // destination 0: unchanged
    EXPECT_TRUE(Blended(10, 10, 0));
    EXPECT_TRUE(Blended(17, 10, 7));

    // Any other mode blends every pixel.
    DDFillRect(&screen, 0, 0, 320, 240, 100);
    Px(screen, 12, 10) = 0;
    ASSERT_TRUE(HalfBlendBlt(&screen, 10, 10, 8, 1, &sheet, 0, 0, 0, table.data()));
    EXPECT_EQ(Px(screen, 13, 10), 50);
    EXPECT_EQ(Px(screen, 12, 10), (0 + 6) / 2);
}

TEST_F(Blend, ClipsPerPixelAtTheLeftAndRightEdges) {
    ASSERT_TRUE(HalfBlendBlt(&screen, -3, 0, 32, 1, &sheet, 0, 0, BLEND_KEYED, table.data()));
    // Columns 3..31 land at 0..28.
    for (int32_t X = 0; X <= 28; ++X)
        EXPECT_TRUE(Blended(X, 0, X + 3)) << X;
    EXPECT_EQ(Px(screen, 29, 0), 100);

    ASSERT_TRUE(HalfBlendBlt(&screen, 300, 5, 32, 1, &sheet, 0, 0, BLEND_KEYED, table.data()));
    for (int32_t c = 0; c < 20; ++c)
        EXPECT_TRUE(Blended(300 + c, 5, c)) << c;
    EXPECT_EQ(Px(screen, 299, 5), 100);
}

TEST_F(Blend, WholeBlocksOnlySoAnOddWidthSkipsItsLeftColumns) {
    ASSERT_TRUE(HalfBlendBlt(&screen, 50, 0, 30, 1, &sheet, 0, 0, BLEND_KEYED, table.data()));
    for (int32_t c = 0; c < 6; ++c)
        EXPECT_EQ(Px(screen, 50 + c, 0), 100) << c;
    for (int32_t c = 6; c < 30; ++c)
        EXPECT_TRUE(Blended(50 + c, 0, c)) << c;
    // Narrower than a block: nothing at all.
    ASSERT_TRUE(HalfBlendBlt(&screen, 0, 1, 7, 1, &sheet, 0, 0, BLEND_KEYED, table.data()));
    for (int32_t X = 0; X < 8; ++X)
        EXPECT_EQ(Px(screen, X, 1), 100);
}

TEST_F(Blend, RowsOffEitherEdgeAreSkippedButKeepTheSpriteAligned) {
    for (int32_t y = 0; y < 64; ++y)
        Px(sheet, 0, y) = static_cast<uint8_t>(2 * y + 2);
    ASSERT_TRUE(HalfBlendBlt(&screen, 0, -5, 8, 10, &sheet, 0, 0, BLEND_KEYED, table.data()));
    // Screen row 0 shows sprite row 5.
    EXPECT_EQ(Px(screen, 0, 0), (100 + 12) / 2);
    EXPECT_EQ(Px(screen, 0, 4), (100 + 20) / 2);
    EXPECT_EQ(Px(screen, 0, 5), 100);
    ASSERT_TRUE(HalfBlendBlt(&screen, 0, 236, 8, 10, &sheet, 0, 0, BLEND_KEYED, table.data()));
    EXPECT_EQ(Px(screen, 0, 239), (100 + 8) / 2);
}

TEST_F(Blend, TheTopAndBottomRowsAreDrawnAndNothingBeyondThem) {
    GuardedPixels guarded(screen, 240);
    DDFillRect(&screen, 0, 0, 320, 240, 100);
    // Sprite row r, column c is c + 1 + 20 r, so every drawn pixel names its row.
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 16; ++x)
            Px(sheet, x, y) = static_cast<uint8_t>(x + 1 + 20 * y);
    auto shows = [&](int32_t X, int32_t Y, int32_t c, int32_t r) {
        return Px(screen, X, Y) == (100 + c + 1 + 20 * r) / 2;
    };
    for (int32_t mode : {BLEND_KEYED, 0}) {
        DDFillRect(&screen, 0, 0, 320, 240, 100);
        // Ten rows from 236: sprite rows 0..3 on screen rows 236..239, rows 4..9 past the bottom.
        ASSERT_TRUE(HalfBlendBlt(&screen, 40, 236, 16, 10, &sheet, 0, 0, mode, table.data()));
        // Ten rows from -6: rows 0..5 above the top, rows 6..9 on screen rows 0..3.
        ASSERT_TRUE(HalfBlendBlt(&screen, 80, -6, 16, 10, &sheet, 0, 0, mode, table.data()));
        for (int32_t c = 0; c < 16; ++c) {
            EXPECT_TRUE(shows(40 + c, 236, c, 0)) << "mode " << mode << " column " << c;
            EXPECT_TRUE(shows(40 + c, 239, c, 3)) << "mode " << mode << " column " << c;
            EXPECT_TRUE(shows(80 + c, 0, c, 6)) << "mode " << mode << " column " << c;
            EXPECT_TRUE(shows(80 + c, 3, c, 9)) << "mode " << mode << " column " << c;
        }
        EXPECT_EQ(Px(screen, 40, 235), 100);
        EXPECT_EQ(Px(screen, 80, 4), 100);
        EXPECT_EQ(guarded.Damaged(), 0) << "mode " << mode;
    }
}

TEST_F(Blend, ASourceOutsideItsSheetDrawsNothingAndReleasesBothLocks) {
    // The game asks for 32x32 cells; a sheet too small for the cell must not be read past.
    EXPECT_FALSE(HalfBlendBlt(&screen, 0, 0, 32, 32, &sheet, 40, 0, BLEND_KEYED, table.data()));
    EXPECT_FALSE(HalfBlendBlt(&screen, 0, 0, 32, 32, &sheet, 0, 40, BLEND_KEYED, table.data()));
    EXPECT_FALSE(HalfBlendBlt(&screen, 0, 0, 32, 32, &sheet, -1, 0, BLEND_KEYED, table.data()));
    EXPECT_EQ(Px(screen, 0, 0), 100);
    EXPECT_EQ(screen.surface->lockCount, 0);
    EXPECT_EQ(sheet.surface->lockCount, 0);

    sheet.surface->lost = true; // the source cannot be locked
    EXPECT_FALSE(HalfBlendBlt(&screen, 0, 0, 32, 32, &sheet, 0, 0, BLEND_KEYED, table.data()));
    EXPECT_EQ(screen.surface->lockCount, 0);
    Surface none{};
    EXPECT_FALSE(HalfBlendBlt(&none, 0, 0, 8, 8, &sheet, 0, 0, BLEND_KEYED, table.data()));
}

TEST_F(Blend, TheDestinationPixelIsTheFirstOperand) {
    const std::vector<uint8_t> lopsided = LopsidedTable();
    // Mixing 100 (screen) with 2 (c + 1) (sprite) gives (300 + 2 (c + 1)) / 4; swapped it would differ.
    auto mixed = [](int32_t c) { return (300 + 2 * (c + 1)) / 4; };
    for (int32_t mode : {BLEND_KEYED, 0}) {
        DDFillRect(&screen, 0, 0, 320, 240, 100);
        // Whole blocks in the middle, the pixel-by-pixel blocks at the left and the right edge.
        ASSERT_TRUE(HalfBlendBlt(&screen, 40, 0, 16, 1, &sheet, 0, 0, mode, lopsided.data()));
        ASSERT_TRUE(HalfBlendBlt(&screen, -3, 1, 16, 1, &sheet, 0, 0, mode, lopsided.data()));
        ASSERT_TRUE(HalfBlendBlt(&screen, 310, 2, 16, 1, &sheet, 0, 0, mode, lopsided.data()));
        for (int32_t c = 0; c < 16; ++c)
            EXPECT_EQ(Px(screen, 40 + c, 0), mixed(c)) << "mode " << mode << " column " << c;
        for (int32_t c = 3; c < 16; ++c)
            EXPECT_EQ(Px(screen, c - 3, 1), mixed(c)) << "mode " << mode << " column " << c;
        for (int32_t c = 0; c < 10; ++c)
            EXPECT_EQ(Px(screen, 310 + c, 2), mixed(c)) << "mode " << mode << " column " << c;
    }
}

TEST_F(Blend, SmearFoldsIntoThePixelWithALopsidedTable) {
    const std::vector<uint8_t> lopsided = LopsidedTable();
    DDFillRect(&screen, 0, 0, 320, 240, 200);
    Px(screen, 10, 10) = 10;
    Px(screen, 11, 10) = 40;
    Px(screen, 10, 11) = 70;
    Px(screen, 11, 11) = 100;
    ASSERT_TRUE(HalfBlendSmear(&screen, 10, 10, 2, 2, lopsided.data()));
    // Top left: 10 with 70 below -> 25, with 40 right -> 28.
    // Top right: 40 with 100 below -> 55, with 28 left -> 48.
    // Bottom left: 70 with 28 above -> 59, with 100 right -> 69.
    // Bottom right: 100 with 48 above -> 87, with 69 left -> 82.
    EXPECT_EQ(Px(screen, 10, 10), 28);
    EXPECT_EQ(Px(screen, 11, 10), 48);
    EXPECT_EQ(Px(screen, 10, 11), 69);
    EXPECT_EQ(Px(screen, 11, 11), 82);
    EXPECT_EQ(Px(screen, 12, 10), 200);
    EXPECT_EQ(Px(screen, 10, 12), 200);
}

TEST_F(Blend, TwentySmearsAsTheCaptureAppliesThem) {
    const std::vector<uint8_t> lopsided = LopsidedTable();
    constexpr int32_t X = 7, Y = 5, W = 13, H = 9;
    DDFillRect(&screen, 0, 0, 320, 240, 255);
    std::vector<uint8_t> expected(W * H);
    uint32_t seed = 12345;
    for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x) {
            seed = seed * 1103515245u + 12345u;
            Px(screen, X + x, Y + y) = expected[static_cast<size_t>(y * W + x)] =
                static_cast<uint8_t>(seed >> 24);
        }
    for (int pass = 0; pass < 20; ++pass) {
        ASSERT_TRUE(HalfBlendSmear(&screen, X, Y, W, H, lopsided.data()));
        ReferenceSmear(expected, W, H, lopsided);
    }
    for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x)
            ASSERT_EQ(Px(screen, X + x, Y + y), expected[static_cast<size_t>(y * W + x)]) << x << "," << y;
    // The border around the rectangle is neither read (255 would pull the edges up) nor written.
    for (int32_t x = X - 1; x <= X + W; ++x) {
        EXPECT_EQ(Px(screen, x, Y - 1), 255);
        EXPECT_EQ(Px(screen, x, Y + H), 255);
    }
    for (int32_t y = Y; y < Y + H; ++y) {
        EXPECT_EQ(Px(screen, X - 1, y), 255);
        EXPECT_EQ(Px(screen, X + W, y), 255);
    }
}

TEST_F(Blend, ABlockEndingAtTheRightEdgeWritesNothingPastIt) {
    // 20 wide: the pitch runs on to 32, and the bytes past the edge must keep their guard value.
    Surface& narrow = made.Add();
    ASSERT_TRUE(DDCreateSurface(&narrow, 20, 4, 0, MEMORY_VIDEO));
    ASSERT_GT(narrow.surface->pitch, 20);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < narrow.surface->pitch; ++x)
            narrow.surface->pixels[y * narrow.surface->pitch + x] = x < 20 ? 100 : 7;
    for (int32_t mode : {BLEND_KEYED, 0}) {
        ASSERT_TRUE(HalfBlendBlt(&narrow, 12, 0, 8, 1, &sheet, 0, 0, mode, table.data())); // X = width - 8
        ASSERT_TRUE(HalfBlendBlt(&narrow, 13, 1, 8, 1, &sheet, 0, 0, mode, table.data())); // X = width - 7
    }
    // Row 0: the whole block at 12..19, twice over (100 -> 51 -> 26 for column 0).
    EXPECT_EQ(Px(narrow, 12, 0), ((100 + 2) / 2 + 2) / 2);
    EXPECT_EQ(Px(narrow, 19, 0), ((100 + 16) / 2 + 16) / 2);
    EXPECT_EQ(Px(narrow, 11, 0), 100);
    // Row 1: sprite columns 0..6 at 13..19; column 7 would fall past the edge.
    EXPECT_EQ(Px(narrow, 13, 1), ((100 + 2) / 2 + 2) / 2);
    EXPECT_EQ(Px(narrow, 19, 1), ((100 + 14) / 2 + 14) / 2);
    EXPECT_EQ(Px(narrow, 12, 1), 100);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 20; x < narrow.surface->pitch; ++x)
            ASSERT_EQ(narrow.surface->pixels[y * narrow.surface->pitch + x], 7) << x << "," << y;
}

TEST_F(Blend, OpaqueModeBlendsABlockOfIndexZeroToo) {
    for (int32_t x = 0; x < 8; ++x)
        Px(sheet, x, 0) = 0;
    ASSERT_TRUE(HalfBlendBlt(&screen, 40, 0, 8, 1, &sheet, 0, 0, 0, table.data()));
    for (int32_t X = 40; X < 48; ++X)
        EXPECT_EQ(Px(screen, X, 0), 50) << X; // 100 mixed with 0
    // Keyed, the same transparent block leaves the screen alone.
    ASSERT_TRUE(HalfBlendBlt(&screen, 60, 0, 8, 1, &sheet, 0, 0, BLEND_KEYED, table.data()));
    for (int32_t X = 60; X < 68; ++X)
        EXPECT_EQ(Px(screen, X, 0), 100) << X;
}

TEST_F(Blend, EmptyRectanglesDrawNothingAndSucceed) {
    // Nothing is read or written, so where an empty rectangle sits does not matter.
    const int32_t blits[][6] = {
        // x, y, width, height, source x, source y
        {10, 10, -8, 8, 0, 0},      {10, 10, 8, -1, 0, 0},   {10, 10, 0, 8, 0, 0},
        {10, 10, -16, -16, 60, 60}, {10, 10, 0, 32, 100, 0}, {10, 10, 32, 0, 0, 100},
    };
    for (const auto& b : blits) {
        for (int32_t mode : {BLEND_KEYED, 0})
            EXPECT_TRUE(HalfBlendBlt(&screen, b[0], b[1], b[2], b[3], &sheet, b[4], b[5], mode, table.data()))
                << b[2] << "x" << b[3] << " from " << b[4] << "," << b[5];
    }
    EXPECT_EQ(Px(screen, 10, 10), 100);
    EXPECT_EQ(Px(screen, 3, 10), 100);
    EXPECT_EQ(screen.surface->lockCount, 0);
    EXPECT_EQ(sheet.surface->lockCount, 0);
    // A rectangle with pixels in it must still fit its sheet.
    EXPECT_FALSE(HalfBlendBlt(&screen, 10, 10, 8, 1, &sheet, 60, 0, BLEND_KEYED, table.data()));

    Surface& narrow = made.Add();
    ASSERT_TRUE(DDCreateSurface(&narrow, 20, 20, 0, MEMORY_VIDEO));
    DDFillRect(&narrow, 0, 0, 20, 20, 100);
    const int32_t smears[][4] = {{19, 0, 3, 0}, {0, 0, 0, 5}, {5, 5, -3, 4}, {5, 5, 4, -3}, {-5, 25, 0, 0}};
    for (const auto& r : smears)
        EXPECT_TRUE(HalfBlendSmear(&narrow, r[0], r[1], r[2], r[3], table.data()))
            << r[0] << "," << r[1] << " " << r[2] << "x" << r[3];
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 20; ++x)
            ASSERT_EQ(Px(narrow, x, y), 100);
    EXPECT_FALSE(HalfBlendSmear(&narrow, 19, 0, 3, 1, table.data())); // one row past the edge: refused
    EXPECT_EQ(narrow.surface->lockCount, 0);
}

TEST_F(Blend, SmearFoldsNeighboursInTheirFixedOrder) {
    DDFillRect(&screen, 0, 0, 320, 240, 200);
    Px(screen, 10, 10) = 10;
    Px(screen, 11, 10) = 20;
    Px(screen, 12, 10) = 30;
    ASSERT_TRUE(HalfBlendSmear(&screen, 10, 10, 3, 1, table.data()));
    // Left to right: 10 with 20 -> 15; 20 with the smeared 15 -> 17, then with 30 -> 23; 30 with 23 -> 26.
    EXPECT_EQ(Px(screen, 10, 10), 15);
    EXPECT_EQ(Px(screen, 11, 10), 23);
    EXPECT_EQ(Px(screen, 12, 10), 26);
    // Nothing outside the rectangle was read (the 200s would show) or written.
    EXPECT_EQ(Px(screen, 9, 10), 200);
    EXPECT_EQ(Px(screen, 13, 10), 200);
    EXPECT_EQ(Px(screen, 11, 9), 200);
    EXPECT_EQ(Px(screen, 11, 11), 200);

    Px(screen, 50, 50) = 10;
    Px(screen, 50, 51) = 20;
    Px(screen, 50, 52) = 30;
    ASSERT_TRUE(HalfBlendSmear(&screen, 50, 50, 1, 3, table.data()));
    EXPECT_EQ(Px(screen, 50, 50), 15);
    EXPECT_EQ(Px(screen, 50, 51), 23);
    EXPECT_EQ(Px(screen, 50, 52), 26);
}

TEST_F(Blend, SmearOfOnePixelOrOneColourFollowsOnlyTheDiagonal) {
    Px(screen, 5, 5) = 77;
    ASSERT_TRUE(HalfBlendSmear(&screen, 5, 5, 1, 1, table.data()));
    EXPECT_EQ(Px(screen, 5, 5), 77);

    std::vector<uint8_t> shifted = table;
    shifted[100 * 256 + 100] = 101;
    shifted[100 * 256 + 101] = 101;
    ASSERT_TRUE(HalfBlendSmear(&screen, 100, 100, 1, 2, shifted.data()));
    EXPECT_EQ(Px(screen, 100, 100), 101); // diagonal entry
    EXPECT_EQ(Px(screen, 100, 101), 101); // 100 with the smeared 101 above
    DDFillRect(&screen, 0, 0, 320, 240, 100);
    ASSERT_TRUE(HalfBlendSmear(&screen, 0, 0, 320, 240, table.data()));
    EXPECT_EQ(Px(screen, 160, 120), 100); // an identity diagonal leaves a uniform picture alone
    EXPECT_FALSE(HalfBlendSmear(&screen, 310, 0, 20, 20, table.data())); // not inside: refused
    EXPECT_EQ(screen.surface->lockCount, 0);
}

TEST_F(Blend, ShortLongMissingOrFolderTableFiles) {
    ScopedWorkDir dir;
    WriteFileBytes("short.dat", std::vector<uint8_t>(1000, 9));
    std::vector<uint8_t> loaded(65536, 0);
    ASSERT_TRUE(LoadHalfBlendTable(loaded.data(), "short.dat"));
    EXPECT_EQ(loaded[999], 9);
    EXPECT_EQ(loaded[1000], 0); // what the file did not reach stays as it was
    std::vector<uint8_t> kept(65536, 3);
    ASSERT_TRUE(LoadHalfBlendTable(kept.data(), "short.dat"));
    EXPECT_EQ(kept[65535], 3);
    EXPECT_FALSE(LoadHalfBlendTable(loaded.data(), "missing.dat"));
    // An empty file is short, not broken; a longer one gives its first 65536 bytes.
    WriteFileBytes("empty.dat", {});
    EXPECT_TRUE(LoadHalfBlendTable(kept.data(), "empty.dat"));
    std::vector<uint8_t> longer(65536 + 100, 7);
    longer[65535] = 8;
    WriteFileBytes("long.dat", longer);
    ASSERT_TRUE(LoadHalfBlendTable(loaded.data(), "long.dat"));
    EXPECT_EQ(loaded[65535], 8);
    // A folder cannot be read as a table (on Windows it cannot even be opened).
    std::filesystem::create_directory("folder.dat");
    std::vector<uint8_t> untouched(65536, 5);
    EXPECT_FALSE(LoadHalfBlendTable(untouched.data(), "folder.dat"));
    EXPECT_EQ(untouched[0], 5);
}

namespace {
// The blend written from its rule, one pixel at a time: whole blocks of 8 from the right, clipped per
// pixel, index 0 on either side left alone in keyed mode.
void ReferenceBlend(std::vector<uint8_t>& dest, int32_t destPitch, int32_t destW, int32_t destH, int32_t x,
                    int32_t y, int32_t w, int32_t h, const std::vector<uint8_t>& src, int32_t srcPitch,
                    int32_t srcX, int32_t srcY, bool keyed, const std::vector<uint8_t>& table) {
    for (int32_t i = 0; i < h; ++i) {
        if (y + i < 0 || y + i >= destH) continue;
        for (int32_t c = w - 8; c >= 0; c -= 8)
            for (int32_t k = 0; k < 8; ++k) {
                const int32_t X = x + c + k;
                if (X < 0 || X >= destW) continue;
                uint8_t& d = dest[static_cast<size_t>((y + i) * destPitch + X)];
                const uint8_t s = src[static_cast<size_t>((srcY + i) * srcPitch + srcX + c + k)];
                if (!keyed || (s != 0 && d != 0)) d = table[static_cast<size_t>(d * 256 + s)];
            }
    }
}

std::vector<uint8_t> SurfaceBytes(const Surface& s) {
    return std::vector<uint8_t>(s.surface->pixels, s.surface->pixels + s.surface->pitch * s.surface->height);
}
} // namespace

TEST_F(Blend, BlocksMatchThePixelRuleOnRandomPicturesAtEveryEdge) {
    // An operand-sensitive table with no simple pattern, and pictures with plenty of index 0 on both sides.
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    for (uint8_t& t : table)
        t = next();
    auto fill = [&](Surface& s) {
        for (int32_t yy = 0; yy < s.height; ++yy)
            for (int32_t xx = 0; xx < s.width; ++xx) {
                const uint8_t v = next();
                Px(s, xx, yy) = v < 64 ? 0 : v;
            }
    };
    int32_t compared = 0;
    for (const bool keyed : {true, false})
        for (const int32_t w : {32, 30, 8, 17})
            for (const int32_t x : {-40, -31, -3, 0, 5, 144, 289, 300, 313, 319, 320}) {
                const int32_t y = x % 7 == 0 ? -5 : x % 3 == 0 ? 230 : 100;
                fill(screen);
                fill(sheet);
                std::vector<uint8_t> want = SurfaceBytes(screen);
                ReferenceBlend(want, screen.surface->pitch, 320, 240, x, y, w, 20, SurfaceBytes(sheet),
                               sheet.surface->pitch, 64 - w, 7, keyed, table);
                ASSERT_TRUE(HalfBlendBlt(&screen, x, y, w, 20, &sheet, 64 - w, 7, keyed ? BLEND_KEYED : 0,
                                         table.data()));
                ASSERT_EQ(SurfaceBytes(screen), want) << "keyed " << keyed << " width " << w << " x " << x;
                ++compared;
            }
    EXPECT_EQ(compared, 2 * 4 * 11);
}
