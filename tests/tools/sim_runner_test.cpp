// quillmarsh-sim's runner on the real asset tree: its options, the trace against the game's own records,
// screenshots, seeds, and recordings replayed frame for frame.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/frame_trace.h"
#include "app/input_script.h"
#include "app/main_window.h"
#include "base/random.h"
#include "game/enemy.h"
#include "game/game_vars.h"
#include "game/map.h"
#include "game/player.h"
#include "game/title_scene.h"
#include "input/controls.h"
#include "platform/headless/headless.h"
#include "sound/sound_group.h"
#include "tests/support/generated_assets.h"
#include "tests/support/json_value.h"
#include "tests/support/png_read.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "tools/sim_runner.h"
#include "video/display.h"

namespace {
bool Parse(std::vector<const char*> args, SimOptions* options, std::string* error) {
    args.insert(args.begin(), "quillmarsh-sim");
    return ParseSimArguments(static_cast<int>(args.size()), args.data(), options, error);
}

std::string Refusal(std::vector<const char*> args) {
    SimOptions options;
    std::string error;
    EXPECT_FALSE(Parse(args, &options, &error));
    return error;
}

void WriteText(const char* path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<JsonValue> ReadTrace(const char* path) {
    std::vector<JsonValue> frames;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        JsonValue v;
        EXPECT_TRUE(ParseJson(line, &v)) << line;
        frames.push_back(v);
    }
    return frames;
}

// Z pressed twice on the title, the first press skipping the wave, the second starting a game.
constexpr const char* START_GAME = "0:\n"
                                   "50: z   # the fade-in is over, the line still waves\n"
                                   "52:\n"
                                   "60: z\n"
                                   "62:\n";

class Sim : public testing::Test {
  protected:
    void SetUp() override {
        ResetGameProcess();
        std::string error;
        ASSERT_TRUE(CopyGeneratedAssets(&error)) << error;
    }
    void TearDown() override { ResetGameProcess(); }
    int32_t Run(const SimOptions& options) {
        ResetGameProcess();
        return RunSim(options);
    }
    ScopedWorkDir dir;
};
} // namespace

TEST(SimArguments, OptionsAreReadWithTheirValues) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(
        Parse({"--dir", "game", "--seed", "4294967295", "--frames", "0", "--input", "in.txt", "--trace",
               "t.jsonl", "--trace-enemies", "--screenshot", "7:a.png", "--screenshot", "0:b:c.png"},
              &options, &error))
        << error;
    EXPECT_EQ(options.dir, "game");
    EXPECT_TRUE(options.seedGiven);
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_TRUE(options.framesGiven);
    EXPECT_EQ(options.frames, 0u);
    EXPECT_EQ(options.inputPath, "in.txt");
    EXPECT_EQ(options.tracePath, "t.jsonl");
    EXPECT_TRUE(options.traceEnemies);
    ASSERT_EQ(options.screenshots.size(), 2u);
    EXPECT_EQ(options.screenshots[0].frame, 7u);
    EXPECT_EQ(options.screenshots[0].path, "a.png");
    EXPECT_EQ(options.screenshots[1].path, "b:c.png"); // only the first colon ends the frame
    EXPECT_FALSE(options.monkeyGiven);

    ASSERT_TRUE(Parse({}, &options, &error));
    EXPECT_FALSE(options.seedGiven);
    EXPECT_FALSE(options.framesGiven);
    EXPECT_TRUE(options.dir.empty());
    ASSERT_TRUE(Parse({"--monkey", "12"}, &options, &error));
    EXPECT_TRUE(options.monkeyGiven);
    EXPECT_EQ(options.monkeySeed, 12u);
}

