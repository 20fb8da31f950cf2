// Whole runs of the program on the headless platform: activation, Esc, Space and the quiet failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/failure.h"
#include "app/main_window.h"
#include "game/game_vars.h"
#include "platform/display.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tests/support/trace_capture.h"
#include "tools/assets/make_assets.h"
#include "video/display.h"
#include "video/surface.h"

namespace {
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
    ASSERT_TRUE(assets::MakeAssets(".", &error)) << error; // the game scene loads a real stage
    HeadlessScheduleKeyDown(1, VK_SPACE, false);
    HeadlessScheduleKeyDown(2, VK_ESCAPE, false);
    Run();
    EXPECT_EQ(paused, 0);
    EXPECT_TRUE(PausePlays().empty());

    ResetGameProcess();
    currentScene = SCENE_GAME;
    HeadlessScheduleKeyDown(1, VK_SPACE, false);
    HeadlessScheduleKeyDown(2, VK_ESCAPE, false);
    Run();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(PausePlays().size(), 1u);

    // Auto-repeats count too: four key-downs unpause again, each with the sound, round-robin over the
    // pause effect's two copies.
    ResetGameProcess();
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
    std::filesystem::remove("bmp/アクセサリ.bmp");
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

TEST_F(Program, AMissingTextSheetIsReportedAsALoadFailureWithItsPath) {
    std::filesystem::remove("bmp/文字.bmp");
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
    std::filesystem::remove("wave/開く.wav");
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
    std::filesystem::remove("bmp/文字.bmp");
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
    ASSERT_TRUE(assets::MakeAssets(".", &error)) << error;
    std::filesystem::remove("data/ステージ２.bgd");
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
