// Input scripts: what a line holds, what is refused (with its line and why), and lines written back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/input_script.h"
#include "tests/support/test_files.h"

namespace {
InputScript Parse(const std::string& text) {
    InputScript script;
    std::string error;
    EXPECT_TRUE(ParseInputScript(text, &script, &error)) << error;
    return script;
}

std::string Refusal(const std::string& text) {
    InputScript script;
    std::string error;
    EXPECT_FALSE(ParseInputScript(text, &script, &error)) << text;
    EXPECT_TRUE(script.lines.empty());
    return error;
}
} // namespace

TEST(InputScript, LinesHoldKeysJoystickAndEventsInOrder) {
    const InputScript script = Parse("# a session\n"
                                     "seed 4000000000\n"
                                     "\n"
                                     "0:\n"
                                     "12: left up z   # walking\n"
                                     "  13 :x down right jx=0 jy=65535 jb=6\r\n"
                                     "40: esc space inactive active space\n");
    EXPECT_TRUE(script.hasSeed);
    EXPECT_EQ(script.seed, 4000000000u);
    ASSERT_EQ(script.lines.size(), 4u);
    EXPECT_EQ(script.lines[0].frame, 0u);
    EXPECT_TRUE(SameHeld(script.lines[0].held, NOTHING_HELD));
    EXPECT_EQ(script.lines[1].frame, 12u);
    EXPECT_EQ(script.lines[1].held.keys, HELD_LEFT | HELD_UP | HELD_Z);
    EXPECT_EQ(script.lines[1].lineNumber, 5);
    const HeldControls& third = script.lines[2].held;
    EXPECT_EQ(third.keys, HELD_X | HELD_DOWN | HELD_RIGHT);
    EXPECT_EQ(third.joystickX, 0u);
    EXPECT_EQ(third.joystickY, 65535u);
    EXPECT_EQ(third.joystickButtons, 6u);
    // Every line is a whole held set: what a line leaves out is let go.
    EXPECT_EQ(script.lines[3].held.keys, 0);
    EXPECT_EQ(script.lines[3].held.joystickX, JOYSTICK_REST);
    const std::vector<ScriptEvent> events = {EVENT_ESC, EVENT_SPACE, EVENT_INACTIVE, EVENT_ACTIVE,
                                             EVENT_SPACE};
    EXPECT_EQ(script.lines[3].events, events);

    const InputScript empty = Parse("");
    EXPECT_FALSE(empty.hasSeed);
    EXPECT_TRUE(empty.lines.empty());
}

TEST(InputScript, EachMalformedLineIsRefusedWithItsNumberAndReason) {
    EXPECT_EQ(Refusal("0: left\n1: lft\n"),
              "line 2: unknown control 'lft' (expected left right up down z x jx=N jy=N jb=N space esc "
              "inactive active)");
    EXPECT_EQ(Refusal("0: Left"), "line 1: unknown control 'Left' (expected left right up down z x jx=N jy=N "
                                  "jb=N space esc inactive active)");
    EXPECT_EQ(Refusal("# c\n\n5 left\n"), "line 3: expected 'FRAME: controls' or 'seed N', found no ':'");
    EXPECT_EQ(Refusal("-1: left"),
              "line 1: the frame before ':' must be one whole number from 0 to 4294967295");
    EXPECT_EQ(Refusal("4294967296: left"),
              "line 1: the frame before ':' must be one whole number from 0 to 4294967295");
    EXPECT_EQ(Refusal("1 2: left"),
              "line 1: the frame before ':' must be one whole number from 0 to 4294967295");
    EXPECT_EQ(Refusal("0: left\n\n9: z\n9: x\n"), "line 4: frame 9 does not come after frame 9 of line 3");
    EXPECT_EQ(Refusal("10: left\n3: z\n"), "line 2: frame 3 does not come after frame 10 of line 1");
    EXPECT_EQ(Refusal("0: z left z"), "line 1: 'z' is listed twice");
    EXPECT_EQ(Refusal("0: jx=1 jx=2"), "line 1: 'jx' is given twice");
    EXPECT_EQ(Refusal("0: jx=65536"), "line 1: jx needs a whole number from 0 to 65535, not '65536'");
    EXPECT_EQ(Refusal("0: jy=-3"), "line 1: jy needs a whole number from 0 to 65535, not '-3'");
    EXPECT_EQ(Refusal("0: jb="), "line 1: jb needs a whole number from 0 to 4294967295, not ''");
    EXPECT_EQ(Refusal("0: jb=4294967296"),
              "line 1: jb needs a whole number from 0 to 4294967295, not '4294967296'");
    EXPECT_EQ(Refusal("0: jz=5"), "line 1: unknown control 'jz=5' (expected left right up down z x jx=N jy=N "
                                  "jb=N space esc inactive active)");
    EXPECT_EQ(Refusal("seed"), "line 1: 'seed' needs one whole number from 0 to 4294967295");
    EXPECT_EQ(Refusal("seed 1 2"), "line 1: 'seed' needs one whole number from 0 to 4294967295");
    EXPECT_EQ(Refusal("seed 4294967296"), "line 1: 'seed' needs one whole number from 0 to 4294967295");
    EXPECT_EQ(Refusal("seed 5\n0: z\nseed 6\n"), "line 3: a second seed (the first is on line 1)");
}

