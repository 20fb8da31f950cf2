// The game scene on the real asset tree: stage start and its failures, the states and their timing,
// the light, opening tiles and their odds, the ambient sounds, and what follows a clear or a capture.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/frame_loop.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "base/asset_paths.h"
#include "base/failure.h"
#include "base/random.h"
#include "game/enemy.h"
#include "game/game_scene.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"
#include "game/stage_rules.h"
#include "platform/display_device.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_input.h"
#include "tests/support/game_fixture.h"
#include "tests/support/generated_assets.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tests/support/trace_capture.h"
#include "tests/support/world.h"
#include "video/palette.h"
#include "video/surface.h"

namespace {
constexpr int32_t PX = 65536;

class GameSceneTest : public testing::Test {
  protected:
    void SetUp() override {
        StartOnGeneratedAssets(&dir);
        currentScene = SCENE_GAME;
        stage = 1;
        lives = 2;
        qm::srand(2024);
    }
    void TearDown() override { StopStartedGame(&dir); }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(RunFrame());
    }
    // Runs the intro through: 45 frames from the stage start.
    void ToPlay() {
        Frames(45);
        ASSERT_EQ(GameState, GAME_PLAY);
    }
    std::unique_ptr<ScopedWorkDir> dir;
};

int32_t ClosedTiles() {
    int32_t n = 0;
    for (int32_t r = 0; r < mapData.height; ++r)
        for (int32_t c = 0; c < mapData.width; ++c)
            n += mapData.rows[r][c] == TILE_CLOSED;
    return n;
}

std::vector<uint8_t> WorkPixels() {
    Surface& work = surfaceTable[SURFACE_WORK];
    SurfaceDesc desc;
    uint8_t* pixels = nullptr;
    std::vector<uint8_t> out;
    if (!DDLockSurface(&work, &desc, &pixels, 8)) return out;
    for (int32_t y = 0; y < 160; ++y)
        out.insert(out.end(), pixels + y * desc.pitch, pixels + y * desc.pitch + 160);
    DDUnlockSurface(&work);
    return out;
}
} // namespace

TEST_F(GameSceneTest, AStageStartsWithItsMapEnemiesAndAFortyFiveFrameFadeIn) {
    Frames(1);
    EXPECT_EQ(gamePhase, PHASE_RUN);
    EXPECT_EQ(GameState, GAME_INTRO);
    EXPECT_EQ(paletteFadeActive, 1);
    EXPECT_EQ(lightLevel, 25500);
    EXPECT_EQ(mapData.width, 32); // the first stage file
    EXPECT_EQ(enemyList.count, 20);
    EXPECT_GE(ClosedTiles(), 100);
    for (SurfaceId id : {SURFACE_MAPCHIP, SURFACE_PLAYER, SURFACE_ENEMY, SURFACE_PARTS, SURFACE_FIXEDTEXT,
                         SURFACE_MASK, SURFACE_WORK})
        EXPECT_NE(surfaceTable[id].surface, nullptr) << id;
    // Nothing moves during the intro, whatever is held.
    HeadlessSetKey(VK_RIGHT, true);
    const int32_t x0 = player.body.x;
    Frames(43);
    EXPECT_EQ(GameState, GAME_INTRO);
    EXPECT_EQ(player.body.x, x0);
    Frames(1);
    EXPECT_EQ(GameState, GAME_PLAY);
    EXPECT_EQ(paletteFadeActive, 0);
    EXPECT_EQ(player.body.x, x0);
    Frames(1);
    EXPECT_GT(player.body.x, x0);
}