TEST(SimArguments, MalformedOptionsAreRefusedWithTheReason) {
    EXPECT_EQ(Refusal({"--frame", "3"}), "unknown option '--frame'");
    EXPECT_EQ(Refusal({"--frames"}), "--frames needs a value");
    EXPECT_EQ(Refusal({"--frames", "-1"}), "--frames needs a whole number from 0 to 4294967295, not '-1'");
    EXPECT_EQ(Refusal({"--seed", "4294967296"}), "--seed needs a whole number from 0 to 4294967295, not "
                                                 "'4294967296'");
    EXPECT_EQ(Refusal({"--monkey", "x"}), "--monkey needs a whole number from 0 to 4294967295, not 'x'");
    EXPECT_EQ(Refusal({"--screenshot", "12"}), "--screenshot needs FRAME:FILE, not '12'");
    EXPECT_EQ(Refusal({"--screenshot", "12:"}), "--screenshot needs FRAME:FILE, not '12:'");
    EXPECT_EQ(Refusal({"--screenshot", "a:b.png"}), "--screenshot needs FRAME:FILE, not 'a:b.png'");
    EXPECT_EQ(Refusal({"--seed", "1", "--seed", "2"}), "--seed is given twice");
    EXPECT_EQ(Refusal({"--input", "a", "--monkey", "1"}), "--input and --monkey cannot be used together");
    EXPECT_EQ(Refusal({"--dir", ""}), "--dir needs a folder");
    EXPECT_EQ(Refusal({"--input", ""}), "--input needs a file");
    EXPECT_EQ(Refusal({"--trace", ""}), "--trace needs a file");
    EXPECT_EQ(Refusal({"--trace", "t.jsonl", "--input", ""}), "--input needs a file");
    // What was typed is quoted short and escaped.
    EXPECT_EQ(Refusal({"--\x1b[2J"}), "unknown option '--\\x1B[2J'");
    const std::string longNumber(100, '9');
    EXPECT_EQ(Refusal({"--seed", longNumber.c_str()}),
              "--seed needs a whole number from 0 to 4294967295, not '" + std::string(40, '9') +
                  "'... (100 bytes)");
}

TEST_F(Sim, TheFirstTitleFrameIsTracedAsTheGameHoldsIt) {
    SimOptions options;
    options.seedGiven = true;
    options.seed = 123456;
    options.framesGiven = true;
    options.frames = 1;
    options.tracePath = "trace.jsonl";
    EXPECT_EQ(Run(options), 0);
    // The start-up seeded the game's generator with the clock's first value.
    EXPECT_EQ(qm::RandomSeed(), 123456u);
    const std::vector<JsonValue> trace = ReadTrace("trace.jsonl");
    ASSERT_EQ(trace.size(), 1u);
    const JsonValue& f = trace[0];
    const std::vector<std::string> fields = {"frame",  "time",    "scene",   "paused",  "title",
                                             "game",   "player",  "scroll",  "enemies", "input",
                                             "sounds", "display", "palette", "image"};
    EXPECT_EQ(f.order, fields);
    EXPECT_EQ(f["frame"].number, 0);
    // Seed read, the gate's first two reads, and the present: the frame shows 3 ms after the seed.
    EXPECT_EQ(f["time"].number, 123456 + 3);
    EXPECT_EQ(f["scene"].number, SCENE_TITLE);
    EXPECT_EQ(f["paused"].number, 0);
    EXPECT_EQ(f["title"]["phase"].number, PHASE_RUN);
    EXPECT_EQ(f["title"]["state"].number, TITLE_FADE_IN);
    EXPECT_EQ(f["title"]["timer"].number, TITLE_WAVE_FRAMES);
    EXPECT_EQ(f["title"]["best"].number, 0);
    EXPECT_EQ(f["game"]["stage"].number, 0);
    EXPECT_EQ(f["game"]["lives"].number, 0);
    EXPECT_EQ(f["enemies"]["count"].number, 0);
    EXPECT_FALSE(f["enemies"].Has("list"));
    EXPECT_EQ(f["input"]["direction"].number, 5);
    EXPECT_EQ(f["input"]["dirBits"].number, 0);
    EXPECT_EQ(f["sounds"].kind, JsonValue::ARRAY);
    EXPECT_TRUE(f["sounds"].items.empty());
    EXPECT_EQ(f["display"]["width"].number, 320);
    EXPECT_EQ(f["display"]["height"].number, 240);
    EXPECT_EQ(f["display"]["copyPresent"].number, copyPresent);
    EXPECT_EQ(f["palette"].text, HashText(PaletteHash(HeadlessFramePalette())));
    EXPECT_EQ(f["image"].text, HashText(ImageHash(HeadlessFrame())));
    // The first fade step is still black, and the picture is not all one colour.
    EXPECT_NE(f["image"].text, HashText(Fnv1a64(std::vector<uint8_t>(320 * 240, 0).data(), 320 * 240)));
}

