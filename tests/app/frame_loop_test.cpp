// The frame gate and the fixed order of a frame.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/frame_loop.h"
#include "app/main_window.h"
#include "base/asset_paths.h"
#include "input/controls.h"
#include "platform/display_device.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_input.h"
#include "tests/support/game_fixture.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/surface.h"

namespace {
class FrameGate : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        HeadlessSetClockStep(0);
    }
    void TearDown() override { ResetGameProcess(); }
};
} // namespace

TEST_F(FrameGate, OpensEvery11MillisecondsCountedFromTheLastOpening) {
    HeadlessSetClock(1000);
    EXPECT_TRUE(FrameTimer(85)); // the first call opens at once
    EXPECT_EQ(FrameTimerNext(), 1011u);
    HeadlessSetClock(1010);
    EXPECT_FALSE(FrameTimer(85));
    HeadlessSetClock(1011);
    EXPECT_TRUE(FrameTimer(85));
    EXPECT_EQ(FrameTimerNext(), 1022u);
    // A slow frame is not caught up: the next opens at once, the one after 11 ms later.
    HeadlessSetClock(1100);
    EXPECT_TRUE(FrameTimer(85));
    EXPECT_EQ(FrameTimerNext(), 1111u);
    HeadlessSetClock(1101);
    EXPECT_FALSE(FrameTimer(85));
}

TEST_F(FrameGate, RateZeroAlwaysOpensAndKeepsTheDeadline) {
    HeadlessSetClock(100);
    ASSERT_TRUE(FrameTimer(85));
    const uint32_t deadline = FrameTimerNext();
    for (uint32_t t : {101u, 50u, 5000u}) {
        HeadlessSetClock(t);
        EXPECT_TRUE(FrameTimer(0));
        EXPECT_EQ(FrameTimerNext(), deadline);
    }
}

TEST_F(FrameGate, RateZeroOnTheVeryFirstCallSetsTheStartTime) {
    HeadlessSetClock(777);
    EXPECT_TRUE(FrameTimer(0));
    EXPECT_EQ(FrameTimerNext(), 777u);
}

TEST_F(FrameGate, DoesNotStallWhenTheClockWraps) {
    HeadlessSetClock(0xFFFFFFF0u);
    ASSERT_TRUE(FrameTimer(85));
    EXPECT_EQ(FrameTimerNext(), 0xFFFFFFFBu);
    HeadlessSetClock(0xFFFFFFF5u);
    EXPECT_FALSE(FrameTimer(85));
    HeadlessSetClock(2); // wrapped past 2^32, 18 ms after the opening
    EXPECT_TRUE(FrameTimer(85));
    EXPECT_EQ(FrameTimerNext(), 13u);

    // A deadline that itself wraps is not opened early.
    ResetFrameTimer();
    HeadlessSetClock(0xFFFFFFFAu);
    ASSERT_TRUE(FrameTimer(85));
    EXPECT_EQ(FrameTimerNext(), 5u);
    HeadlessSetClock(0xFFFFFFFCu);
    EXPECT_FALSE(FrameTimer(85));
    HeadlessSetClock(4);
    EXPECT_FALSE(FrameTimer(85));
    HeadlessSetClock(5);
    EXPECT_TRUE(FrameTimer(85));
}

namespace {
std::vector<uint32_t> presentTimes;
void RecordPresentTime(uint32_t) {
    presentTimes.push_back(HeadlessClock());
}
} // namespace

using Frame = StartedGame;

TEST_F(Frame, BusyWaitRunsFramesElevenVirtualMillisecondsApart) {
    presentTimes.clear();
    HeadlessSetPresentHook(RecordPresentTime);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(RunFrame());
    HeadlessSetPresentHook(nullptr);
    ASSERT_EQ(presentTimes.size(), 4u);
    for (size_t i = 1; i < presentTimes.size(); ++i)
        EXPECT_EQ(presentTimes[i] - presentTimes[i - 1], 11u);
}

TEST_F(Frame, PresentsWhatTheSceneDrewThisFrame) {
    DDFillRect(&backBuffer, 0, 0, 320, 240, 77);
    ASSERT_TRUE(RunFrame());
    // The title clears to index 0 and copies its 160 x 160 ramp picture to (80, 40).
    EXPECT_EQ(HeadlessFrame()[0], 0);
    EXPECT_EQ(HeadlessFrame()[40 * 320 + 80 + 17], 17);
    EXPECT_EQ(HeadlessFrame()[199 * 320 + 239], (159 * 160 + 159) % 256);
    EXPECT_EQ(HeadlessFrame()[239 * 320 + 319], 0);
}