TEST_F(GameSceneTest, LightFallsFourAFrameAndRetintsEveryTwentyFiveFrames) {
    ToPlay();
    std::vector<int> changes;
    std::vector<PaletteEntry> last(HeadlessFramePalette(), HeadlessFramePalette() + 256);
    for (int frame = 1; frame <= 60; ++frame) {
        Frames(1);
        ASSERT_EQ(GameState, GAME_PLAY) << "caught or cleared at frame " << frame;
        if (frame == 1) {
            EXPECT_EQ(lightLevel, 25496);
            for (int32_t i : {5, 100, 216}) {
                EXPECT_EQ(HeadlessFramePalette()[i].red, basePalette[i].red * 254 >> 8) << i;
                EXPECT_EQ(HeadlessFramePalette()[i].blue, basePalette[i].blue * 254 >> 8) << i;
            }
            EXPECT_EQ(HeadlessFramePalette()[217].red, basePalette[217].red);
            EXPECT_EQ(HeadlessFramePalette()[255].green, basePalette[255].green);
        }
        if (std::memcmp(last.data(), HeadlessFramePalette(), sizeof(PaletteEntry) * 256) != 0)
            changes.push_back(frame);
        last.assign(HeadlessFramePalette(), HeadlessFramePalette() + 256);
    }
    EXPECT_EQ(changes, (std::vector<int>{1, 26, 51}));
    EXPECT_EQ(lightLevel, 25500 - 60 * 4);
}

TEST(Light, ClampsAtTheFloorAndTheCeiling) {
    ResetGameProcess();
    lightLevel = 1003;
    UpdateLight();
    EXPECT_EQ(lightLevel, 1000);
    EXPECT_EQ(lightStep, 10);
    UpdateLight();
    EXPECT_EQ(lightLevel, 1000);
    lightLevel = 24000;
    AddLight(3000);
    EXPECT_EQ(lightLevel, 25500);
    lightLevel = 22500;
    AddLight(3000);
    EXPECT_EQ(lightLevel, 25500);
    lightLevel = 22499;
    AddLight(3000);
    EXPECT_EQ(lightLevel, 25499);
    AddLight(-30000);
    EXPECT_EQ(lightLevel, 1000);
    ResetGameProcess();
}

TEST_F(GameSceneTest, OpeningFollowsTheSealAndReleaseOddsInDrawOrder) {
    ToPlay();
    for (int32_t stageNumber : {1, 31}) {
        stage = stageNumber;
        sealRevealed = 0;
        sealChance = 0;
        int32_t released = 0, opened = 0, seals = 0;
        for (uint32_t seed = 1; seed <= 60; ++seed) {
            SetTile(3, 4, TILE_CLOSED);
            qm::srand(seed);
            ModelRandom model{seed};
            const int32_t countBefore = enemyList.count;
            const int32_t chanceBefore = sealChance;
            const uint8_t revealedBefore = sealRevealed;
            lightLevel = 20000;
            bool expectSeal = false, expectEnemy = false;
            int32_t expectChance = chanceBefore;
            if (!revealedBefore && chanceBefore > model.Next() % 100 + 1) expectSeal = true;
            if (!expectSeal) {
                if (stageNumber * 3 + 10 > model.Next() % 100 + 1) {
                    expectEnemy = true;
                    for (int k = 0; k < 4; ++k)
                        model.Next();
                    expectChance += model.Next() % 3 + 1;
                } else {
                    expectChance += model.Next() % 2 + 1;
                }
            }
            ASSERT_TRUE(OpenClosedTile(3, 4));
            EXPECT_EQ(qm::RandomState(), model.state) << seed;
            EXPECT_EQ(GetTile(3, 4), expectSeal ? TILE_SEAL : TILE_OPENED) << seed;
            EXPECT_EQ(sealChance, expectChance);
            EXPECT_EQ(enemyList.count - countBefore, expectEnemy ? 1 : 0);
            EXPECT_EQ(lightLevel, 23000);
            if (expectEnemy) {
                const Enemy* e = enemyList.tail->prev;
                EXPECT_EQ(e->delay, 100);
                EXPECT_EQ(e->body.x, (3 * 32 + 8) * PX);
                EXPECT_EQ(e->body.y, (4 * 32 + 16) * PX);
                ++released;
            }
            if (expectSeal) {
                ++seals;
                sealRevealed = 0; // keep testing the reveal rule
                sealChance = 0;
            }
            ++opened;
        }
        if (stageNumber == 31) {
            EXPECT_EQ(released + seals, opened); // every opening that is not the seal releases one
        } else {
            EXPECT_GT(released, 0);
            EXPECT_LT(released, opened / 2); // about 12 in 100
        }
    }
}

