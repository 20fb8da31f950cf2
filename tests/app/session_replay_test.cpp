// A recording watched in the game (its own replay, on the headless backend) against the same recording in
// the runner: the same trace, fast-forward changing no frame, the player taking over, and refusals.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/frame_trace.h"
#include "app/input_script.h"
#include "app/main_window.h"
#include "app/session_record.h"
#include "app/session_replay.h"
#include "base/random.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_input.h"
#include "tests/support/generated_assets.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tools/sim_runner.h"

namespace {
void WriteText(const char* path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// The line without its "time" field: the one field fast-forward may change.
std::string Timeless(const std::string& line) {
    const size_t at = line.find("\"time\":");
    const size_t end = line.find(',', at);
    return at == std::string::npos ? line : line.substr(0, at) + line.substr(end + 1);
}

std::string TimeOf(const std::string& line) {
    const size_t at = line.find("\"time\":") + 7;
    return line.substr(at, line.find(',', at) - at);
}

// What the game's replay is given while it runs: the live player's keys and key-downs by frame.
struct LivePlayer {
    uint32_t fastForwardFrom = UINT32_MAX; // Tab held from this frame ...
    uint32_t fastForwardTo = 0;            // ... to this one
    uint32_t rightFrom = UINT32_MAX;       // the right arrow held from this frame on
};

struct GameRun {
    LivePlayer live;
    std::vector<std::string> trace;
    std::vector<std::string> notices;
};
GameRun* gameRun = nullptr;

void SetLiveKeys(uint32_t frame) {
    const LivePlayer& live = gameRun->live;
    HeadlessSetKey(VK_TAB, frame >= live.fastForwardFrom && frame <= live.fastForwardTo);
    HeadlessSetKey(VK_RIGHT, frame >= live.rightFrom);
}

// The runner's own trace line for each presented frame, and the keys the next frame is sampled with.
void TraceGameFrame(uint32_t presentCount) {
    const uint32_t frame = presentCount - 1;
    const std::vector<FrameSound> sounds = TakeFrameSounds();
    HeadlessAudioForgetCalls();
    gameRun->trace.push_back(FrameTraceLine(frame, HeadlessClock(), sounds,
                                            FramePicture{HeadlessFrame(), HeadlessFramePalette()}, true));
    SetLiveKeys(frame + 1);
}

void NoteNotice(const char* line) {
    gameRun->notices.push_back(line);
}

class GameReplay : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        std::string error;
        ASSERT_TRUE(CopyGeneratedAssets(&error)) << error;
    }
    void TearDown() override { ResetGameProcess(); }

    // quillmarsh-sim --input path --trace --trace-enemies [--frames]: its trace lines.
    std::vector<std::string> RunnerTrace(const char* path, uint32_t frames = 0, const char* record = "") {
        ResetGameProcess();
        SimOptions options;
        options.inputPath = path;
        options.tracePath = "runner.jsonl";
        options.traceEnemies = true;
        options.framesGiven = frames != 0;
        options.frames = frames;
        options.recordPath = record;
        EXPECT_EQ(RunSim(options), 0);
        return Lines(ReadText("runner.jsonl"));
    }

    // The game's entry on the headless backend with the recording at path as its replay, the clock where
    // the runner starts it; live plays the player's part. Recorded to record when given.
    GameRun PlayInGame(const char* path, const LivePlayer& live, const char* record = nullptr,
                       const std::vector<uint32_t>& liveSpaces = {}, uint32_t liveEsc = 0) {
        ResetGameProcess();
        GameRun run;
        run.live = live;
        gameRun = &run;
        std::string error;
        EXPECT_TRUE(LoadSessionReplay(path, &error)) << error;
        SetSessionReplayNotice(NoteNotice);
        InputScript script;
        EXPECT_TRUE(ReadInputScript(path, &script, &error));
        HeadlessSetClock(script.hasSeed ? script.seed : 0);
        HeadlessSetClockStep(1);
        for (uint32_t frame : liveSpaces)
            HeadlessScheduleKeyDown(frame, VK_SPACE, false);
        if (liveEsc) HeadlessScheduleKeyDown(liveEsc, VK_ESCAPE, false);
        // Bounded as the runner's --frames bounds it, so a replay that lost its end still ends.
        HeadlessScheduleMessage(1000, WM_CLOSE, 0, 0);
        if (record) {
            EXPECT_TRUE(StartSessionRecord(record));
        }
        SetLiveKeys(0);
        StartSoundCapture();
        HeadlessSetPresentHook(TraceGameFrame);
        EXPECT_EQ(WinMain(nullptr, nullptr, "", SW_SHOWNORMAL), 0);
        HeadlessSetPresentHook(nullptr);
        StopSoundCapture();
        EXPECT_TRUE(StopSessionRecord());
        gameRun = nullptr;
        return run;
    }
    ScopedWorkDir dir;
};

// Everything a player can do: the title, keys, the stick inside and outside its dead zone, its buttons, a
// pause, the focus lost and regained within a frame and across frames, and Esc to end.
constexpr const char* PLAYED = "seed 4242\n"
                               "0:\n"
                               "50: z\n"
                               "52:\n"
                               "60: z\n"
                               "62:\n"
                               "150: right z\n"
                               "170: jx=0 jy=30000\n"
                               "175: jy=65535 jb=1\n"
                               "180: up x\n"
                               "190: left space\n"
                               "200: left space\n"
                               "210: down inactive active\n"
                               "215: inactive\n"
                               "216: active z\n"
                               "240: esc\n";
} // namespace

