// The title scene frame by frame: fade-in, the wave and its skip, the one-shot presses, the start of a
// game, the fade-out and the hand-over, and the record digits.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>

#include "app/frame_loop.h"
#include "app/main_window.h"
#include "base/asset_paths.h"
#include "game/game_vars.h"
#include "game/title_scene.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_input.h"
#include "sound/sound_group.h"
#include "tests/game/test_sheets.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/trace_capture.h"
#include "video/blit.h"
#include "video/degree_sine.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/surface.h"

namespace {
constexpr int32_t FADE_FRAMES = 45;

class Title : public StartedGame {
  protected:
    void SetUp() override {
        StartedGame::SetUp();
        WriteFileBytes(ASSET_PARTS,
                       MakeBmp(sheets::PARTS_WIDTH, sheets::PARTS_HEIGHT, sheets::PartsPixels()));
        WriteFileBytes(ASSET_TITLE, MakeBmp(160, 160, sheets::TitlePixels()));
    }

    static void Frames(int32_t count) {
        for (int32_t i = 0; i < count; ++i)
            ASSERT_TRUE(RunFrame());
    }
    // One frame with exactly these keys held.
    static void FrameHolding(std::initializer_list<uintptr_t> keys) {
        HeadlessReleaseAllKeys();
        for (uintptr_t key : keys)
            HeadlessSetKey(key, true);
        ASSERT_TRUE(RunFrame());
    }
    static uint8_t Shown(int32_t x, int32_t y) { return HeadlessFrame()[y * 320 + x]; }
    static int32_t CountShown(uint8_t index) {
        int32_t n = 0;
        for (int32_t i = 0; i < 320 * 240; ++i)
            n += HeadlessFrame()[i] == index;
        return n;
    }
    static int32_t DoorPlays() {
        const int32_t door = HeadlessAudioBufferId(soundGroups[SND_DOOR].buffers[0]);
        int32_t plays = 0;
        for (const HeadlessAudioCall& call : HeadlessAudioCalls())
            if (call.op == AUDIO_PLAY && call.buffer == door) ++plays;
        return plays;
    }
    static int32_t AllPlays() {
        int32_t plays = 0;
        for (const HeadlessAudioCall& call : HeadlessAudioCalls())
            plays += call.op == AUDIO_PLAY;
        return plays;
    }
    // Every row of the shown text line starts where a wave of this amplitude at this phase puts it, and
    // is the line's full 128 pixels.
    static void ExpectLine(int32_t amplitude, int32_t phase) {
        for (int32_t r = 0; r < 32; ++r) {
            // The game's own sine of whole degrees, so the check holds on every platform.
            const double angle = (phase + (r + 1) * 11) * 3.0;
            const int32_t left = 96 + static_cast<int32_t>(DegreeSine(angle) * amplitude);
            int32_t first = -1, length = 0;
            for (int32_t x = 0; x < 320; ++x) {
                if (Shown(x, 40 + r) != sheets::TEXT_LINE) continue;
                if (first < 0) first = x;
                ++length;
            }
            ASSERT_EQ(first, left) << "row " << r << ", amplitude " << amplitude;
            ASSERT_EQ(length, 128) << "row " << r;
        }
    }
    // Fade-in done and the wave skipped, with no key held afterwards.
    static void ToWait() {
        Frames(FADE_FRAMES);
        FrameHolding({VK_Z});
        FrameHolding({});
        ASSERT_EQ(titleState, TITLE_WAIT);
    }
};
} // namespace