TEST_F(Sim, TheSettingsFileSwitchesTheTracedModeTo640) {
    WriteText("Setting.ini", "Mode=1\n");
    SimOptions options;
    options.framesGiven = true;
    options.frames = 2;
    options.tracePath = "trace.jsonl";
    EXPECT_EQ(Run(options), 0);
    const std::vector<JsonValue> trace = ReadTrace("trace.jsonl");
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[1]["display"]["width"].number, 640);
    EXPECT_EQ(trace[1]["display"]["height"].number, 480);
    EXPECT_EQ(trace[1]["display"]["copyPresent"].number, 1);
}

TEST_F(Sim, AScriptedStartAndWalkIsTracedFrameByFrame) {
    WriteText("start.txt", std::string(START_GAME) + "100: right   # the title ignores arrows\n");
    SimOptions options;
    options.inputPath = "start.txt";
    options.framesGiven = true;
    options.frames = 260;
    options.tracePath = "trace.jsonl";
    options.traceEnemies = true;
    EXPECT_EQ(Run(options), 0);
    const std::vector<JsonValue> trace = ReadTrace("trace.jsonl");
    ASSERT_EQ(trace.size(), 260u);
    for (size_t i = 0; i < trace.size(); ++i)
        ASSERT_EQ(trace[i]["frame"].number, static_cast<int64_t>(i));
    for (size_t i = 1; i < trace.size(); ++i)
        ASSERT_EQ(trace[i]["time"].number - trace[i - 1]["time"].number, 11) << i;

    // The first press skips the wave and is latched: one frame sees it.
    EXPECT_EQ(trace[49]["title"]["state"].number, TITLE_WAVE);
    EXPECT_EQ(trace[50]["title"]["state"].number, TITLE_WAIT);
    EXPECT_EQ(trace[50]["title"]["timer"].number, 0);
    EXPECT_EQ(trace[50]["input"]["buttons"].number, BUTTON_1);
    EXPECT_EQ(trace[51]["input"]["buttons"].number, 0);
    // The second starts the game with the door sound; nothing else sounds on the title.
    for (size_t i = 0; i < 60; ++i) {
        ASSERT_TRUE(trace[i]["sounds"].items.empty()) << i;
        ASSERT_EQ(trace[i]["game"]["lives"].number, 0) << i;
    }
    ASSERT_EQ(trace[60]["sounds"].items.size(), 1u);
    const JsonValue& door = trace[60]["sounds"][0];
    EXPECT_EQ(door[0].number, SND_DOOR);
    EXPECT_EQ(door[1].number, 0);
    EXPECT_EQ(door[2].number, 0);
    EXPECT_EQ(door[3].number, 0);
    EXPECT_EQ(trace[60]["title"]["state"].number, TITLE_FADE_OUT);
    EXPECT_EQ(trace[60]["game"]["stage"].number, 1);
    EXPECT_EQ(trace[60]["game"]["lives"].number, 2);

    // The scene changes once; from then on the game runs its stage.
    size_t firstGame = 0;
    for (size_t i = 0; i < trace.size() && !firstGame; ++i)
        if (trace[i]["scene"].number == SCENE_GAME) firstGame = i;
    ASSERT_GT(firstGame, 60u);
    EXPECT_EQ(trace[firstGame - 1]["title"]["phase"].number, PHASE_UNLOAD);
    EXPECT_EQ(trace[firstGame]["title"]["phase"].number, PHASE_LOAD);
    EXPECT_EQ(trace[firstGame]["game"]["phase"].number, PHASE_LOAD); // the title's unload frame
    const JsonValue& loaded = trace[firstGame + 1];
    EXPECT_EQ(loaded["game"]["phase"].number, PHASE_RUN);
    EXPECT_EQ(loaded["game"]["state"].number, GAME_INTRO);
    EXPECT_EQ(loaded["game"]["light"].number, LIGHT_MAX);
    EXPECT_GT(loaded["enemies"]["count"].number, 0);
    EXPECT_EQ(static_cast<int64_t>(loaded["enemies"]["list"].items.size()),
              loaded["enemies"]["count"].number);

    // Play: the light runs down by 4 a frame, the held arrow steers right.
    size_t playing = 0;
    for (size_t i = firstGame; i < trace.size(); ++i) {
        const JsonValue& f = trace[i];
        if (f["game"]["state"].number != GAME_PLAY || trace[i - 1]["game"]["state"].number != GAME_PLAY)
            continue;
        ++playing;
        EXPECT_EQ(f["game"]["light"].number, trace[i - 1]["game"]["light"].number - 4) << i;
        EXPECT_EQ(f["input"]["direction"].number, 6);
        EXPECT_EQ(f["input"]["dirBits"].number, DIR_RIGHT);
        EXPECT_EQ(f["player"]["facing"].number, DIR_RIGHT);
    }
    EXPECT_GT(playing, 40u);

    // The last line is the game's records as the run left them.
    const JsonValue& last = trace.back();
    EXPECT_EQ(last["game"]["state"].number, GameState);
    EXPECT_EQ(last["game"]["light"].number, lightLevel);
    EXPECT_EQ(last["game"]["sealChance"].number, sealChance);
    EXPECT_EQ(last["player"]["x"].number, player.body.x);
    EXPECT_EQ(last["player"]["y"].number, player.body.y);
    EXPECT_EQ(last["player"]["sequence"].number, player.body.anim.sequence);
    EXPECT_EQ(last["player"]["step"].number, player.body.anim.step);
    EXPECT_EQ(last["player"]["tick"].number, player.body.anim.tick);
    EXPECT_EQ(last["scroll"][0].number, scrollX);
    EXPECT_EQ(last["scroll"][1].number, scrollY);
    ASSERT_EQ(last["enemies"]["count"].number, enemyList.count);
    const Enemy* e = enemyList.head->next;
    for (const JsonValue& traced : last["enemies"]["list"].items) {
        ASSERT_NE(e, enemyList.tail);
        EXPECT_EQ(traced["x"].number, e->body.x);
        EXPECT_EQ(traced["y"].number, e->body.y);
        EXPECT_EQ(traced["kind"].number, e->kind);
        EXPECT_EQ(traced["speed"].number, e->speed);
        EXPECT_EQ(traced["sight"].number, e->sightRadius);
        EXPECT_EQ(traced["delay"].number, e->delay);
        EXPECT_EQ(traced["variant"].number, e->variant);
        EXPECT_EQ(traced["facing"].number, e->body.facing);
        EXPECT_EQ(traced["timer"].number, e->timer);
        e = e->next;
    }
    EXPECT_EQ(e, enemyList.tail);
}

