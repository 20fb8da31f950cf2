// A soak run: 20,000 frames of random play from the title through several games, checked against the
// recording it wrote.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "app/input_script.h"
#include "app/main_window.h"
#include "input/controls.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_input.h"
#include "tests/support/generated_assets.h"
#include "tests/support/json_value.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tools/sim_runner.h"

namespace {
constexpr uint32_t SOAK_FRAMES = 20000;

// What the frame loop makes of a held set, read through the controls themselves.
InputState Sampled(const HeldControls& held) {
    ApplyHeldControls(held);
    InputState state{};
    SetDefaultButtons(&state);
    SampleControls(&state, 0, CONTROL_SOURCE_JOYSTICK | CONTROL_SOURCE_KEYBOARD);
    return state;
}
} // namespace

TEST(SimSoak, MonkeyPlaysThroughStagesAndGameOversAndItsRecordingMatchesTheTrace) {
    ResetGameProcess();
    ScopedWorkDir dir;
    std::string error;
    ASSERT_TRUE(CopyGeneratedAssets(&error)) << error;
    SimOptions options;
    options.monkeyGiven = true;
    options.monkeySeed = 2;
    options.seedGiven = true;
    options.seed = 99;
    options.framesGiven = true;
    options.frames = SOAK_FRAMES;
    options.tracePath = "soak.jsonl";
    options.recordPath = "soak.txt";
    ASSERT_EQ(RunSim(options), 0);
    // The device's log holds only what came after the last frame (the shut-down's releases), however
    // long the run: no play of any frame is kept.
    const std::vector<HeadlessAudioCall> kept = HeadlessAudioCalls();
    ResetGameProcess();

    std::vector<JsonValue> trace;
    {
        std::ifstream in("soak.jsonl");
        std::string line;
        while (std::getline(in, line)) {
            trace.emplace_back();
            ASSERT_TRUE(ParseJson(line, &trace.back())) << line;
        }
    }
    ASSERT_EQ(trace.size(), SOAK_FRAMES);
    InputScript script;
    ASSERT_TRUE(ReadInputScript("soak.txt", &script, &error)) << error;
    EXPECT_TRUE(script.hasSeed);
    EXPECT_EQ(script.seed, 99u);

    std::set<int64_t> stages;
    int32_t gameOvers = 0, games = 0, pauses = 0;
    size_t plays = 0;
    size_t line = 0;
    HeldControls held = NOTHING_HELD;
    for (uint32_t f = 0; f < SOAK_FRAMES; ++f) {
        const JsonValue& now = trace[f];
        ASSERT_EQ(now["frame"].number, f);
        int32_t spaces = 0;
        if (line < script.lines.size() && script.lines[line].frame == f) {
            held = script.lines[line].held;
            for (ScriptEvent e : script.lines[line].events) {
                ASSERT_EQ(e, EVENT_SPACE) << "frame " << f; // the monkey pauses, nothing else
                ++spaces;
            }
            ++line;
        }
        const InputState expected = Sampled(held);
        ASSERT_EQ(now["input"]["direction"].number, expected.direction) << "frame " << f;
        ASSERT_EQ(now["input"]["dirBits"].number, expected.dirBits) << "frame " << f;
        const int64_t sceneBefore = f == 0 ? int64_t{SCENE_TITLE} : trace[f - 1]["scene"].number;
        const int64_t pausedBefore = f == 0 ? 0 : trace[f - 1]["paused"].number;
        if (sceneBefore == SCENE_GAME) {
            // Only the title filters the buttons; the game sees them as sampled.
            ASSERT_EQ(now["input"]["buttons"].number, expected.buttons) << "frame " << f;
            ASSERT_EQ(now["paused"].number, pausedBefore ^ (spaces & 1)) << "frame " << f;
        } else {
            ASSERT_EQ(now["paused"].number, pausedBefore) << "frame " << f;
        }
        pauses += spaces;
        plays += now["sounds"].items.size();
        if (now["scene"].number == SCENE_GAME) stages.insert(now["game"]["stage"].number);
        if (sceneBefore == SCENE_GAME && now["scene"].number == SCENE_TITLE) {
            ++gameOvers;
            EXPECT_LT(now["game"]["lives"].number, 0) << "frame " << f;
        }
        if (sceneBefore == SCENE_TITLE && now["scene"].number == SCENE_GAME) ++games;
    }
    // The last line is the close request after the last frame, nothing more.
    EXPECT_EQ(line + 1, script.lines.size());
    EXPECT_EQ(script.lines.back().frame, SOAK_FRAMES);
    std::printf("soak: %d games, %d game overs, stages %zu (up to %lld), %d pause toggles\n", games,
                gameOvers, stages.size(), static_cast<long long>(stages.empty() ? 0 : *stages.rbegin()),
                pauses);
    EXPECT_GE(stages.size(), 2u);
    EXPECT_GE(gameOvers, 1);
    EXPECT_GE(games, gameOvers + 1 - (trace.back()["scene"].number == SCENE_TITLE ? 1 : 0));
    EXPECT_GE(games, 2);
    EXPECT_GT(pauses, 0);

    size_t playsKept = 0;
    for (const HeadlessAudioCall& call : kept)
        playsKept += call.op == AUDIO_PLAY;
    EXPECT_EQ(playsKept, 0u);
    EXPECT_GT(plays, kept.size());
}