TEST_F(Title, FadesInOver45FramesShowingOnlyThePicture) {
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(titlePhase, PHASE_RUN);
    EXPECT_EQ(titleState, TITLE_FADE_IN);
    EXPECT_EQ(titleTimer, 300);
    EXPECT_EQ(paletteFadeActive, 1);
    // The first step is weight trunc(sin 2 deg x 256) = 8 over the darkening entries only.
    EXPECT_EQ(HeadlessFramePalette()[200].red, (200 * 8) >> 8);
    EXPECT_EQ(HeadlessFramePalette()[217].red, basePalette[217].red);
    EXPECT_EQ(Shown(79, 100), 0);
    EXPECT_EQ(Shown(80, 40), sheets::TitleBand(0));
    EXPECT_EQ(Shown(239, 199), sheets::TitleBand(159));
    EXPECT_EQ(Shown(240, 199), 0);
    EXPECT_EQ(CountShown(sheets::TEXT_LINE), 0);
    EXPECT_EQ(CountShown(sheets::RECORD_LABEL), 0);

    Frames(FADE_FRAMES - 2);
    EXPECT_EQ(titleState, TITLE_FADE_IN);
    EXPECT_EQ(paletteFadeActive, 1);
    ASSERT_TRUE(RunFrame()); // the 45th
    EXPECT_EQ(titleState, TITLE_WAVE);
    EXPECT_EQ(paletteFadeActive, 0);
    EXPECT_EQ(workPalette[200].red, basePalette[200].red);
    EXPECT_EQ(CountShown(sheets::TEXT_LINE), 0); // the last fade-in frame still has no line
    EXPECT_EQ(titleTimer, 300);
}

TEST_F(Title, WaveRunsExactly300FramesWithAFallingAmplitude) {
    Frames(FADE_FRAMES);
    int32_t phase = wavePhase;
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(titleTimer, 299);
    ExpectLine(29, phase);
    EXPECT_EQ(CountShown(sheets::RECORD_LABEL), 0);
    Frames(9);
    phase = wavePhase;
    ASSERT_TRUE(RunFrame()); // 11th wave frame: timer 289
    ExpectLine(28, phase);

    Frames(300 - 11 - 11);
    phase = wavePhase;
    ASSERT_TRUE(RunFrame()); // 290th: timer 10, the last frame with amplitude 1
    ExpectLine(1, phase);
    ASSERT_TRUE(RunFrame());
    ExpectLine(0, 0);
    Frames(8);
    EXPECT_EQ(titleState, TITLE_WAVE);
    EXPECT_EQ(titleTimer, 1);
    ASSERT_TRUE(RunFrame()); // the 300th
    EXPECT_EQ(titleState, TITLE_WAIT);
    EXPECT_EQ(titleTimer, 0);
    ExpectLine(0, 0);
    EXPECT_EQ(CountShown(sheets::RECORD_LABEL), 0); // the record first shows in the next frame

    ASSERT_TRUE(RunFrame());
    ExpectLine(0, 0);
    EXPECT_EQ(Shown(80, 168), sheets::RECORD_LABEL);
    EXPECT_EQ(Shown(175, 199), sheets::RECORD_LABEL);
    EXPECT_EQ(titleState, TITLE_WAIT); // nothing pressed: it waits
    EXPECT_EQ(AllPlays(), 0);
}

TEST_F(Title, APressSkipsTheWaveButCannotAlsoStart) {
    Frames(FADE_FRAMES + 10);
    FrameHolding({VK_Z});
    EXPECT_EQ(titleState, TITLE_WAIT);
    EXPECT_EQ(titleTimer, 0);
    ExpectLine(0, 0); // drawn flat at once
    EXPECT_EQ(CountShown(sheets::RECORD_LABEL), 0);
    for (int32_t i = 0; i < 20; ++i)
        FrameHolding({VK_Z});
    EXPECT_EQ(titleState, TITLE_WAIT);
    FrameHolding({});
    FrameHolding({VK_Z});
    EXPECT_EQ(titleState, TITLE_FADE_OUT);
}

TEST_F(Title, AButtonHeldFromBeforeTheTitleIsUsedUpByTheFadeIn) {
    HeadlessSetKey(VK_Z, true);
    Frames(FADE_FRAMES + 100);
    EXPECT_EQ(titleState, TITLE_WAVE);
    EXPECT_EQ(titleTimer, 200);
    FrameHolding({});
    EXPECT_EQ(titleState, TITLE_WAVE);
    FrameHolding({VK_Z});
    EXPECT_EQ(titleState, TITLE_WAIT);
}