TEST_F(Sim, ScreenshotsAreThePresentedFrameThroughItsPalette) {
    WriteText("start.txt", START_GAME);
    SimOptions options;
    options.inputPath = "start.txt";
    options.framesGiven = true;
    options.frames = 181;
    options.tracePath = "trace.jsonl";
    options.screenshots = {{180, "late.png"}, {20, "shots/missing-folder.png"}};
    std::filesystem::create_directory("shots");
    options.screenshots[1].path = "shots/fade.png";
    EXPECT_EQ(Run(options), 0);
    // Frame 180 is the last, so the backend still holds what it showed.
    RgbPicture picture;
    std::string why;
    ASSERT_TRUE(ReadPngRgb("late.png", &picture, &why)) << why;
    ASSERT_EQ(picture.width, 320u);
    ASSERT_EQ(picture.height, 240u);
    const std::vector<uint8_t>& rgb = picture.rgb;
    const uint8_t* shown = HeadlessFrame();
    const PaletteEntry* palette = HeadlessFramePalette();
    int32_t wrong = 0, colours = 0;
    std::vector<bool> seen(256, false);
    for (size_t i = 0; i < 320 * 240; ++i) {
        const PaletteEntry& e = palette[shown[i]];
        if (rgb[i * 3] != e.red || rgb[i * 3 + 1] != e.green || rgb[i * 3 + 2] != e.blue) ++wrong;
        if (!seen[shown[i]]) ++colours;
        seen[shown[i]] = true;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(colours, 4); // a stage in play, not a blank screen
    EXPECT_TRUE(std::filesystem::exists("shots/fade.png"));
    const std::vector<JsonValue> trace = ReadTrace("trace.jsonl");
    ASSERT_EQ(trace.size(), 181u);
    EXPECT_EQ(trace[180]["image"].text, HashText(ImageHash(shown)));
    EXPECT_EQ(trace[180]["palette"].text, HashText(PaletteHash(palette)));
}

TEST_F(Sim, AScreenshotOfAFrameThatNeverRanIsAnOutputFailure) {
    SimOptions options;
    options.framesGiven = true;
    options.frames = 3;
    options.screenshots = {{3, "never.png"}, {2, "last.png"}};
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(options), SIM_EXIT_OUTPUT);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("frame 3 never ran"), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::exists("never.png"));
    EXPECT_TRUE(std::filesystem::exists("last.png"));
}