TEST(InputScript, RefusalsQuoteTheInputShortAndEscaped) {
    // A 1 MB word makes a short line; escape sequences, NULs and bytes that are not UTF-8 are escaped.
    const std::string refusal = Refusal("0: " + std::string(1 << 20, 'q') + "\n");
    EXPECT_EQ(refusal, "line 1: unknown control '" + std::string(40, 'q') +
                           "'... (1048576 bytes) (expected left right up down z x jx=N jy=N jb=N space esc "
                           "inactive active)");
    EXPECT_EQ(Refusal("0: \x1b]0;owned\x07"),
              "line 1: unknown control '\\x1B]0;owned\\x07' (expected left right up down z x jx=N jy=N jb=N "
              "space esc inactive active)");
    EXPECT_EQ(Refusal(std::string("0: z\0x\xff", 7)),
              "line 1: unknown control 'z\\x00x\\xFF' (expected left right up down z x jx=N jy=N jb=N space "
              "esc inactive active)");
    EXPECT_EQ(Refusal("0: jx=\x1b[31m"), "line 1: jx needs a whole number from 0 to 65535, not '\\x1B[31m'");
}

TEST(InputScript, AByteOrderMarkStartingTheScriptIsSkipped) {
    const InputScript script = Parse("\xEF\xBB\xBF"
                                     "seed 7\n0: z\n");
    EXPECT_TRUE(script.hasSeed);
    EXPECT_EQ(script.seed, 7u);
    ASSERT_EQ(script.lines.size(), 1u);
    EXPECT_EQ(Parse("\xEF\xBB\xBF").lines.size(), 0u);
    EXPECT_EQ(Parse("\xEF\xBB\xBF"
                    "5: x")
                  .lines.at(0)
                  .frame,
              5u);
    // Only at the very start: anywhere else it is no part of a frame number.
    EXPECT_EQ(Refusal("0: z\n\xEF\xBB\xBF"
                      "5: x"),
              "line 2: the frame before ':' must be one whole number from 0 to 4294967295");
    EXPECT_EQ(Refusal("\xEF\xBB\xBF\xEF\xBB\xBF"
                      "5: x"),
              "line 1: the frame before ':' must be one whole number from 0 to 4294967295");
}

TEST(InputScript, BoundariesOfTheNumbersAreAccepted) {
    const InputScript script = Parse("seed 0\n0: jx=65535 jy=0 jb=4294967295\n4294967295: left\n");
    EXPECT_EQ(script.seed, 0u);
    EXPECT_TRUE(script.hasSeed);
    EXPECT_EQ(script.lines[0].held.joystickX, 65535u);
    EXPECT_EQ(script.lines[0].held.joystickY, 0u);
    EXPECT_EQ(script.lines[0].held.joystickButtons, 4294967295u);
    EXPECT_EQ(script.lines[1].frame, 4294967295u);
}

TEST(InputScript, WrittenLinesReadBackAsTheSameControls) {
    const HeldControls held = {HELD_RIGHT | HELD_DOWN | HELD_X, 12, JOYSTICK_REST, 3};
    const std::string line = FormatScriptLine(77, held, {EVENT_INACTIVE, EVENT_ACTIVE, EVENT_SPACE});
    EXPECT_EQ(line, "77: right down x jx=12 jb=3 inactive active space");
    const InputScript script = Parse(line);
    ASSERT_EQ(script.lines.size(), 1u);
    EXPECT_TRUE(SameHeld(script.lines[0].held, held));
    EXPECT_EQ(script.lines[0].events.size(), 3u);
    EXPECT_EQ(FormatScriptLine(0, NOTHING_HELD, {}), "0:");
}

TEST(InputScript, FilesAreReadOrSayWhyNot) {
    ScopedWorkDir dir;
    InputScript script;
    std::string error;
    EXPECT_FALSE(ReadInputScript("missing.txt", &script, &error));
    EXPECT_EQ(error, "cannot read missing.txt: No such file or directory");
    std::ofstream("bad.txt") << "0: z\n1: zz\n";
    EXPECT_FALSE(ReadInputScript("bad.txt", &script, &error));
    EXPECT_EQ(error, "bad.txt: line 2: unknown control 'zz' (expected left right up down z x jx=N jy=N jb=N "
                     "space esc inactive active)");
    std::filesystem::create_directory("folder.txt");
    EXPECT_FALSE(ReadInputScript("folder.txt", &script, &error));
    EXPECT_EQ(error, "cannot read folder.txt: it is a folder");
    // Bounded: one byte over the limit is refused with the size, the limit itself is read (and then
    // refused for what it holds).
    std::ofstream("huge.txt") << "0: z\n";
    std::filesystem::resize_file("huge.txt", INPUT_SCRIPT_MAX_BYTES + 1);
    EXPECT_FALSE(ReadInputScript("huge.txt", &script, &error));
    EXPECT_EQ(error, "cannot read huge.txt: it is over 64 MB (67108865 bytes), far more than any script or "
                     "recording");
    std::filesystem::resize_file("huge.txt", INPUT_SCRIPT_MAX_BYTES);
    EXPECT_FALSE(ReadInputScript("huge.txt", &script, &error));
    EXPECT_EQ(error.rfind("huge.txt: line 2: ", 0), 0u) << error.substr(0, 200);
#if !defined(_WIN32)
    EXPECT_FALSE(ReadInputScript("/dev/zero", &script, &error));
    EXPECT_EQ(error, "cannot read /dev/zero: it is over 64 MB (it does not end), far more than any script or "
                     "recording");
#endif
    std::ofstream("good.txt") << "seed 9\n3: down";
    ASSERT_TRUE(ReadInputScript("good.txt", &script, &error)) << error;
    EXPECT_EQ(script.seed, 9u);
    EXPECT_EQ(script.lines.at(0).held.keys, HELD_DOWN);
}