TEST_F(GameSceneTest, TheFirstOpeningNeverRevealsTheSeal) {
    ToPlay();
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        sealChance = 0;
        sealRevealed = 0;
        SetTile(3, 4, TILE_CLOSED);
        qm::srand(seed);
        OpenClosedTile(3, 4);
        EXPECT_EQ(GetTile(3, 4), TILE_OPENED);
        EXPECT_GE(sealChance, 1);
        EXPECT_LE(sealChance, 3);
    }
    // A released enemy that cannot be allocated: the cell is opened, nothing else happens.
    sealChance = 0;
    stage = 40;
    lightLevel = 5000;
    SetTile(3, 4, TILE_CLOSED);
    enemyAllocationsLeft = 0;
    EXPECT_FALSE(OpenClosedTile(3, 4));
    EXPECT_EQ(GetTile(3, 4), TILE_OPENED);
    EXPECT_EQ(lightLevel, 5000);
    EXPECT_EQ(sealChance, 0);
}

TEST_F(GameSceneTest, TheSealNeedsItsChanceAboveARollOfOneToAHundredAndAppearsOnce) {
    ToPlay();
    struct Case {
        int32_t roll; // rand() % 100 + 1
        int32_t chance;
        bool seal;
    };
    const Case cases[] = {{1, 1, false},  {1, 2, true},      {57, 56, false}, {57, 57, false},
                          {57, 58, true}, {100, 100, false}, {100, 101, true}};
    for (const Case& c : cases) {
        SetTile(3, 4, TILE_CLOSED);
        sealRevealed = 0;
        sealChance = c.chance;
        qm::srand(SeedFor({{100, c.roll - 1}}));
        ASSERT_TRUE(OpenClosedTile(3, 4));
        EXPECT_EQ(GetTile(3, 4), c.seal ? TILE_SEAL : TILE_OPENED)
            << "roll " << c.roll << " chance " << c.chance;
        EXPECT_EQ(sealRevealed, c.seal ? 1 : 0) << "roll " << c.roll << " chance " << c.chance;
    }
    // Once revealed, no opening rolls for the seal again, however high its chance: the first draw is the
    // release roll.
    ASSERT_EQ(sealRevealed, 1);
    sealChance = 101;
    const uint32_t seed = SeedFor({{100, 50}}); // a roll of 51: no ghost at stage 1
    qm::srand(seed);
    ModelRandom model{seed};
    model.Next();
    const int32_t step = model.Next() % 2 + 1;
    SetTile(5, 4, TILE_CLOSED);
    ASSERT_TRUE(OpenClosedTile(5, 4));
    EXPECT_EQ(GetTile(5, 4), TILE_OPENED);
    EXPECT_EQ(GetTile(3, 4), TILE_SEAL);
    EXPECT_EQ(sealRevealed, 1);
    EXPECT_EQ(sealChance, 101 + step);
    EXPECT_EQ(qm::RandomState(), model.state);
}

TEST_F(GameSceneTest, AGhostIsReleasedWhenStageTimesThreePlusTenExceedsTheRoll) {
    ToPlay();
    sealRevealed = 1; // the release roll is then the first draw
    struct Case {
        int32_t stage;
        int32_t roll; // rand() % 100 + 1
        bool ghost;
    };
    const Case cases[] = {{1, 1, true},   {1, 12, true},  {1, 13, false},   {1, 14, false}, {2, 15, true},
                          {2, 16, false}, {30, 99, true}, {30, 100, false}, {31, 100, true}};
    for (const Case& c : cases) {
        stage = c.stage;
        sealChance = 10;
        lightLevel = 20000;
        SetTile(3, 4, TILE_CLOSED);
        const uint32_t seed = SeedFor({{100, c.roll - 1}});
        qm::srand(seed);
        ModelRandom model{seed};
        model.Next();
        if (c.ghost)
            for (int k = 0; k < 4; ++k) // the ghost's traits
                model.Next();
        const int32_t step = c.ghost ? model.Next() % 3 + 1 : model.Next() % 2 + 1;
        const int32_t ghosts = enemyList.count;
        const int32_t appears = PlaysOf(SND_APPEAR);
        ASSERT_TRUE(OpenClosedTile(3, 4));
        const std::string where = "stage " + std::to_string(c.stage) + " roll " + std::to_string(c.roll);
        EXPECT_EQ(enemyList.count - ghosts, c.ghost ? 1 : 0) << where;
        EXPECT_EQ(PlaysOf(SND_APPEAR) - appears, c.ghost ? 1 : 0) << where;
        EXPECT_EQ(GetTile(3, 4), TILE_OPENED) << where;
        EXPECT_EQ(sealChance, 10 + step) << where;
        EXPECT_EQ(qm::RandomState(), model.state) << where;
        EXPECT_EQ(lightLevel, 23000) << where;
    }
}

