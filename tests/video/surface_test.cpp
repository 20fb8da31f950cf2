// Surfaces: creation with its fallback, bitmap loading into slots, locks, and the restore after a loss.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/asset_paths.h"
#include "tests/support/owned_surfaces.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tests/support/trace_capture.h"
#include "video/surface.h"

namespace {
class Surfaces : public testing::Test {
  protected:
    void SetUp() override { ResetGameProcess(); }
    void TearDown() override {
        made.ReleaseAll();
        ResetGameProcess();
    }
    ScopedWorkDir dir;
    OwnedSurfaces made; // the surfaces a test makes
};

uint8_t At(const Surface& s, int32_t x, int32_t y) {
    return s.surface->pixels[y * s.surface->pitch + x];
}
} // namespace

TEST_F(Surfaces, ANewSurfaceIsIndexZeroEverywhereWithItsKeyAndKind) {
    Surface& s = made.Add();
    ASSERT_TRUE(DDCreateSurface(&s, 7, 5, 1, MEMORY_SYSTEM));
    EXPECT_EQ(s.width, 7);
    EXPECT_EQ(s.height, 5);
    EXPECT_EQ(s.memoryKind, MEMORY_SYSTEM);
    EXPECT_TRUE(s.surface->colorKeyed);
    EXPECT_GE(s.surface->pitch, 7);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x)
            EXPECT_EQ(At(s, x, y), 0);
    Surface& opaque = made.Add();
    ASSERT_TRUE(DDCreateSurface(&opaque, 4, 4, 0, MEMORY_VIDEO));
    EXPECT_FALSE(opaque.surface->colorKeyed);
    DDReleaseSurface(&s);
    DDReleaseSurface(&opaque);
    EXPECT_EQ(s.surface, nullptr);
    EXPECT_EQ(s.width, 7); // emptying keeps the other fields
}

TEST_F(Surfaces, VideoMemoryRefusedFallsBackToSystemMemory) {
    platformSurfaceFaults.refuseVideoMemory = true;
    Surface& s = made.Add();
    ASSERT_TRUE(DDCreateSurface(&s, 8, 8, 0, MEMORY_VIDEO));
    EXPECT_EQ(s.memoryKind, MEMORY_SYSTEM);

    // Loaded from a file, the slot still records the kind it asked for, so it would be reloaded.
    WriteFileBytes("a.bmp", MakeBmp(8, 8, RampPixels(8, 8)));
    Surface& loaded = made.Add();
    EXPECT_EQ(DDLoadBitmapSurface(&loaded, "a.bmp", 0, 8, MEMORY_VIDEO), DISPLAY_OK);
    EXPECT_EQ(loaded.memoryKind, MEMORY_VIDEO);
    EXPECT_EQ(loaded.surface->placement, MEMORY_SYSTEM);

    platformSurfaceFaults.refuseSystemMemory = true;
    Surface& none = made.Add();
    EXPECT_FALSE(DDCreateSurface(&none, 8, 8, 0, MEMORY_VIDEO));
    EXPECT_EQ(DDLoadBitmapSurface(&none, "a.bmp", 0, 8, MEMORY_VIDEO), CREATESURFACE_ERR);
    EXPECT_EQ(none.surface, nullptr);
    DDReleaseSurface(&s);
    DDReleaseSurface(&loaded);
}

TEST_F(Surfaces, AColourKeyThatCannotBeSetFailsWithoutLeaking) {
    platformSurfaceFaults.refuseColorKey = true;
    const int32_t live = PlatformLiveSurfaceCount();
    Surface& s = made.Add();
    EXPECT_FALSE(DDCreateSurface(&s, 8, 8, 1, MEMORY_VIDEO));
    EXPECT_EQ(s.surface, nullptr);
    EXPECT_EQ(PlatformLiveSurfaceCount(), live);
}

TEST_F(Surfaces, LoadingABitmapFillsTheSlotTopRowFirst) {
    std::vector<uint8_t> pixels = RampPixels(5, 3);
    WriteFileBytes(ASSET_MAPCHIP, MakeBmp(5, 3, pixels));
    ASSERT_TRUE(DDLoadTableSurface(SURFACE_MAPCHIP));
    const Surface& s = surfaceTable[SURFACE_MAPCHIP];
    EXPECT_EQ(s.width, 5);
    EXPECT_EQ(s.height, 3);
    EXPECT_STREQ(s.fileName, ASSET_MAPCHIP);
    EXPECT_FALSE(s.surface->colorKeyed);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(At(s, x, y), pixels[static_cast<size_t>(y * 5 + x)]);
    EXPECT_TRUE(surfaceTable[SURFACE_MAPCHIP].surface != nullptr);
}

