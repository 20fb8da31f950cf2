// The state line a script waits for: one line per change, after the frame that state drew is presented.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/frame_state.h"
#include "app/main_window.h"
#include "game/game_vars.h"
#include "game/title_scene.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_input.h"
#include "tests/support/game_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/trace_capture.h"

namespace {
const std::string PREFIX = "quillmarsh: state ";

std::vector<std::string> StateLines(const TraceCapture& trace) {
    std::vector<std::string> states;
    for (const std::string& text : trace.texts)
        if (text.rfind(PREFIX, 0) == 0) states.push_back(text.substr(PREFIX.size()));
    return states;
}

// Runs frames, holding Z on none, until the trace names the state; false after `limit` frames.
bool RunUntilState(const TraceCapture& trace, const std::string& state, int32_t limit) {
    for (int32_t i = 0; i < limit; ++i) {
        if (!RunFrame()) return false;
        const std::vector<std::string> states = StateLines(trace);
        if (!states.empty() && states.back() == state) return true;
    }
    return false;
}

// A press held for two frames, then let go for one.
void PressZ() {
    HeadlessSetKey(VK_Z, true);
    ASSERT_TRUE(RunFrame());
    ASSERT_TRUE(RunFrame());
    HeadlessSetKey(VK_Z, false);
    ASSERT_TRUE(RunFrame());
}

// The game's own assets, so a game can start.
class FrameState : public testing::Test {
  protected:
    void SetUp() override { StartOnGeneratedAssets(&dir); }
    void TearDown() override { StopStartedGame(&dir); }
    std::unique_ptr<ScopedWorkDir> dir;
};
} // namespace

TEST_F(FrameState, EachChangeIsTracedOnceInTheOrderPlayed) {
    TraceCapture trace;
    ASSERT_TRUE(RunUntilState(trace, "title-wave", 100));
    PressZ(); // skips the wave
    ASSERT_TRUE(RunUntilState(trace, "title-settled", 5));
    for (int32_t i = 0; i < 30; ++i)
        ASSERT_TRUE(RunFrame());
    PressZ(); // starts a game
    ASSERT_TRUE(RunUntilState(trace, "game-play", 400));
    paused = 1;
    ASSERT_TRUE(RunUntilState(trace, "game-paused", 2));
    paused = 0;
    ASSERT_TRUE(RunUntilState(trace, "game-play", 2));
    EXPECT_EQ(StateLines(trace),
              (std::vector<std::string>{"title-fade-in", "title-wave", "title-settled", "title-fade-out",
                                        "game-intro", "game-play", "game-paused", "game-play"}));
}

TEST_F(FrameState, TheSettledLineComesWithTheSettledPicture) {
    TraceCapture trace;
    std::vector<uint8_t> traced;
    for (int32_t i = 0; i < 500 && traced.empty(); ++i) {
        ASSERT_TRUE(RunFrame());
        const std::vector<std::string> states = StateLines(trace);
        if (!states.empty() && states.back() == "title-settled")
            traced.assign(HeadlessFrame(), HeadlessFrame() + 320 * 240);
    }
    ASSERT_FALSE(traced.empty()) << "the title never settled";
    // The wave's last frame draws the line flat but not yet the record; the first settled frame draws both,
    // and every settled frame after it is the same picture.
    ASSERT_TRUE(RunFrame());
    EXPECT_EQ(std::memcmp(traced.data(), HeadlessFrame(), traced.size()), 0);
}

TEST_F(FrameState, NamesTheStateOfEachScenePhase) {
    currentScene = SCENE_TITLE;
    titlePhase = PHASE_LOAD;
    titleState = TITLE_WAIT; // left from before: a loading title starts over
    EXPECT_STREQ(FrameStateName(), "title-fade-in");
    titlePhase = PHASE_UNLOAD;
    EXPECT_STREQ(FrameStateName(), "title-fade-out");
    paused = 1; // a pause means nothing on the title
    titlePhase = PHASE_RUN;
    EXPECT_STREQ(FrameStateName(), "title-settled");
    currentScene = SCENE_GAME;
    gamePhase = PHASE_RUN;
    GameState = GAME_CAUGHT;
    EXPECT_STREQ(FrameStateName(), "game-paused");
    paused = 0;
    EXPECT_STREQ(FrameStateName(), "game-caught");
    gamePhase = PHASE_LOAD;
    EXPECT_STREQ(FrameStateName(), "game-intro");
    gamePhase = PHASE_UNLOAD;
    EXPECT_STREQ(FrameStateName(), "game-fade-out");
    currentScene = 7;
    EXPECT_STREQ(FrameStateName(), "other");
}