TEST_F(GameSceneTest, OpeningATileRetintsAndUploadsThePaletteAtOnce) {
    ToPlay();
    // Colours that show the weight: entry i is (i, 255 - i, 200).
    for (int32_t i = 0; i < 256; ++i)
        basePalette[i] = workPalette[i] =
            PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 200, 0};
    lightLevel = 19003;
    UpdateLight(); // 18999: weight 189, tinted and uploaded
    ASSERT_EQ(workPalette[100].red, 100 * 189 >> 8);
    sealRevealed = 1;
    qm::srand(SeedFor({{100, 50}})); // no ghost
    SetTile(3, 4, TILE_CLOSED);
    ASSERT_TRUE(OpenClosedTile(3, 4));
    ASSERT_EQ(lightLevel, 21999); // weight 219
    PaletteEntry shown[256];
    PlatformDisplayGetEntries(shown);
    for (int32_t i : {1, 100, 216}) {
        EXPECT_EQ(workPalette[i].red, i * 219 >> 8) << i;
        EXPECT_EQ(workPalette[i].green, (255 - i) * 219 >> 8) << i;
        EXPECT_EQ(workPalette[i].blue, 200 * 219 >> 8) << i;
        EXPECT_EQ(shown[i].red, workPalette[i].red) << i;
        EXPECT_EQ(shown[i].green, workPalette[i].green) << i;
    }
    // The entries past the darkened ones keep their own colours.
    EXPECT_EQ(workPalette[217].red, 217);
    EXPECT_EQ(workPalette[255].green, 0);
}

TEST_F(GameSceneTest, AmbientSoundsPlayOneFrameInSevenHundredAtADrawnVolumeAndPan) {
    ToPlay();
    // One draw and nothing else, unless it is 0 modulo 700.
    for (int32_t odds : {1, 350, 699}) {
        const uint32_t seed = SeedFor({{700, odds}});
        qm::srand(seed);
        ModelRandom model{seed};
        model.Next();
        const size_t calls = HeadlessAudioCalls().size();
        PlayAmbientSound();
        EXPECT_EQ(HeadlessAudioCalls().size(), calls) << odds;
        EXPECT_EQ(qm::RandomState(), model.state) << odds;
    }
    // Sound 7 + (r mod 4), volume (r mod 1001) - 1000, pan (r mod 10001) - 5000, all on the buffer that
    // plays. Each sound once, and the ends of both ranges.
    const std::vector<std::vector<WantedDraw>> cases = {
        {{700, 0}, {4, 0}},
        {{700, 0}, {4, 1}},
        {{700, 0}, {4, 2}},
        {{700, 0}, {4, 3}},
        {{700, 0}, {0, 0}, {1001, 0}},
        {{700, 0}, {0, 0}, {1001, 1}},
        {{700, 0}, {0, 0}, {1001, 1000}},
        {{700, 0}, {0, 0}, {0, 0}, {10001, 0}},
        {{700, 0}, {0, 0}, {0, 0}, {10001, 10000}},
    };
    std::vector<int32_t> volumes, pans;
    for (const std::vector<WantedDraw>& wanted : cases) {
        const uint32_t seed = SeedFor(wanted);
        qm::srand(seed);
        ModelRandom model{seed};
        model.Next();
        const int32_t sound = SND_SCREAM + model.Next() % 4;
        const int32_t volume = model.Next() % 1001 - 1000;
        const int32_t pan = model.Next() % 10001 - 5000;
        SoundGroup& group = soundGroups[sound];
        const int32_t buffer = HeadlessAudioBufferId(group.buffers[group.next]);
        const size_t first = HeadlessAudioCalls().size();
        PlayAmbientSound();
        EXPECT_EQ(qm::RandomState(), model.state) << seed;
        const HeadlessAudioBufferState state = HeadlessAudioBuffer(buffer);
        EXPECT_EQ(state.volume, volume) << seed;
        EXPECT_EQ(state.pan, pan) << seed;
        EXPECT_TRUE(state.playing) << seed;
        int32_t plays = 0;
        for (size_t i = first; i < HeadlessAudioCalls().size(); ++i) {
            const HeadlessAudioCall& call = HeadlessAudioCalls()[i];
            if (call.op == AUDIO_PLAY) {
                ++plays;
                EXPECT_EQ(call.buffer, buffer) << seed;
            }
        }
        EXPECT_EQ(plays, 1) << seed;
        volumes.push_back(volume);
        pans.push_back(pan);
    }
    // The ends of both ranges were reached.
    EXPECT_EQ(volumes[4], -1000);
    EXPECT_EQ(volumes[5], -999);
    EXPECT_EQ(volumes[6], 0);
    EXPECT_EQ(pans[7], -5000);
    EXPECT_EQ(pans[8], 5000);
}