TEST_F(Surfaces, ABadFileLeavesTheRecordUntouched) {
    WriteFileBytes("good.bmp", MakeBmp(4, 4, RampPixels(4, 4)));
    Surface& s = made.Add();
    ASSERT_EQ(DDLoadBitmapSurface(&s, "good.bmp", 1, 8, MEMORY_VIDEO), DISPLAY_OK);
    const Surface before = s;

    auto truncated = MakeBmp(6, 6, RampPixels(6, 6));
    truncated.resize(truncated.size() - 3);
    WriteFileBytes("short.bmp", truncated);
    BmpOptions rle;
    rle.compression = 1;
    WriteFileBytes("rle.bmp", MakeBmp(6, 6, RampPixels(6, 6), rle));
    for (const char* path : {"missing.bmp", "short.bmp", "rle.bmp"}) {
        TraceCapture trace;
        const DisplayError error = DDLoadBitmapSurface(&s, path, 1, 8, MEMORY_VIDEO);
        EXPECT_EQ(error, LOADIMAGE_ERR) << path;
        EXPECT_FALSE(DDCheckSurfaceError(error));
        EXPECT_TRUE(trace.Contains("LOADIMAGE_ERR"));
        EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << path;
    }
    DDReleaseSurface(&s);
}

TEST_F(Surfaces, CheckSurfaceErrorTracesOnlyItsThreeCodes) {
    TraceCapture trace;
    EXPECT_FALSE(DDCheckSurfaceError(CREATESURFACE_ERR));
    EXPECT_FALSE(DDCheckSurfaceError(SETCOLORKEY_ERR));
    EXPECT_TRUE(DDCheckSurfaceError(DISPLAY_OK));
    EXPECT_TRUE(DDCheckSurfaceError(SETDISPLAYMODE_ERR));
    EXPECT_EQ(trace.texts, (std::vector<std::string>{"CREATESURFACE_ERR", "SETCOLORKEY_ERR"}));
}

TEST_F(Surfaces, CopyAndReloadKeepOrRewriteTheFileName) {
    WriteFileBytes("one.bmp", MakeBmp(4, 4, std::vector<uint8_t>(16, 1)));
    WriteFileBytes("two.bmp", MakeBmp(4, 4, std::vector<uint8_t>(16, 2)));
    Surface& s = made.Add();
    ASSERT_TRUE(DDCreateSurface(&s, 4, 4, 0, MEMORY_VIDEO));
    ASSERT_TRUE(DDCopyBitmap(&s, "one.bmp", 8));
    EXPECT_STREQ(s.fileName, "one.bmp");
    EXPECT_EQ(At(s, 3, 3), 1);
    WriteFileBytes("one.bmp", MakeBmp(4, 4, std::vector<uint8_t>(16, 3)));
    ASSERT_TRUE(DDReloadBitmap(&s, 8));
    EXPECT_EQ(At(s, 0, 0), 3);
    EXPECT_STREQ(s.fileName, "one.bmp");
    EXPECT_FALSE(DDCopyBitmap(&s, "nothing.bmp", 8));
    EXPECT_EQ(At(s, 0, 0), 3);

    // A lock that fails copies nothing and still reports success.
    platformSurfaceFaults.refuseLock = true;
    EXPECT_TRUE(DDCopyBitmap(&s, "two.bmp", 8));
    EXPECT_EQ(At(s, 0, 0), 3);
    EXPECT_STREQ(s.fileName, "two.bmp");
    platformSurfaceFaults.refuseLock = false;

    // A file that grew past its surface is refused instead of written out of bounds.
    WriteFileBytes("two.bmp", MakeBmp(9, 9, RampPixels(9, 9)));
    EXPECT_FALSE(DDReloadBitmap(&s, 8));
    EXPECT_EQ(s.width, 4);
    DDReleaseSurface(&s);
}

TEST_F(Surfaces, LockGivesTheWholeSurface) {
    Surface& s = made.Add();
    ASSERT_TRUE(DDCreateSurface(&s, 10, 3, 0, MEMORY_VIDEO));
    SurfaceDesc desc{};
    uint8_t* pixels = nullptr;
    ASSERT_TRUE(DDLockSurface(&s, &desc, &pixels, 8));
    EXPECT_EQ(desc.width, 10);
    EXPECT_EQ(desc.height, 3);
    EXPECT_EQ(pixels, s.surface->pixels);
    EXPECT_EQ(s.surface->lockCount, 1);
    DDUnlockSurface(&s);
    EXPECT_EQ(s.surface->lockCount, 0);
    Surface& empty = made.Add();
    EXPECT_FALSE(DDLockSurface(&empty, &desc, &pixels, 8));
    DDReleaseSurface(&s);
}
