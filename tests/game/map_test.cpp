// The stage map: loading and refusing stage files, the scatter, the wrap and the drawn view.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/main_window.h"
#include "base/asset_paths.h"
#include "base/failure.h"
#include "base/random.h"
#include "game/map.h"
#include "platform/file_failure.h"
#include "platform/headless/headless.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/world.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/surface.h"

namespace {
class MapTest : public StartedGame {};

constexpr int32_t PX = 65536;

// Kinds vary by row and column differently, so a transposed or shifted grid shows.
uint8_t PatternKind(int32_t column, int32_t row) {
    return static_cast<uint8_t>((row * 7 + column * 3) % 16);
}

std::vector<uint8_t> PatternStage(int32_t width, int32_t height) {
    std::vector<uint8_t> b = StageBytes(width, height, 0);
    for (int32_t r = 0; r < height; ++r)
        for (int32_t c = 0; c < width; ++c)
            b[584 + static_cast<size_t>(r * width + c)] = PatternKind(c, r);
    return b;
}

void PutField(std::vector<uint8_t>* b, size_t at, int32_t v) {
    for (int k = 0; k < 4; ++k)
        (*b)[at + static_cast<size_t>(k)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
}

bool MessagePending(uint32_t message) {
    PlatformMessage m;
    while (PlatformPeekMessage(&m))
        if (m.message == message) return true;
    return false;
}
} // namespace

TEST_F(MapTest, LoadsHeaderAndGridRowByRowAndIgnoresWhatFollows) {
    std::vector<uint8_t> bytes = PatternStage(64, 32);
    bytes.insert(bytes.end(), 300, 0xEE); // trailing bytes are never read into the map
    WriteFileBytes("data\\s.bgd", bytes);
    ASSERT_TRUE(LoadMapData(&mapData, "data\\s.bgd"));
    EXPECT_EQ(mapData.width, 64);
    EXPECT_EQ(mapData.height, 32);
    EXPECT_EQ(mapData.pixelWidth, 2048);
    EXPECT_EQ(mapData.pixelHeight, 1024);
    for (int32_t r : {0, 1, 31})
        for (int32_t c : {0, 1, 2, 63})
            EXPECT_EQ(GetTile(c, r), PatternKind(c, r)) << c << "," << r;
}

TEST_F(MapTest, RefusesFilesTheGameCannotPlayWithoutTouchingTheMap) {
    MakeTestMap(8, 32, 4);
    const uint8_t* const* rowsBefore = mapData.rows;
    auto expectRefused = [&](const std::vector<uint8_t>& bytes, const char* what) {
        WriteFileBytes("data\\bad.bgd", bytes);
        EXPECT_FALSE(LoadMapData(&mapData, "data\\bad.bgd")) << what;
        EXPECT_EQ(mapData.rows, rowsBefore) << what;
        EXPECT_EQ(mapData.width, 8) << what;
        EXPECT_EQ(mapData.pixelHeight, 1024) << what;
    };
    EXPECT_FALSE(LoadMapData(&mapData, "data\\missing.bgd"));
    EXPECT_EQ(mapData.rows, rowsBefore);
    // A folder in the file's place is called a folder, not a file of no bytes: by the map where the folder
    // opens and reads as nothing (Linux), else by the stage's start, which names the file after a refusal.
    ClearFailure();
    std::filesystem::create_directories("data/folder.bgd");
    EXPECT_FALSE(LoadMapData(&mapData, "data\\folder.bgd"));
    NoteFileFailure("the stage file", "data\\folder.bgd");
    EXPECT_EQ(mapData.rows, rowsBefore);
    ASSERT_NE(NotedFailure(), nullptr);
    EXPECT_STREQ(NotedFailure(), "cannot read the stage file data/folder.bgd: it is a folder, not a file");
    ClearFailure();

    const std::vector<uint8_t> good = PatternStage(32, 32);
    expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 583), "header cut short");
    expectRefused(std::vector<uint8_t>(good.begin(), good.end() - 1), "grid one byte short");
    for (int32_t width : {48, 4, 2048, -32, 0}) {
        std::vector<uint8_t> b = good;
        PutField(&b, 524, width);
        expectRefused(b, ("width " + std::to_string(width)).c_str());
    }
    std::vector<uint8_t> small = StageBytes(16, 16, 0); // room for no enemy on either axis
    expectRefused(small, "16 x 16");
    std::vector<uint8_t> pixels = good;
    PutField(&pixels, 532, 1000);
    expectRefused(pixels, "pixel width");
    std::vector<uint8_t> kind = good;
    kind[584 + 40] = 16;
    expectRefused(kind, "kind 16");
    // 100 walkable cells could all be closed by the scatter; 101 leave the player one.
    std::vector<uint8_t> walls = StageBytes(32, 32, 1);
    std::memset(walls.data() + 584, 0, 100);
    expectRefused(walls, "100 walkable");
    walls[584 + 500] = 9;
    WriteFileBytes("data\\ok.bgd", walls);
    FreeMapData(&mapData);
    EXPECT_TRUE(LoadMapData(&mapData, "data\\ok.bgd"));

    // The narrowest accepted shapes: 8 across with 32 down, and the widest axis.
    WriteFileBytes("data\\narrow.bgd", StageBytes(8, 32, 0));
    FreeMapData(&mapData);
    EXPECT_TRUE(LoadMapData(&mapData, "data\\narrow.bgd"));
    WriteFileBytes("data\\wide.bgd", StageBytes(1024, 8, 0));
    FreeMapData(&mapData);
    EXPECT_TRUE(LoadMapData(&mapData, "data\\wide.bgd"));
    EXPECT_EQ(mapData.pixelWidth, 32768);
}