TEST_F(GameSceneTest, ThePlayerStandsStillWhileTheOpeningPosePlays) {
    ToPlay();
    // Open floor around the player, and ghosts that stay where they are.
    const int32_t column = player.body.x >> 21, row = player.body.y >> 21;
    for (int32_t r = row - 2; r <= row + 2; ++r)
        for (int32_t c = column - 2; c <= column + 2; ++c)
            SetTile((c + mapData.width) % mapData.width, (r + mapData.height) % mapData.height, 0);
    for (Enemy* e = enemyList.head->next; e != enemyList.tail; e = e->next)
        e->delay = 100000;
    HeadlessSetKey(VK_RIGHT, true);
    Frames(1);
    HeadlessSetKey(VK_RIGHT, false);
    ASSERT_EQ(player.body.facing, DIR_RIGHT);
    HeadlessSetKey(VK_Z, true);
    Frames(1);
    HeadlessSetKey(VK_Z, false);
    ASSERT_EQ(player.body.anim.sequence, SEQ_OPEN);
    // Twenty-nine frames of the pose: the arrow held neither moves nor turns the player.
    HeadlessSetKey(VK_LEFT, true);
    const int32_t x0 = player.body.x, y0 = player.body.y;
    for (int frame = 1; frame <= 29; ++frame) {
        Frames(1);
        ASSERT_EQ(player.body.x, x0) << frame;
        ASSERT_EQ(player.body.facing, DIR_RIGHT) << frame;
    }
    EXPECT_EQ(player.body.anim.sequence, SEQ_WALK); // the pose ended as the 29th frame drew it
    Frames(1);
    EXPECT_EQ(player.body.x, x0 - PX);
    EXPECT_EQ(player.body.y, y0);
    EXPECT_EQ(player.body.facing, DIR_LEFT);
}

