// Display set-up with every error path, the mode fallback, the copy/flip choice, presenting and release.
#include <gtest/gtest.h>

#include <cstring>

#include "app/main_window.h"
#include "platform/display_device.h"
#include "platform/headless/headless.h"
#include "tests/support/game_fixture.h"
#include "tests/support/owned_surfaces.h"
#include "tests/support/reset.h"
#include "tests/support/trace_capture.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/palette.h"

namespace {
class Display : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        CreateTestWindow();
    }
    void TearDown() override {
        made.ReleaseAll();
        DDRelease();
        ResetGameProcess();
    }
    OwnedSurfaces made; // the surfaces a test makes beside the display's
};
} // namespace

TEST_F(Display, EachFailingStepReportsItsCodeAndName) {
    struct Case {
        bool PlatformDisplayFaults::*fault;
        DisplayError code;
        const char* name;
    };
    const Case cases[] = {
        {&PlatformDisplayFaults::refuseCreate, CREATEEX_ERR, "CREATEEX_ERR"},
        {&PlatformDisplayFaults::refuseExclusive, SETCOOPLEVEL_ERR, "SETCOOPLEVEL_ERR"},
        {&PlatformDisplayFaults::refuseAllModes, SETDISPLAYMODE_ERR, "SETDISPLAYMODE_ERR"},
        {&PlatformDisplayFaults::refusePrimary, CREATESURFACE_ERR, "CREATESURFACE_ERR"},
        {&PlatformDisplayFaults::refuseBackBuffer, GETATTACHEDSURFACE_ERR, "GETATTACHEDSURFACE_ERR"},
        {&PlatformDisplayFaults::refusePalette, CREATEPALETTE_ERR, "CREATEPALETTE_ERR"},
        {&PlatformDisplayFaults::refuseAttachPalette, SETPALETTE_ERR, "SETPALETTE_ERR"},
    };
    for (const Case& c : cases) {
        DDRelease();
        ResetGameProcess();
        CreateTestWindow();
        platformDisplayFaults.*c.fault = true;
        EXPECT_EQ(DDInitFullScreen(mainWindow, displayModes, 0), c.code) << c.name;
        DDRelease();
        EXPECT_FALSE(PlatformDisplayExists());
        EXPECT_EQ(PlatformLiveSurfaceCount(), 0) << c.name;
        EXPECT_TRUE(HeadlessMessageBoxes().empty()) << c.name;

        ResetGameProcess();
        CreateTestWindow();
        platformDisplayFaults.*c.fault = true;
        TraceCapture trace;
        EXPECT_FALSE(DDSetDisplay(mainWindow, displayModes, 0, 0));
        EXPECT_EQ(trace.texts, std::vector<std::string>{c.name});
    }
}

TEST_F(Display, AFailedBackBufferLeavesTheDeviceAndPrimaryForTheRelease) {
    platformDisplayFaults.refuseBackBuffer = true;
    ASSERT_EQ(DDInitFullScreen(mainWindow, displayModes, 0), GETATTACHEDSURFACE_ERR);
    // Nothing is undone on the spot: the release at shut-down takes it all down.
    EXPECT_TRUE(PlatformDisplayExists());
    EXPECT_TRUE(PlatformDisplayHasPrimary());
    EXPECT_NE(primarySurface.surface, nullptr);
    EXPECT_EQ(backBuffer.surface, nullptr);
    EXPECT_FALSE(PlatformDisplayHasPalette());
    DDRelease();
    EXPECT_FALSE(PlatformDisplayExists());
    EXPECT_FALSE(PlatformDisplayHasPrimary());
    EXPECT_EQ(primarySurface.surface, nullptr);
    EXPECT_EQ(PlatformLiveSurfaceCount(), 0);
    EXPECT_TRUE(HeadlessMessageBoxes().empty());
}

TEST_F(Display, CheckDisplayErrorKnowsOnlyItsOwnCodes) {
    TraceCapture trace;
    for (DisplayError code : {CLIPPER_ERR, SETHWND_ERR, SETCLIPPER_ERR})
        EXPECT_FALSE(DDCheckDisplayError(code));
    for (DisplayError code : {DISPLAY_OK, LOADIMAGE_ERR, SETCOLORKEY_ERR})
        EXPECT_TRUE(DDCheckDisplayError(code));
    EXPECT_EQ(trace.texts, (std::vector<std::string>{"CLIPPER_ERR", "SETHWND_ERR", "SETCLIPPER_ERR"}));
}

TEST_F(Display, SmallModeFirstAndAFallbackTo640When320IsRefused) {
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    EXPECT_EQ(primarySurface.width, 320);
    EXPECT_EQ(backBuffer.height, 240);
    EXPECT_TRUE(HeadlessFullScreenStyle());
    EXPECT_FALSE(HeadlessCursorVisible());
    // The placeholder palette until the palette file is loaded.
    PaletteEntry entries[256];
    PlatformDisplayGetEntries(entries);
    EXPECT_EQ(entries[0].blue, 255);
    EXPECT_EQ(entries[0].red, 0);
    EXPECT_EQ(entries[77].red, 77);
    EXPECT_EQ(entries[77].green, 77);
    EXPECT_EQ(entries[77].blue, 0);
    DDRelease();

    displayModes[0].width = 319; // what the large-mode setting does
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    EXPECT_EQ(primarySurface.width, 640);
    EXPECT_EQ(primarySurface.height, 480);
    EXPECT_EQ(backBuffer.width, 640);
}

