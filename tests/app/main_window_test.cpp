// Whole runs of the program on the headless platform: activation, Esc, Space and the quiet failures.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/failure.h"
#include "game/game_vars.h"
#include "platform/display_device.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "tests/support/generated_assets.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tests/support/trace_capture.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/surface.h"

namespace {
// Exit code of a run stopped by the frame limit; the program itself never returns it.
constexpr int32_t RUNAWAY_EXIT = 99;
uint32_t frameLimit = 0;
void (*presentProbe)(uint32_t presentCount) = nullptr;

void WatchPresents(uint32_t presentCount) {
    if (presentProbe) presentProbe(presentCount);
    if (presentCount == frameLimit) PlatformPostQuitMessage(RUNAWAY_EXIT);
}

// A run that should have ended quits after `limit` frames with RUNAWAY_EXIT, so a fault fails the test
// instead of hanging it. The probe, if any, sees every present first.
void LimitFrames(uint32_t limit, void (*probe)(uint32_t) = nullptr) {
    frameLimit = limit;
    presentProbe = probe;
    HeadlessSetPresentHook(WatchPresents);
}

class Program : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        WriteStartupAssets();
    }
    void TearDown() override { ResetGameProcess(); }
    int32_t Run() { return WinMain(nullptr, nullptr, "", SW_SHOWNORMAL); }
    void ExpectShutDown() {
        EXPECT_FALSE(PlatformDisplayExists());
        EXPECT_EQ(PlatformLiveSurfaceCount(), 0);
        EXPECT_TRUE(HeadlessMessageBoxes().empty()); // everything was released: no leak warning
    }
    ScopedWorkDir dir;
};
} // namespace