TEST_F(GameSceneTest, TheClearedCaptionGrowsInNinetySixFramesThenWaitsForButtonOne) {
    ToPlay();
    GameState = GAME_CLEARED;
    stageResult = RESULT_CLEARED;
    for (int frame = 1; frame <= 96; ++frame) {
        Frames(1);
        if (frame == 60) MaybeWriteFramePicture("caption-growing");
        EXPECT_EQ(captionWidth, frame);
        EXPECT_EQ(captionHeight, frame < 32 ? frame : 32);
        EXPECT_EQ(clearPhase, frame < 96 ? 1 : 2) << frame;
    }
    Frames(50);
    MaybeWriteFramePicture("caption");
    EXPECT_EQ(clearPhase, 2);
    EXPECT_EQ(GameState, GAME_CLEARED);
    HeadlessSetKey(VK_Z, true);
    Frames(1);
    EXPECT_EQ(clearPhase, 3);
    Frames(1);
    EXPECT_EQ(clearPhase, 0);
    EXPECT_EQ(GameState, GAME_FADEOUT);
    EXPECT_EQ(paletteFadeActive, 1);
    Frames(44);
    EXPECT_EQ(gamePhase, PHASE_RUN);
    Frames(1);
    EXPECT_EQ(gamePhase, PHASE_UNLOAD);
    EXPECT_EQ(paletteFadeActive, 0);
    Frames(1); // the unload: nothing loaded, the next stage next frame
    EXPECT_EQ(stage, 2);
    EXPECT_EQ(currentScene, SCENE_GAME);
    EXPECT_EQ(gamePhase, PHASE_LOAD);
    EXPECT_EQ(mapData.rows, nullptr);
    EXPECT_EQ(enemyList.head, nullptr);
    EXPECT_EQ(surfaceTable[SURFACE_WORK].surface, nullptr);
    Frames(1);
    EXPECT_EQ(mapData.width, 64); // the second stage file
    EXPECT_EQ(GameState, GAME_INTRO);
}

TEST_F(GameSceneTest, ButtonOneHeldOnTheSealSkipsTheGrowthAndLeavesInThreeFrames) {
    ToPlay();
    // Reveal a seal right under the player's centre.
    *TileAt(player.body.centre.x, player.body.centre.y) = TILE_SEAL;
    sealRevealed = 1;
    HeadlessSetKey(VK_Z, true);
    Frames(1);
    EXPECT_EQ(GameState, GAME_CLEARED);
    EXPECT_EQ(stageResult, RESULT_CLEARED);
    Frames(1);
    EXPECT_EQ(captionWidth, 96);
    EXPECT_EQ(captionHeight, 32);
    EXPECT_EQ(clearPhase, 2);
    Frames(1);
    EXPECT_EQ(GameState, GAME_CLEARED);
    Frames(1);
    EXPECT_EQ(GameState, GAME_FADEOUT);
}

TEST_F(GameSceneTest, TheClearedCaptionWaitsForButtonOneAlone) {
    ToPlay();
    GameState = GAME_CLEARED;
    stageResult = RESULT_CLEARED;
    // Both buttons, or button 2, neither skip the growth...
    HeadlessSetKey(VK_Z, true);
    HeadlessSetKey(VK_X, true);
    Frames(1);
    EXPECT_EQ(clearPhase, 1);
    EXPECT_EQ(captionWidth, 1);
    HeadlessSetKey(VK_Z, false);
    Frames(1);
    EXPECT_EQ(clearPhase, 1);
    EXPECT_EQ(captionWidth, 2);
    HeadlessSetKey(VK_X, false);
    Frames(94);
    ASSERT_EQ(clearPhase, 2);
    // ...nor end the wait.
    HeadlessSetKey(VK_X, true);
    Frames(3);
    HeadlessSetKey(VK_Z, true);
    Frames(3);
    EXPECT_EQ(clearPhase, 2);
    EXPECT_EQ(GameState, GAME_CLEARED);
    HeadlessSetKey(VK_X, false);
    Frames(1);
    EXPECT_EQ(clearPhase, 3);
}