TEST_F(Frame, AnUnknownSceneRunsNothingButStillPresents) {
    currentScene = 7;
    DDFillRect(&backBuffer, 0, 0, 320, 240, 9);
    const uint32_t before = HeadlessPresentCount();
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(HeadlessPresentCount(), before + 1);
    for (int i = 0; i < 320 * 240; ++i)
        ASSERT_EQ(HeadlessFrame()[i], 9);
}

TEST_F(Frame, AnUnknownSceneSkipsOnlyTheScene) {
    currentScene = 7;
    presentTimes.clear();
    HeadlessSetPresentHook(RecordPresentTime);
    // Frame 1: lost surfaces are restored and the keyboard is sampled.
    Surface& text = surfaceTable[SURFACE_TEXT];
    std::memset(text.surface->pixels, 0xEE, static_cast<size_t>(text.surface->pitch) * 2);
    text.surface->lost = true;
    primarySurface.surface->lost = true;
    HeadlessSetKey(VK_LEFT, true);
    ASSERT_TRUE(RunFrame());
    EXPECT_FALSE(primarySurface.surface->lost);
    EXPECT_FALSE(text.surface->lost);
    EXPECT_EQ(text.surface->pixels[text.surface->pitch + 3], 19); // reloaded: the ramp's row 1, column 3
    EXPECT_EQ(inputState.direction, 4);
    EXPECT_EQ(inputState.dirBits, DIR_LEFT);

    // Frame 2: a running fade uploads the darkening entries; the controls follow the keys again.
    HeadlessSetKey(VK_LEFT, false);
    HeadlessSetKey(VK_DOWN, true);
    paletteFadeActive = 1;
    workPalette[5] = PaletteEntry{1, 2, 3, PC_RESERVED};
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(HeadlessFramePalette()[5].green, 2);
    EXPECT_EQ(inputState.direction, 8);

    // Frame 3 waits for the gate like any other.
    ASSERT_TRUE(RunFrame());
    HeadlessSetPresentHook(nullptr);
    ASSERT_EQ(presentTimes.size(), 3u);
    EXPECT_EQ(presentTimes[1] - presentTimes[0], 11u);
    EXPECT_EQ(presentTimes[2] - presentTimes[1], 11u);
}

TEST_F(Frame, UploadsTheDarkeningEntriesOnlyWhileAFadeIsActive) {
    currentScene = 7; // no scene touches the flag: the frame procedure alone decides
    ASSERT_TRUE(RunFrame());
    const PaletteEntry shown5 = HeadlessFramePalette()[5];
    workPalette[5] = PaletteEntry{1, 2, 3, PC_RESERVED};
    workPalette[216] = PaletteEntry{4, 5, 6, PC_RESERVED};
    workPalette[217] = PaletteEntry{7, 8, 9, PC_RESERVED};
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(HeadlessFramePalette()[5].red, shown5.red); // no fade, no upload

    paletteFadeActive = 1;
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(HeadlessFramePalette()[5].red, 1);
    EXPECT_EQ(HeadlessFramePalette()[216].blue, 6);
    EXPECT_EQ(HeadlessFramePalette()[217].red, basePalette[217].red); // only entries 0..216 go up
}

TEST_F(Frame, RestoresLostSurfacesFirstAndReloadsTheirBitmaps) {
    Surface& text = surfaceTable[SURFACE_TEXT];
    ASSERT_NE(text.surface, nullptr);
    const uint8_t expected = text.surface->pixels[text.surface->pitch * 1 + 3]; // row 1, column 3
    std::memset(text.surface->pixels, 0xEE, static_cast<size_t>(text.surface->pitch));
    text.surface->lost = true;
    primarySurface.surface->lost = true;
    workPalette[250] = PaletteEntry{11, 22, 33, PC_RESERVED};
    ASSERT_TRUE(RunFrame());
    EXPECT_FALSE(text.surface->lost);
    EXPECT_FALSE(primarySurface.surface->lost);
    EXPECT_EQ(text.surface->pixels[text.surface->pitch * 1 + 3], expected);
    EXPECT_EQ(text.surface->pixels[0], 0); // reloaded from the file, not left as it was
    // After a restore all 256 entries are uploaded, 217..255 included.
    EXPECT_EQ(HeadlessFramePalette()[250].green, 22);
}

TEST_F(Frame, ALostSurfaceIsNotRestoredWhileThePrimaryIsFine) {
    Surface& text = surfaceTable[SURFACE_TEXT];
    text.surface->lost = true;
    ASSERT_TRUE(RunFrame());
    EXPECT_TRUE(text.surface->lost);
}

TEST_F(Frame, AFailedReloadEndsTheFrameBeforeAnythingIsShown) {
    Surface& text = surfaceTable[SURFACE_TEXT];
    text.surface->lost = true;
    primarySurface.surface->lost = true;
    std::filesystem::remove(Utf8Path("bmp/文字.bmp"));
    const uint32_t before = HeadlessPresentCount();
    EXPECT_FALSE(RunFrame());
    EXPECT_EQ(HeadlessPresentCount(), before);
}