TEST_F(Title, OnlyButtonOneAloneSkipsOrStarts) {
    Frames(FADE_FRAMES);
    FrameHolding({VK_X});
    FrameHolding({});
    FrameHolding({VK_LEFT, VK_UP});
    FrameHolding({VK_Z, VK_X}); // both in one frame: buttons 3
    EXPECT_EQ(titleState, TITLE_WAVE);
    FrameHolding({VK_Z}); // X let go, Z still held: the latch waits for both
    EXPECT_EQ(titleState, TITLE_WAVE);
    EXPECT_EQ(titleTimer, 300 - 5);
    FrameHolding({});
    FrameHolding({VK_Z});
    EXPECT_EQ(titleState, TITLE_WAIT);

    FrameHolding({});
    FrameHolding({VK_X});
    FrameHolding({});
    FrameHolding({VK_RIGHT, VK_DOWN});
    FrameHolding({VK_X, VK_Z});
    FrameHolding({VK_Z});
    EXPECT_EQ(titleState, TITLE_WAIT);
    EXPECT_EQ(DoorPlays(), 0);
    FrameHolding({});
    FrameHolding({VK_Z});
    EXPECT_EQ(titleState, TITLE_FADE_OUT);
}

TEST_F(Title, StartingPlaysTheDoorOnceFadesOutAndHandsOverToTheGame) {
    stage = 7;
    lives = -1;
    ToWait();
    FrameHolding({VK_Z});
    EXPECT_EQ(titleState, TITLE_FADE_OUT);
    EXPECT_EQ(stage, 1);
    EXPECT_EQ(lives, 2);
    EXPECT_EQ(paletteFadeActive, 1);
    EXPECT_EQ(DoorPlays(), 1);
    EXPECT_EQ(AllPlays(), 1);
    EXPECT_EQ(HeadlessAudioBuffer(HeadlessAudioBufferId(soundGroups[SND_DOOR].buffers[0])).playFlags, 0u);

    ASSERT_TRUE(RunFrame()); // first fade-out step: weight trunc(sin 88 deg x 256) = 255
    EXPECT_EQ(HeadlessFramePalette()[200].red, (200 * 255) >> 8);
    EXPECT_EQ(CountShown(sheets::TEXT_LINE), 0); // the line is gone, the record stays
    EXPECT_EQ(Shown(80, 168), sheets::RECORD_LABEL);
    EXPECT_EQ(Shown(100, 100), sheets::TitleBand(20));
    Frames(FADE_FRAMES - 2);
    EXPECT_EQ(titlePhase, PHASE_RUN);
    EXPECT_EQ(paletteFadeActive, 1);
    FrameHolding({VK_Z}); // the 45th step; a press now changes nothing
    EXPECT_EQ(titlePhase, PHASE_UNLOAD);
    EXPECT_EQ(paletteFadeActive, 0);
    // The last step clears the flag before the frame would upload it: the screen keeps the 44th step's
    // weight 8, and the game's fade-in takes over from there.
    EXPECT_EQ(workPalette[200].red, 0);
    EXPECT_EQ(HeadlessFramePalette()[200].red, (200 * 8) >> 8);
    EXPECT_EQ(currentScene, SCENE_TITLE);
    EXPECT_EQ(DoorPlays(), 1);

    // The unload frame draws nothing: what was in the back buffer is shown.
    const int32_t liveBefore = PlatformLiveSurfaceCount();
    DDFillRect(&backBuffer, 0, 0, 320, 240, 123);
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(CountShown(123), 320 * 240);
    EXPECT_EQ(currentScene, SCENE_GAME);
    EXPECT_EQ(titlePhase, PHASE_LOAD);
    EXPECT_EQ(surfaceTable[SURFACE_TITLE].surface, nullptr);
    EXPECT_EQ(surfaceTable[SURFACE_PARTS].surface, nullptr);
    EXPECT_EQ(PlatformLiveSurfaceCount(), liveBefore - 2);
    EXPECT_EQ(DoorPlays(), 1);
}