TEST_F(GameSceneTest, TheCaptureRunsOneTwentyPlusTwoHundredPlusOneHundredFramesWithTwentySmears) {
    ToPlay();
    GameState = GAME_CAUGHT;
    stageResult = RESULT_CAUGHT;
    Frames(119);
    EXPECT_EQ(caughtPhase, 1);
    Frames(1);
    EXPECT_EQ(caughtPhase, 2);
    std::vector<uint8_t> last = WorkPixels();
    ASSERT_EQ(last.size(), 160u * 160u);
    std::vector<int> smears;
    for (int frame = 1; frame <= 200; ++frame) {
        Frames(1);
        const std::vector<uint8_t> now = WorkPixels();
        if (now != last) smears.push_back(frame);
        last = now;
        EXPECT_EQ(caughtPhase, frame < 200 ? 2 : 3) << frame;
    }
    // Every tenth frame, and once more on the 200th, when the timer has just gone back to 0.
    std::vector<int> expected;
    for (int frame = 10; frame <= 200; frame += 10)
        expected.push_back(frame);
    EXPECT_EQ(smears, expected);
    Frames(99);
    EXPECT_EQ(caughtPhase, 3);
    Frames(1);
    EXPECT_EQ(caughtPhase, 4);
    Frames(1);
    EXPECT_EQ(caughtPhase, 0);
    EXPECT_EQ(GameState, GAME_FADEOUT);
    Frames(45 + 1);
    // A retry: the same stage with a life less.
    EXPECT_EQ(lives, 1);
    EXPECT_EQ(stage, 1);
    EXPECT_EQ(currentScene, SCENE_GAME);
    Frames(1);
    EXPECT_EQ(GameState, GAME_INTRO);
    EXPECT_EQ(mapData.width, 32);
}

TEST_F(GameSceneTest, TheLastCaptureSavesTheRecordAndReturnsToTheTitle) {
    stage = 4;
    lives = 0;
    bestRecord = 2;
    ToPlay();
    GameState = GAME_CAUGHT;
    stageResult = RESULT_CAUGHT;
    Frames(120 + 200 + 100 + 1 + 45 + 1);
    EXPECT_EQ(lives, -1);
    EXPECT_EQ(currentScene, SCENE_TITLE);
    FILE* f = std::fopen("user_data/Record.dat", "rb");
    ASSERT_NE(f, nullptr);
    uint8_t bytes[8] = {};
    EXPECT_EQ(std::fread(bytes, 1, 8, f), 4u);
    std::fclose(f);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1] | bytes[2] | bytes[3], 0);
}

TEST_F(GameSceneTest, ACaptureWithOneLifeLeftRestartsTheStageWithNone) {
    stage = 3;
    lives = 1;
    bestRecord = 0;
    ToPlay();
    GameState = GAME_CAUGHT;
    stageResult = RESULT_CAUGHT;
    Frames(120 + 200 + 100 + 1 + 45 + 1);
    EXPECT_EQ(lives, 0);
    EXPECT_EQ(stage, 3);
    EXPECT_EQ(currentScene, SCENE_GAME);
    EXPECT_FALSE(std::filesystem::exists("user_data/Record.dat")); // no game over, so nothing saved
    Frames(1);
    EXPECT_EQ(gamePhase, PHASE_RUN);
    EXPECT_EQ(GameState, GAME_INTRO);
    EXPECT_EQ(mapData.width, 64); // the third file is 64 wide
}

TEST_F(GameSceneTest, StageSixPlaysTheFirstFileWithFiftyMoreEnemies) {
    Frames(1);
    const int32_t first = enemyList.count;
    UnloadGameScene();
    stage = 6;
    Frames(1);
    EXPECT_EQ(mapData.width, 32);
    EXPECT_EQ(enemyList.count, first + 50);
    UnloadGameScene();
    stage = 10;
    Frames(1);
    EXPECT_EQ(mapData.width, 128); // the fifth file
}

TEST_F(GameSceneTest, EveryStageStartsWithoutTheSealWhateverTheLastOneLeft) {
    for (int32_t result : {RESULT_CLEARED, RESULT_CAUGHT}) {
        ToPlay();
        sealChance = 57;
        sealRevealed = 1;
        lightLevel = 4000;
        stageResult = result;
        GameState = GAME_FADEOUT;
        paletteFadeActive = 1;
        Frames(45);
        ASSERT_EQ(gamePhase, PHASE_UNLOAD);
        Frames(1); // the unload
        Frames(1); // the next stage's start and its first intro frame
        EXPECT_EQ(GameState, GAME_INTRO) << result;
        EXPECT_EQ(sealChance, 0) << result;
        EXPECT_EQ(sealRevealed, 0) << result;
        EXPECT_EQ(stageResult, RESULT_NONE) << result;
        EXPECT_EQ(lightLevel, LIGHT_MAX) << result;
        Frames(44);
    }
    EXPECT_EQ(stage, 2);
    EXPECT_EQ(lives, 1);
}