TEST_F(Sim, AMalformedScriptStopsTheRunBeforeAnythingRuns) {
    WriteText("bad.txt", "0: z\n\n7: left jx=70000\n");
    SimOptions options;
    options.inputPath = "bad.txt";
    options.tracePath = "trace.jsonl";
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(options), SIM_EXIT_USAGE);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quillmarsh-sim: bad.txt: line 3: jx needs a whole number from 0 to 65535, not '70000'\n");
    EXPECT_EQ(HeadlessPresentCount(), 0u);
    EXPECT_FALSE(std::filesystem::exists("trace.jsonl"));
}

TEST_F(Sim, EscAndTheFocusInTheScriptActAsThePlayersWould) {
    // Focus lost before frame 10 and back before 11: no frame in between, numbering goes on.
    WriteText("script.txt", "10: inactive\n11: active\n30: esc\n");
    SimOptions options;
    options.inputPath = "script.txt";
    options.tracePath = "trace.jsonl";
    EXPECT_EQ(Run(options), 0);
    const std::vector<JsonValue> trace = ReadTrace("trace.jsonl");
    EXPECT_EQ(trace.size(), 30u);
    EXPECT_FALSE(HeadlessClosedForIdle());

    // Focus lost for good: the run stops there and the close request still ends it normally.
    WriteText("script.txt", "10: inactive\n");
    options.framesGiven = true;
    options.frames = 50;
    EXPECT_EQ(Run(options), 0);
    EXPECT_EQ(ReadTrace("trace.jsonl").size(), 10u);
}

TEST_F(Sim, TheSameSeedGivesTheSameTraceAndAnotherSeedAnother) {
    WriteText("start.txt", std::string(START_GAME) + "160: down left z\n190: up\n");
    SimOptions options;
    options.inputPath = "start.txt";
    options.framesGiven = true;
    options.frames = 230;
    options.seedGiven = true;
    options.seed = 77;
    options.tracePath = "a.jsonl";
    options.traceEnemies = true;
    EXPECT_EQ(Run(options), 0);
    options.tracePath = "b.jsonl";
    EXPECT_EQ(Run(options), 0);
    options.seed = 78;
    options.tracePath = "c.jsonl";
    EXPECT_EQ(Run(options), 0);
    const std::string a = ReadText("a.jsonl"), b = ReadText("b.jsonl"), c = ReadText("c.jsonl");
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    // The stage starts differently: the player's place is drawn from the seeded generator.
    const std::vector<JsonValue> ta = ReadTrace("a.jsonl"), tc = ReadTrace("c.jsonl");
    ASSERT_EQ(ta.size(), tc.size());
    const JsonValue& pa = ta.back()["player"];
    const JsonValue& pc = tc.back()["player"];
    EXPECT_TRUE(pa["x"].number != pc["x"].number || pa["y"].number != pc["y"].number);

    // A seed in the script counts unless the command line gives one.
    WriteText("start.txt", std::string("seed 78\n") + START_GAME + "160: down left z\n190: up\n");
    options.seedGiven = false;
    options.tracePath = "d.jsonl";
    EXPECT_EQ(Run(options), 0);
    EXPECT_EQ(ReadText("d.jsonl"), c);
    options.seedGiven = true;
    options.seed = 77;
    options.tracePath = "e.jsonl";
    EXPECT_EQ(Run(options), 0);
    EXPECT_EQ(ReadText("e.jsonl"), a);
}