TEST_F(Program, EscEndsTheRunWithExitCodeZeroAfterShutDown) {
    HeadlessScheduleKeyDown(3, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(HeadlessPresentCount(), 3u);
    EXPECT_FALSE(HeadlessClosedForIdle());
    EXPECT_FALSE(HeadlessCursorVisible());
    ExpectShutDown();
}

TEST_F(Program, EscDuringTheGameEndsTheRunWithExitCodeZero) {
    // The game's own asset tree in place of the start-up minimum, so the game scene can start its stage
    // whatever it loads.
    std::string error;
    ASSERT_TRUE(CopyGeneratedAssets(&error)) << error;
    stage = 1; // as the title leaves them when it starts a game
    lives = 2;
    currentScene = SCENE_GAME;
    LimitFrames(100);
    HeadlessScheduleKeyDown(2, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(HeadlessPresentCount(), 2u);
    EXPECT_FALSE(HeadlessClosedForIdle());
    ExpectShutDown();
}

TEST_F(Program, NoFrameRunsUntilTheApplicationIsActive) {
    HeadlessSetStartActive(false);
    HeadlessScheduleKeyDown(0, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(HeadlessPresentCount(), 0u);

    ResetGameProcess();
    HeadlessSetStartActive(false);
    HeadlessScheduleMessage(0, WM_ACTIVATEAPP, 1, 0);
    HeadlessScheduleKeyDown(2, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(HeadlessPresentCount(), 2u);
}

TEST_F(Program, DeactivationStopsFramesAtOnce) {
    HeadlessScheduleMessage(2, WM_ACTIVATEAPP, 0, 0);
    HeadlessScheduleKeyDown(10, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 0);
    // The Esc scheduled for frame 10 arrives while waiting, so frames stopped at 2.
    EXPECT_EQ(HeadlessPresentCount(), 2u);
}

namespace {
// What the first frame after reactivation showed, seen from its present.
struct ReactivationProbe {
    uint32_t clockAtReturn = 0; // the virtual clock once the inactive stretch is over
    uint32_t presentTimes[6] = {};
    bool textLostWhenShown = true;
    bool primaryLostWhenShown = true;
    uint8_t textPixelWhenShown = 0xEE;
    uint8_t shownEntry250Green = 0;
};
ReactivationProbe reactivation;

// Presents 1 and 2 are frames, 3 is the repaint while inactive, 4 the first frame after reactivation.
void ProbeReactivation(uint32_t presentCount) {
    if (presentCount < 6) reactivation.presentTimes[presentCount] = HeadlessClock();
    Surface& text = surfaceTable[SURFACE_TEXT];
    if (presentCount == 3) {
        // While inactive the display takes the surfaces away, and a second passes.
        std::memset(text.surface->pixels, 0xEE, static_cast<size_t>(text.surface->pitch) * 2);
        text.surface->lost = true;
        primarySurface.surface->lost = true;
        workPalette[250] = PaletteEntry{11, 22, 33, PC_RESERVED};
        HeadlessSetClock(HeadlessClock() + 1000);
        reactivation.clockAtReturn = HeadlessClock();
    } else if (presentCount == 4) {
        reactivation.textLostWhenShown = text.surface->lost;
        reactivation.primaryLostWhenShown = primarySurface.surface->lost;
        reactivation.textPixelWhenShown = text.surface->pixels[text.surface->pitch + 3];
        reactivation.shownEntry250Green = HeadlessFramePalette()[250].green;
    }
}
} // namespace

TEST_F(Program, TheFirstFrameAfterReactivationRestoresAndDoesNotWait) {
    reactivation = ReactivationProbe{};
    currentScene = 7; // no scene: only the frame's own steps run
    LimitFrames(100, ProbeReactivation);
    HeadlessScheduleMessage(2, WM_ACTIVATEAPP, 0, 0);
    // Both arrive while the program waits: a repaint of the inactive window, then the activation.
    HeadlessScheduleMessage(3, WM_PAINT, 0, 0);
    HeadlessScheduleMessage(3, WM_ACTIVATEAPP, 1, 0);
    HeadlessScheduleKeyDown(5, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(HeadlessPresentCount(), 5u);
    EXPECT_EQ(reactivation.presentTimes[2] - reactivation.presentTimes[1], 11u);
    // The first frame back opens at once: its deadline passed while the program was inactive.
    EXPECT_LT(reactivation.presentTimes[4] - reactivation.clockAtReturn, 11u);
    EXPECT_EQ(reactivation.presentTimes[5] - reactivation.presentTimes[4], 11u);
    // By the time it was shown, the lost surfaces were back and reloaded (the text sheet is the ramp
    // 0, 1, 2, ... in 16-pixel rows, so row 1, column 3 holds 19), and all 256 entries went up.
    EXPECT_FALSE(reactivation.primaryLostWhenShown);
    EXPECT_FALSE(reactivation.textLostWhenShown);
    EXPECT_EQ(reactivation.textPixelWhenShown, 19);
    EXPECT_EQ(reactivation.shownEntry250Green, 22);
}

namespace {
// The buffers the pause key played, in order.
std::vector<int32_t> PausePlays() {
    std::vector<int32_t> played;
    for (const HeadlessAudioCall& call : HeadlessAudioCalls())
        if (call.op == AUDIO_PLAY) played.push_back(call.buffer);
    return played;
}
} // namespace

TEST_F(Program, SpaceTogglesThePauseWithItsSoundOnlyDuringTheGame) {
    std::string error;
    ASSERT_TRUE(CopyGeneratedAssets(&error)) << error; // the game scene loads a real stage
    LimitFrames(100);
    HeadlessScheduleKeyDown(1, VK_SPACE, false);
    HeadlessScheduleKeyDown(2, VK_ESCAPE, false);
    Run();
    EXPECT_EQ(paused, 0);
    EXPECT_TRUE(PausePlays().empty());

    ResetGameProcess();
    LimitFrames(100);
    currentScene = SCENE_GAME;
    HeadlessScheduleKeyDown(1, VK_SPACE, false);
    HeadlessScheduleKeyDown(2, VK_ESCAPE, false);
    Run();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(PausePlays().size(), 1u);

    // Auto-repeats count too: four key-downs unpause again, each with the sound, round-robin over the
    // pause effect's two copies.
    ResetGameProcess();
    LimitFrames(100);
    currentScene = SCENE_GAME;
    HeadlessScheduleKeyDown(1, VK_SPACE, false);
    for (int i = 0; i < 3; ++i)
        HeadlessScheduleKeyDown(1, VK_SPACE, true);
    HeadlessScheduleKeyDown(2, VK_ESCAPE, false);
    Run();
    EXPECT_EQ(paused, 0);
    const std::vector<int32_t> played = PausePlays();
    ASSERT_EQ(played.size(), 4u);
    EXPECT_NE(played[0], played[1]);
    EXPECT_EQ(played[0], played[2]);
    EXPECT_EQ(played[1], played[3]);
}

// A failed run ends with exit code 1 and one plain line naming what failed; the trace texts stay as they
// were. Each case removes or refuses one thing the start-up needs.
TEST_F(Program, AFailedStartUpEndsWithExitCodeOneAndSaysWhichFileFailed) {
    std::filesystem::remove(Utf8Path("bmp/アクセサリ.bmp"));
    TraceCapture trace;
    HeadlessScheduleKeyDown(1, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(HeadlessPresentCount(), 0u);
    EXPECT_TRUE(trace.Contains("DDLoadPaletteFromFile失敗"));
    EXPECT_STREQ(FailureLine(),
                 ("quillmarsh: cannot read the palette picture bmp/アクセサリ.bmp: the file is "
                  "missing (the game looks for it in the folder it was started from, " +
                  dir.path.string() + ")")
                     .c_str());
    ExpectShutDown();
}

TEST_F(Program, NoSoundDeviceEndsTheStartUp) {
    platformAudioFaults.refuseDevice = true;
    currentScene = 7; // should a frame run after all, it needs no scene assets
    LimitFrames(100);
    HeadlessScheduleKeyDown(3, VK_ESCAPE, false);
    TraceCapture trace;
    Run(); // the exit code of a failed start-up is not this test's business
    EXPECT_EQ(HeadlessPresentCount(), 0u);
    EXPECT_TRUE(trace.Contains("DIRECTSOUNDCREATE_ERR!"));
    EXPECT_TRUE(trace.Contains("DS_Init失敗！"));
    EXPECT_EQ(HeadlessAudioBufferCount(), 0); // no sound group was made
    ExpectShutDown();
}

TEST_F(Program, AMissingTextSheetIsReportedAsALoadFailureWithItsPath) {
    std::filesystem::remove(Utf8Path("bmp/文字.bmp"));
    TraceCapture trace;
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(trace.Contains("LOADIMAGE_ERR"));
    EXPECT_FALSE(trace.Contains("DDLoadPaletteFromFile成功"));
    EXPECT_EQ(
        std::string(NotedFailure()).rfind("cannot read the picture bmp/文字.bmp: the file is missing", 0), 0u)
        << NotedFailure();
    ExpectShutDown();
}

TEST_F(Program, ARefusedPictureOrSoundIsNamedAsDamaged) {
    WriteFileBytes("bmp\\文字.bmp", {'B', 'M', 0, 0});
    EXPECT_EQ(Run(), 1);
    EXPECT_STREQ(
        NotedFailure(),
        "cannot read the picture bmp/文字.bmp: the file is damaged or not the kind of file the game needs");

    ResetGameProcess();
    WriteStartupAssets();
    std::filesystem::remove(Utf8Path("wave/開く.wav"));
    TraceCapture trace;
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(trace.Contains("wave\\開く.wav読み込み失敗！"));
    EXPECT_EQ(
        std::string(NotedFailure()).rfind("cannot read the sound wave/開く.wav: the file is missing", 0), 0u)
        << NotedFailure();
}

TEST_F(Program, NoDisplayOrNoSoundDeviceEndsWithExitCodeOne) {
    platformDisplayFaults.refuseCreate = true;
    TraceCapture trace;
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(trace.Contains("CREATEEX_ERR"));
    EXPECT_EQ(HeadlessPresentCount(), 0u);
    EXPECT_STREQ(NotedFailure(), "no display to show the game on");

    ResetGameProcess();
    platformAudioFaults.refuseDevice = true;
    EXPECT_EQ(Run(), 1);
    EXPECT_STREQ(NotedFailure(), "no sound device could be opened");
    ExpectShutDown();
}

namespace {
// After the second frame the display loses its surfaces while the text sheet has gone from the disk.
void LoseSurfacesWithoutTheTextSheet(uint32_t presents) {
    if (presents != 2) return;
    std::filesystem::remove(Utf8Path("bmp/文字.bmp"));
    primarySurface.surface->lost = true;
    surfaceTable[SURFACE_TEXT].surface->lost = true;
}
} // namespace

TEST_F(Program, AFailedFrameEndsWithExitCodeOneAndQuittingStillWithZero) {
    HeadlessSetPresentHook(LoseSurfacesWithoutTheTextSheet);
    HeadlessScheduleKeyDown(10, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(HeadlessPresentCount(), 2u);
    EXPECT_EQ(std::string(NotedFailure()).rfind("cannot read the picture bmp/文字.bmp", 0), 0u)
        << NotedFailure();
    ExpectShutDown();

    // A new run forgets the old reason: the player's Esc ends it with 0 and nothing to report.
    ResetGameProcess();
    WriteStartupAssets();
    HeadlessScheduleKeyDown(2, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(NotedFailure(), nullptr);
}

TEST_F(Program, OutOfMemoryBoxHasItsTextAndCaption) {
    ShowOutOfMemory();
    ASSERT_EQ(HeadlessMessageBoxes().size(), 1u);
    EXPECT_EQ(HeadlessMessageBoxes()[0], "エラー|メモリ不足！再起動してください！");
}

TEST_F(Program, AStageThatCannotStartEndsTheGameWithExitCodeOneNamingTheFile) {
    std::string error;
    ASSERT_TRUE(CopyGeneratedAssets(&error)) << error;
    std::filesystem::remove(Utf8Path("data/ステージ２.bgd"));
    currentScene = SCENE_GAME;
    stage = 7; // plays the second file
    lives = 2;
    TraceCapture trace;
    HeadlessScheduleKeyDown(5, VK_ESCAPE, false);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(HeadlessPresentCount(), 0u);
    EXPECT_TRUE(trace.Contains("LoadMapData失敗！"));
    EXPECT_NE(std::string(FailureLine()).find("data/ステージ２.bgd: the file is missing"), std::string::npos)
        << FailureLine();
    ExpectShutDown();
}