TEST_F(GameReplay, TheGameReplaysARecordingToTheRunnersTrace) {
    WriteText("played.txt", PLAYED);
    const std::vector<std::string> runner = RunnerTrace("played.txt");
    ASSERT_EQ(runner.size(), 240u);
    // The player's keys, a Space and a held arrow, count for nothing while the recording plays.
    const GameRun game = PlayInGame("played.txt", LivePlayer{UINT32_MAX, 0, 100}, nullptr, {120, 121});
    ASSERT_EQ(game.trace.size(), runner.size());
    for (size_t i = 0; i < runner.size(); ++i)
        ASSERT_EQ(game.trace[i], runner[i]) << "frame " << i;
    // Ended by its Esc: nobody took over.
    EXPECT_TRUE(game.notices.empty());
    EXPECT_EQ(qm::RandomSeed(), 4242u);
}

TEST_F(GameReplay, EscQuitsWhileTheRecordingPlays) {
    WriteText("played.txt", PLAYED);
    const GameRun game = PlayInGame("played.txt", LivePlayer{}, "quit.txt", {}, 100);
    EXPECT_EQ(game.trace.size(), 100u);
    EXPECT_TRUE(game.notices.empty());
    // The recording up to the player's Esc: what the replay played, then the close.
    EXPECT_EQ(ReadText("quit.txt"), "seed 4242\n0:\n50: z\n52:\n60: z\n62:\n100: esc\n");
}

TEST_F(GameReplay, FastForwardChangesNoFrameOnlyTheClock) {
    WriteText("played.txt", PLAYED);
    const GameRun paced = PlayInGame("played.txt", LivePlayer{});
    // Tab held from the title's wave, through the start of play, the pause and the lost focus.
    const GameRun fast = PlayInGame("played.txt", LivePlayer{40, 220, UINT32_MAX});
    ASSERT_EQ(paced.trace.size(), 240u);
    ASSERT_EQ(fast.trace.size(), paced.trace.size());
    for (size_t i = 0; i < paced.trace.size(); ++i)
        ASSERT_EQ(Timeless(fast.trace[i]), Timeless(paced.trace[i])) << "frame " << i;
    // The frames did run sooner: not one of them waited for the gate.
    EXPECT_EQ(TimeOf(fast.trace[39]), TimeOf(paced.trace[39]));
    EXPECT_LT(std::stoul(TimeOf(fast.trace[40])), std::stoul(TimeOf(paced.trace[40])));
    EXPECT_LT(std::stoul(TimeOf(fast.trace[220])) + 1000, std::stoul(TimeOf(paced.trace[220])));
}

TEST_F(GameReplay, ThePlayerTakesOverWhereTheRecordingEndsAndBothAreRecorded) {
    // A session recorded by the runner, cut in mid-stage after frame 200's line.
    WriteText("played.txt", PLAYED);
    RunnerTrace("played.txt", 0, "session.txt");
    std::string cut;
    for (const std::string& line : Lines(ReadText("session.txt"))) {
        if (line.rfind("seed", 0) != 0 && std::stoul(line) > 200) break;
        cut += line + "\n";
    }
    ASSERT_EQ(cut.substr(cut.size() - 17), "\n200: left space\n");
    WriteText("cut.txt", cut);

    // Live: the right arrow from frame 190 (ignored until the replay ends), Esc at 300.
    const GameRun game = PlayInGame("cut.txt", LivePlayer{UINT32_MAX, 0, 190}, "both.txt", {}, 300);
    ASSERT_EQ(game.trace.size(), 300u);
    ASSERT_EQ(game.notices.size(), 1u);
    EXPECT_EQ(game.notices[0],
              "quillmarsh: the replay has ended after frame 200; the game goes on under your "
              "controls");
    const std::string both = ReadText("both.txt");
    // The replayed frames as they were recorded, then the player's.
    EXPECT_EQ(both.substr(0, cut.size()), cut);
    EXPECT_EQ(both.substr(cut.size()), "201: right\n300: right esc\n");
    // Up to the cut the game went as the runner goes on the cut file.
    const std::vector<std::string> runnerCut = RunnerTrace("cut.txt", 202);
    for (size_t i = 0; i <= 200; ++i)
        ASSERT_EQ(game.trace[i], runnerCut[i]) << "frame " << i;
    EXPECT_NE(game.trace[210], RunnerTrace("cut.txt", 300)[210]); // the player's right arrow counted

    // The whole of it replays to the same trace, in the runner and in the game.
    EXPECT_EQ(RunnerTrace("both.txt"), game.trace);
    const GameRun again = PlayInGame("both.txt", LivePlayer{});
    EXPECT_EQ(again.trace, game.trace);
}

TEST_F(GameReplay, AFileThatIsNoRecordingIsRefusedWithTheRunnersMessage) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"seed 7\n0:\n40: z\n4", "bad.txt: line 4: expected 'FRAME: controls' or 'seed N', found no ':'"},
        {"seed 7\n0:\n40: z\n45: rig", "bad.txt: line 4: unknown control 'rig'"},
        {"seed 7\n0:\n40: z\n30: x\n", "bad.txt: line 4: frame 30 does not come after frame 40 of line 3"},
        {"0:\n12: z jump\n", "bad.txt: line 2: unknown control 'jump'"},
    };
    for (const auto& c : cases) {
        WriteText("bad.txt", c.text);
        std::string error;
        EXPECT_FALSE(LoadSessionReplay("bad.txt", &error)) << c.text;
        EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error);
        EXPECT_FALSE(SessionReplayActive());
        // The runner refuses it with the same words.
        InputScript script;
        std::string runnerError;
        EXPECT_FALSE(ReadInputScript("bad.txt", &script, &runnerError));
        EXPECT_EQ(error, runnerError);
    }
}