TEST_F(Display, CopyOrFlipFollowsTheRefreshRate) {
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    const struct {
        uint32_t hz;
        bool known;
        int32_t copy;
    } cases[] = {{60, true, 1},  {81, true, 1}, {82, true, 0}, {85, true, 0},
                 {144, true, 0}, {0, true, 1},  {85, false, 1}};
    for (const auto& c : cases) {
        HeadlessSetRefreshRate(c.hz, c.known);
        DDChoosePresentation();
        EXPECT_EQ(copyPresent, c.copy) << c.hz << (c.known ? "" : " unknown");
    }
    DDRelease();
    displayModes[0].width = 319;
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    HeadlessSetRefreshRate(120, true);
    DDChoosePresentation();
    EXPECT_EQ(copyPresent, 1); // only the 320 mode ever flips
}

TEST_F(Display, CopyingShowsTheBackBufferAndFlippingRotatesTheChain) {
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    copyPresent = 1;
    DDFillRect(&backBuffer, 0, 0, 320, 240, 0);
    DDFillRect(&backBuffer, 10, 20, 5, 5, 42);
    DDPresent();
    EXPECT_EQ(HeadlessFlipCount(), 0u);
    EXPECT_EQ(HeadlessFrame()[20 * 320 + 10], 42);
    EXPECT_EQ(HeadlessFrame()[0], 0);

    copyPresent = 0;
    DDFillRect(&backBuffer, 0, 0, 320, 240, 1);
    DDPresent();
    EXPECT_EQ(HeadlessFlipCount(), 1u);
    EXPECT_EQ(HeadlessFrame()[0], 1);
    // The back buffer now holds another buffer of the chain; a full redraw shows on the next flip.
    DDFillRect(&backBuffer, 0, 0, 320, 240, 2);
    DDPresent();
    EXPECT_EQ(HeadlessFrame()[100], 2);
    DDFillRect(&backBuffer, 0, 0, 320, 240, 3);
    DDPresent();
    EXPECT_EQ(HeadlessFrame()[100], 3);
}

TEST_F(Display, TheLargeModeDoublesTheTopLeftQuarterOfTheBackBuffer) {
    displayModes[0].width = 319;
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    DDChoosePresentation();
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x)
            backBuffer.surface->pixels[y * backBuffer.surface->pitch + x] =
                static_cast<uint8_t>((x ^ y) & 0xFF);
    DDPresent();
    ASSERT_EQ(HeadlessFullFrameWidth(), 640);
    const auto& full = HeadlessFullFrame();
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x)
            ASSERT_EQ(full[static_cast<size_t>(y * 640 + x)],
                      static_cast<uint8_t>(((x / 2) ^ (y / 2)) & 0xFF));
}

TEST_F(Display, ReleaseWarnsOnlyWhenSomethingStillHoldsTheDevice) {
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    ASSERT_TRUE(DDCreateSurface(&surfaceTable[SURFACE_WORK], 160, 160, 1, MEMORY_SYSTEM));
    DDRelease(); // table surfaces are released first, so nothing is left
    EXPECT_TRUE(HeadlessMessageBoxes().empty());
    EXPECT_EQ(surfaceTable[SURFACE_WORK].surface, nullptr);

    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    Surface& stray = made.Add();
    ASSERT_TRUE(DDCreateSurface(&stray, 8, 8, 0, MEMORY_VIDEO));
    DDRelease();
    ASSERT_EQ(HeadlessMessageBoxes().size(), 1u);
    EXPECT_EQ(HeadlessMessageBoxes()[0], "DirectDraw|解放漏れがあります");
}

TEST_F(Display, RestoreReloadsOnlyVideoMemorySlotsInOrderAndStopsAtAFailure) {
    ScopedWorkDir dir;
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    WriteFileBytes("a.bmp", MakeBmp(4, 4, std::vector<uint8_t>(16, 5)));
    ASSERT_EQ(DDLoadBitmapSurface(&surfaceTable[SURFACE_MAPCHIP], "a.bmp", 0, 8, MEMORY_VIDEO), DISPLAY_OK);
    ASSERT_EQ(DDLoadBitmapSurface(&surfaceTable[SURFACE_ENEMY], "a.bmp", 1, 8, MEMORY_SYSTEM), DISPLAY_OK);
    ASSERT_EQ(DDLoadBitmapSurface(&surfaceTable[SURFACE_MASK], "a.bmp", 1, 8, MEMORY_VIDEO), DISPLAY_OK);
    for (SurfaceId id : {SURFACE_MAPCHIP, SURFACE_ENEMY, SURFACE_MASK})
        surfaceTable[id].surface->lost = true;
    primarySurface.surface->lost = true;
    ASSERT_TRUE(DDRestoreSurfaces());
    EXPECT_EQ(surfaceTable[SURFACE_MAPCHIP].surface->pixels[0], 5);
    EXPECT_FALSE(surfaceTable[SURFACE_ENEMY].surface->lost);
    EXPECT_NE(surfaceTable[SURFACE_ENEMY].surface->pixels[0], 5); // restored, not reloaded
    EXPECT_EQ(surfaceTable[SURFACE_MASK].surface->pixels[0], 5);

    // A reload that fails stops the walk: later slots stay lost.
    std::strcpy(surfaceTable[SURFACE_MAPCHIP].fileName, "gone.bmp");
    for (SurfaceId id : {SURFACE_MAPCHIP, SURFACE_MASK})
        surfaceTable[id].surface->lost = true;
    primarySurface.surface->lost = true;
    EXPECT_FALSE(DDRestoreSurfaces());
    EXPECT_TRUE(surfaceTable[SURFACE_MASK].surface->lost);
}