TEST_F(MapTest, OutOfMemoryShowsTheBoxPostsCloseAndKeepsTheRowsMadeSoFar) {
    WriteFileBytes("data\\s.bgd", PatternStage(32, 32));
    mapAllocationsLeft = 0; // the row array itself
    EXPECT_FALSE(LoadMapData(&mapData, "data\\s.bgd"));
    EXPECT_EQ(mapData.rows, nullptr);
    ASSERT_EQ(HeadlessMessageBoxes().size(), 1u);
    EXPECT_EQ(HeadlessMessageBoxes()[0], "エラー|メモリ不足！再起動してください！");
    EXPECT_TRUE(MessagePending(WM_CLOSE));
    FreeMapData(&mapData);

    mapAllocationsLeft = 3; // the array and two rows
    EXPECT_FALSE(LoadMapData(&mapData, "data\\s.bgd"));
    ASSERT_NE(mapData.rows, nullptr);
    EXPECT_NE(mapData.rows[0], nullptr);
    EXPECT_NE(mapData.rows[1], nullptr);
    EXPECT_EQ(mapData.rows[2], nullptr);
    EXPECT_EQ(mapData.rows[31], nullptr);
    EXPECT_EQ(HeadlessMessageBoxes().size(), 2u);
    FreeMapData(&mapData); // the sanitizer build sees a leak or a double release here
    EXPECT_EQ(mapData.width, 0);
    EXPECT_EQ(mapData.height, 0);
    EXPECT_EQ(mapData.pixelWidth, 1024); // kept until the next load
    FreeMapData(&mapData);
}

TEST_F(MapTest, ScatterClosesExactlyOneHundredNewCellsColumnDrawFirst) {
    MakeTestMap(64, 32, 0);
    SetTile(3, 3, TILE_CLOSED);
    SetTile(4, 3, 1); // walls may be closed as well
    for (int32_t c = 0; c < 64; ++c)
        SetTile(c, 10, 5);
    qm::srand(12345);
    ModelRandom model{12345};
    std::vector<uint8_t> expected(64 * 32, 0);
    expected[3 * 64 + 3] = TILE_CLOSED;
    expected[3 * 64 + 4] = 1;
    for (int32_t c = 0; c < 64; ++c)
        expected[10 * 64 + static_cast<size_t>(c)] = 5;
    for (int32_t count = 0; count < 100;) {
        const int32_t column = model.Next() % 64;
        const int32_t row = model.Next() % 32;
        uint8_t& cell = expected[static_cast<size_t>(row * 64 + column)];
        if (cell == TILE_CLOSED) continue;
        cell = TILE_CLOSED;
        ++count;
    }
    ScatterClosedTiles();
    int32_t closed = 0;
    for (int32_t r = 0; r < 32; ++r)
        for (int32_t c = 0; c < 64; ++c) {
            EXPECT_EQ(GetTile(c, r), expected[static_cast<size_t>(r * 64 + c)]) << c << "," << r;
            closed += GetTile(c, r) == TILE_CLOSED;
        }
    EXPECT_EQ(closed, 101);
    EXPECT_EQ(qm::RandomState(), model.state);
}