TEST_F(Sim, ARecordedSessionReplaysToTheSameTrace) {
    // Everything a player can do: keys, the stick inside and outside its dead zone, its buttons, a pause,
    // the focus lost and regained, and Esc to end.
    WriteText("play.txt", std::string("seed 4242\n") + START_GAME +
                              "150: right z\n"
                              "170: jx=0 jy=30000\n"
                              "175: jy=65535 jb=1\n"
                              "180: up x\n"
                              "190: left space\n"
                              "200: left space\n"
                              "210: down inactive active\n"
                              "215: inactive\n"
                              "216: active z\n"
                              "240: esc\n");
    SimOptions options;
    options.inputPath = "play.txt";
    options.tracePath = "played.jsonl";
    options.traceEnemies = true;
    options.recordPath = "session.txt";
    // Every run is bounded, so a recording that lost its Esc ends all the same (and fails the comparison).
    options.framesGiven = true;
    options.frames = 300;
    EXPECT_EQ(Run(options), 0);
    const std::string recorded = ReadText("session.txt");
    // The seed, frame 0 and then only the frames where something changed.
    EXPECT_EQ(recorded.substr(0, recorded.find('\n', recorded.find('\n') + 1) + 1), "seed 4242\n0:\n");
    EXPECT_NE(recorded.find("\n170: jx=0 jy=30000\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("\n190: left space\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("\n210: down inactive active\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("\n215: inactive active\n216: z\n"), std::string::npos) << recorded;
    EXPECT_EQ(recorded.substr(recorded.size() - 12), "\n240: z esc\n");
    EXPECT_EQ(recorded.find("\n100:"), std::string::npos); // nothing changed there

    options.inputPath = "session.txt";
    options.tracePath = "replayed.jsonl";
    options.recordPath = "again.txt";
    EXPECT_EQ(Run(options), 0);
    const std::string played = ReadText("played.jsonl");
    EXPECT_EQ(ReadTrace("played.jsonl").size(), 240u);
    EXPECT_EQ(ReadTrace("replayed.jsonl").size(), 240u);
    EXPECT_EQ(ReadText("replayed.jsonl"), played);
    EXPECT_EQ(ReadText("again.txt"), recorded);
}

TEST_F(Sim, ASessionWithNothingPressedIsRecordedWithItsSeed) {
    SimOptions options;
    options.seedGiven = true;
    options.seed = 31337;
    options.framesGiven = true;
    options.tracePath = "played.jsonl";
    options.recordPath = "session.txt";
    // Closed before its first frame, or after five frames of nothing; the frame limit's close is recorded as
    // the Esc that asks for the same.
    const struct {
        uint32_t frames;
        const char* recording;
    } cases[] = {{0, "seed 31337\n0: esc\n"}, {5, "seed 31337\n0:\n5: esc\n"}};
    for (const auto& c : cases) {
        options.frames = c.frames;
        options.inputPath.clear();
        options.tracePath = "played.jsonl";
        options.recordPath = "session.txt";
        EXPECT_EQ(Run(options), 0);
        EXPECT_EQ(ReadText("session.txt"), c.recording);
        // Replayed without the command line's seed, bounded, to the same trace.
        options.seedGiven = false;
        options.frames = c.frames + 50;
        options.inputPath = "session.txt";
        options.tracePath = "replayed.jsonl";
        options.recordPath.clear();
        EXPECT_EQ(Run(options), 0);
        EXPECT_EQ(qm::RandomSeed(), 31337u);
        EXPECT_EQ(ReadTrace("replayed.jsonl").size(), c.frames);
        EXPECT_EQ(ReadText("replayed.jsonl"), ReadText("played.jsonl"));
        options.seedGiven = true;
    }
}