TEST_F(Title, ReturningToTheTitleLoadsAgainAndShowsTheNewRecord) {
    ToWait();
    FrameHolding({VK_Z});
    Frames(FADE_FRAMES + 1);
    ASSERT_EQ(currentScene, SCENE_GAME);
    WriteFileBytes(ASSET_RECORD, {12, 0, 0, 0});
    currentScene = SCENE_TITLE;
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(titlePhase, PHASE_RUN);
    EXPECT_EQ(titleState, TITLE_FADE_IN);
    EXPECT_EQ(titleTimer, 300);
    EXPECT_EQ(bestRecord, 12);
    EXPECT_NE(surfaceTable[SURFACE_TITLE].surface, nullptr);
    EXPECT_EQ(HeadlessFramePalette()[200].red, (200 * 8) >> 8);
}

TEST_F(Title, AMissingBitmapEndsTheProgramWithItsTrace) {
    std::filesystem::remove(Utf8Path("bmp/タイトル.bmp"));
    {
        TraceCapture trace;
        EXPECT_FALSE(TitleScene());
        EXPECT_TRUE(trace.Contains("LOADIMAGE_ERR"));
        EXPECT_EQ(titlePhase, PHASE_LOAD);
        EXPECT_EQ(paletteFadeActive, 0);
        EXPECT_FALSE(RunFrame());
    }
    WriteFileBytes(ASSET_TITLE, MakeBmp(160, 160, sheets::TitlePixels()));
    std::filesystem::remove(Utf8Path("bmp/アクセサリ.bmp"));
    TraceCapture trace;
    EXPECT_FALSE(TitleScene());
    EXPECT_TRUE(trace.Contains("LOADIMAGE_ERR"));
    EXPECT_NE(surfaceTable[SURFACE_TITLE].surface, nullptr);
    EXPECT_EQ(titlePhase, PHASE_LOAD);
}

TEST_F(Title, RecordShowsItsLastTwoDigitsWithoutALeadingZero) {
    struct Case {
        int32_t record;
        int32_t tens; // -1: not drawn
        int32_t units;
    };
    const Case cases[] = {{0, -1, 0},   {9, -1, 9},  {10, 1, 0},  {99, 9, 9},
                          {100, -1, 0}, {123, 2, 3}, {-5, -1, 0}, {INT32_MIN, -1, 0}};
    constexpr uint8_t UNDER = 3;
    const auto at = [](int32_t x, int32_t y) {
        return backBuffer.surface->pixels[y * backBuffer.surface->pitch + x];
    };
    for (const Case& c : cases) {
        const uint32_t v = static_cast<uint32_t>(c.record);
        WriteFileBytes(ASSET_RECORD, {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                      static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)});
        ASSERT_TRUE(LoadTitle());
        ASSERT_EQ(bestRecord, c.record);
        DDFillRect(&backBuffer, 0, 0, 320, 240, UNDER);
        DrawRecord();
        const uint8_t tens = c.tens < 0 ? UNDER : sheets::RecordDigit(c.tens);
        SCOPED_TRACE(c.record);
        EXPECT_EQ(at(80, 168), sheets::RECORD_LABEL);
        EXPECT_EQ(at(175, 199), sheets::RECORD_LABEL);
        EXPECT_EQ(at(191, 180), UNDER);
        // The tens cell, drawn second, covers the left half of the units cell.
        EXPECT_EQ(at(192, 168), tens);
        EXPECT_EQ(at(207, 199), tens);
        EXPECT_EQ(at(208, 168), c.tens < 0 ? sheets::RecordDigit(c.units) : tens);
        EXPECT_EQ(at(223, 199), c.tens < 0 ? sheets::RecordDigit(c.units) : tens);
        EXPECT_EQ(at(224, 168), sheets::RecordDigit(c.units));
        EXPECT_EQ(at(239, 199), sheets::RecordDigit(c.units));
        EXPECT_EQ(at(240, 180), UNDER);
        EXPECT_EQ(at(220, 167), UNDER);
        EXPECT_EQ(at(220, 200), UNDER);
    }
}