TEST(WrapCoord, WrapsBothEdgesByTheMapSizeInTiles) {
    int32_t x = -65536; // one pixel left of 0 on a 64-tile map
    WrapCoord(&x, 64);
    EXPECT_EQ(x, 2048 * 65536 - 65536);
    x = 64 * 32 * 65536;
    WrapCoord(&x, 64);
    EXPECT_EQ(x, 0);
    x = 64 * 32 * 65536 - 1;
    WrapCoord(&x, 64);
    EXPECT_EQ(x, 64 * 32 * 65536 - 1);
    int32_t y = 5;
    WrapCoord(&y, 8);
    EXPECT_EQ(y, 5);
    y = 8 * 32 * 65536 + 5;
    WrapCoord(&y, 8);
    EXPECT_EQ(y, 5);
    // 1024 tiles are 2^31 units: the whole non-negative range, and -1 comes back at its top.
    int32_t far = -1;
    WrapCoord(&far, 1024);
    EXPECT_EQ(far, 2147483647);
    far = static_cast<int32_t>(0x80000000u) + 70000;
    WrapCoord(&far, 1024);
    EXPECT_EQ(far, 70000);
}

namespace {
// Map chips of one index per kind (kind + 100), so the drawn view says which cell lies where.
void MakeChipSheet() {
    Surface& chips = surfaceTable[SURFACE_MAPCHIP];
    ASSERT_TRUE(DDCreateSurface(&chips, 256, 64, 0, MEMORY_SYSTEM));
    for (int32_t k = 0; k < 16; ++k)
        DDFillRect(&chips, (k & 7) * 32, (k >> 3) * 32, 32, 32, 100 + k);
}

} // namespace

TEST_F(MapTest, DrawMapPlacesSubTileOriginsAndTheSeam) {
    MakeChipSheet();
    MakeTestMap(64, 32, 0);
    for (int32_t c = 0; c < 64; ++c)
        for (int32_t r = 0; r < 32; ++r)
            SetTile(c, r, static_cast<uint8_t>((c + 5 * r) % 16));
    DDFillRect(&backBuffer, 0, 0, 320, 240, 7);

    scrollX = 37;      // column 1 first, at screen x 75; column 0 is not drawn at all
    scrollY = 64 + 10; // row 2 first, at screen y 30
    DrawMap();
    EXPECT_EQ(BackBufferPixel(74, 30), 7);
    EXPECT_EQ(BackBufferPixel(75, 29), 7);
    EXPECT_EQ(BackBufferPixel(75, 30), 100 + (1 + 5 * 2) % 16);
    EXPECT_EQ(BackBufferPixel(75, 61), 100 + (1 + 5 * 2) % 16);
    EXPECT_EQ(BackBufferPixel(75, 62), 100 + (1 + 5 * 3) % 16);
    EXPECT_EQ(BackBufferPixel(234, 100), 100 + (5 + 5 * 4) % 16);
    // Six columns: the last (column 6) ends at 266, leaving a 5-pixel strip of the 192 square undrawn.
    EXPECT_EQ(BackBufferPixel(266, 100), 100 + (6 + 5 * 4) % 16);
    EXPECT_EQ(BackBufferPixel(267, 100), 7);
    EXPECT_EQ(BackBufferPixel(100, 221), 100 + (1 + 5 * 7) % 16);
    EXPECT_EQ(BackBufferPixel(100, 222), 7);

    DDFillRect(&backBuffer, 0, 0, 320, 240, 7);
    scrollX = 2048 - 40; // the last two columns, then 0..3
    scrollY = 1024 - 1;  // the last row's last pixel line, then rows 0..4
    DrawMap();
    EXPECT_EQ(BackBufferPixel(56, 9), 100 + (62 + 5 * 31) % 16);
    EXPECT_EQ(BackBufferPixel(88, 9), 100 + (63 + 5 * 31) % 16);
    EXPECT_EQ(BackBufferPixel(120, 9), 100 + (0 + 5 * 31) % 16);
    EXPECT_EQ(BackBufferPixel(120, 40), 100 + (0 + 5 * 31) % 16);
    EXPECT_EQ(BackBufferPixel(120, 41), 100 + (0 + 5 * 0) % 16);
    EXPECT_EQ(BackBufferPixel(216, 41), 100 + (3 + 5 * 0) % 16);
}