TEST_F(GameSceneTest, PauseFreezesTheFadeWhereItIs) {
    Frames(10);
    const double angle = fadeInAngle;
    paused = 1;
    Frames(30);
    EXPECT_EQ(fadeInAngle, angle);
    EXPECT_EQ(GameState, GAME_INTRO);
    paused = 0;
    Frames(34);
    EXPECT_EQ(GameState, GAME_INTRO);
    Frames(1);
    EXPECT_EQ(GameState, GAME_PLAY);
}

TEST_F(GameSceneTest, EachStageStartFailureEndsTheFrameWithItsTrace) {
    {
        TraceCapture trace;
        std::filesystem::remove(Utf8Path("bmp/敵キャラ.bmp"));
        EXPECT_FALSE(RunFrame());
        EXPECT_TRUE(trace.Contains("LOADIMAGE_ERR"));
        ASSERT_NE(NotedFailure(), nullptr);
        EXPECT_NE(std::string(NotedFailure()).find("bmp/敵キャラ.bmp"), std::string::npos) << NotedFailure();
        EXPECT_NE(surfaceTable[SURFACE_PLAYER].surface, nullptr); // loaded before it, still loaded
        EXPECT_EQ(mapData.rows, nullptr);
    }
    UnloadGameScene();
    std::string error;
    ASSERT_TRUE(CopyGeneratedAssets(&error));
    {
        TraceCapture trace;
        ClearFailure();
        std::filesystem::remove(Utf8Path("data/ステージ１.bgd"));
        EXPECT_FALSE(RunFrame());
        EXPECT_TRUE(trace.Contains("LoadMapData失敗！"));
        ASSERT_NE(NotedFailure(), nullptr);
        EXPECT_NE(std::string(NotedFailure()).find("stage file data/ステージ１.bgd: the file is missing"),
                  std::string::npos)
            << NotedFailure();
    }
    UnloadGameScene();
    {
        // A stage the game cannot play names the field at fault.
        TraceCapture trace;
        ClearFailure();
        std::vector<uint8_t> narrow = StageBytes(4, 32, 0);
        WriteFileBytes("data\\ステージ１.bgd", narrow);
        EXPECT_FALSE(RunFrame());
        EXPECT_TRUE(trace.Contains("LoadMapData失敗！"));
        ASSERT_NE(NotedFailure(), nullptr);
        EXPECT_NE(std::string(NotedFailure()).find("ステージ１.bgd: its width (offset 524) is 4 tiles"),
                  std::string::npos)
            << NotedFailure();
    }
    UnloadGameScene();
    ASSERT_TRUE(CopyGeneratedAssets(&error));
    {
        TraceCapture trace;
        ClearFailure();
        enemyAllocationsLeft = 0;
        EXPECT_FALSE(RunFrame());
        EXPECT_TRUE(trace.Contains("InitEnemy失敗！"));
        EXPECT_NE(NotedFailure(), nullptr);
        enemyAllocationsLeft = -1;
    }
}

TEST_F(GameSceneTest, WithoutAWorkSurfaceTheStagePlaysAndTheCaptureTouchesNothing) {
    platformSurfaceFaults.limitCreations = true;
    platformSurfaceFaults.creationsLeft = 6; // the six bitmaps, not the work surface
    TraceCapture trace;
    ToPlay();
    EXPECT_TRUE(trace.Contains("DDCreateSurface失敗！"));
    EXPECT_EQ(surfaceTable[SURFACE_WORK].surface, nullptr);
    platformSurfaceFaults.limitCreations = false;
    GameState = GAME_CAUGHT;
    stageResult = RESULT_CAUGHT;
    Frames(120 + 200 + 100 + 1);
    EXPECT_EQ(GameState, GAME_FADEOUT);
    EXPECT_EQ(surfaceTable[SURFACE_WORK].surface, nullptr);
}