namespace {
// Each frame records when it presented, then takes the listed extra milliseconds of work.
std::vector<uint32_t> frameWork;
size_t frameIndex = 0;
void RecordAndWork(uint32_t) {
    presentTimes.push_back(HeadlessClock());
    const uint32_t work = frameIndex < frameWork.size() ? frameWork[frameIndex] : 0;
    ++frameIndex;
    HeadlessSetClock(HeadlessClock() + work);
}

struct GatedRun {
    std::vector<uint32_t> presents;
    std::vector<uint32_t> wakes;
    uint32_t reads;
};

// Runs one frame per entry of work from a clock just short of its wrap, so deadlines cross it.
GatedRun RunGated(bool lowPower, const std::vector<uint32_t>& work) {
    presentTimes.clear();
    frameWork = work;
    frameIndex = 0;
    HeadlessSetClock(0xFFFFFFE0u);
    ResetFrameTimer();
    SetLowPowerGate(lowPower);
    const uint32_t readsBefore = HeadlessClockReads();
    HeadlessSetPresentHook(RecordAndWork);
    for (size_t i = 0; i < work.size(); ++i)
        EXPECT_TRUE(RunFrame());
    HeadlessSetPresentHook(nullptr);
    SetLowPowerGate(false);
    return GatedRun{presentTimes, HeadlessWakeTimes(), HeadlessClockReads() - readsBefore};
}
} // namespace

TEST_F(Frame, LowPowerGateSleepsMostOfTheWaitAndOpensOnTheSameMilliseconds) {
    // Work of 7 ms leaves 3 to wait (one sleep); 8 leaves exactly the 2 that are spun; 10 ends on the
    // deadline; 15 overruns it, so the next frame opens at once.
    const std::vector<uint32_t> work = {0, 7, 8, 9, 10, 15, 0, 3, 0};
    const GatedRun spinning = RunGated(false, work);
    EXPECT_TRUE(spinning.wakes.empty()); // off, the gate never sleeps
    const GatedRun sleeping = RunGated(true, work);

    ASSERT_EQ(sleeping.presents.size(), work.size());
    EXPECT_EQ(sleeping.presents, spinning.presents);
    std::vector<uint32_t> intervals;
    for (size_t i = 1; i < sleeping.presents.size(); ++i)
        intervals.push_back(sleeping.presents[i] - sleeping.presents[i - 1]);
    EXPECT_EQ(intervals, (std::vector<uint32_t>{11, 11, 11, 11, 11, 16, 11, 11}));

    // One sleep for each frame that left more than 2 ms to wait: after frames 0, 1, 6 and 7. Each ends
    // before the deadline (the opening is one read after the present) with at most 2 ms to spin.
    ASSERT_EQ(sleeping.wakes.size(), 4u);
    const size_t sleptBefore[] = {1, 2, 7, 8};
    for (size_t k = 0; k < 4; ++k) {
        const uint32_t opening = sleeping.presents[sleptBefore[k]] - 1;
        const auto early = static_cast<int32_t>(opening - sleeping.wakes[k]);
        EXPECT_GE(early, 1) << k;
        EXPECT_LE(early, static_cast<int32_t>(LOW_POWER_SPIN_MS)) << k;
    }
    // The point of it: far fewer clock reads spent waiting.
    EXPECT_LT(sleeping.reads * 2, spinning.reads);
}

TEST(LowPowerSetting, SleepsUnlessSetToZero) {
    EXPECT_TRUE(LowPowerGateWanted(nullptr)); // unset: the desktop games sleep between frames
    EXPECT_TRUE(LowPowerGateWanted(""));
    EXPECT_TRUE(LowPowerGateWanted("1"));
    EXPECT_FALSE(LowPowerGateWanted("0")); // the spinning wait, on request
}

namespace {
std::vector<std::pair<char, uint32_t>> observed;
void NoteOpened() {
    observed.emplace_back('o', HeadlessPresentCount());
}
void NotePresented() {
    observed.emplace_back('p', HeadlessPresentCount());
}
} // namespace

TEST_F(Frame, ObserversSeeEachFrameOpenBeforeItsPresentAndPresentedAfter) {
    observed.clear();
    const uint32_t before = HeadlessPresentCount();
    SetFrameObservers(NoteOpened, NotePresented);
    ASSERT_TRUE(RunFrame());
    ASSERT_TRUE(RunFrame());
    SetFrameObservers(nullptr, nullptr);
    ASSERT_TRUE(RunFrame()); // no longer observed
    const std::vector<std::pair<char, uint32_t>> expected = {
        {'o', before}, {'p', before + 1}, {'o', before + 1}, {'p', before + 2}};
    EXPECT_EQ(observed, expected);
}
