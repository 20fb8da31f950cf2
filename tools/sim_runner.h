// The runner behind quillmarsh-sim: the game's own entry, frame loop and scenes on the headless backend,
// driven by an input script or the monkey, writing a trace, screenshots and (on request) a recording.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/input_script.h"

struct SimScreenshot {
    uint32_t frame;
    std::string path;
};

struct SimOptions {
    std::string dir; // empty: stay in the current directory
    bool seedGiven = false;
    uint32_t seed = 0;
    bool framesGiven = false;
    uint32_t frames = 0;
    std::string inputPath;
    std::string tracePath;
    bool traceEnemies = false;
    std::vector<SimScreenshot> screenshots;
    bool monkeyGiven = false;
    uint32_t monkeySeed = 0;
    std::string recordPath; // where to record the session; empty: no recording
};

// Refused options and malformed input scripts: nothing has run.
constexpr int32_t SIM_EXIT_USAGE = 2;
// The run itself ended well but a trace, screenshot or recording asked for could not be written.
constexpr int32_t SIM_EXIT_OUTPUT = 3;

// False with the reason for an unknown option, a missing or malformed value, or options that exclude
// each other.
bool ParseSimArguments(int argc, const char* const* argv, SimOptions* options, std::string* error);
const char* SimUsage();
// Runs the game once and returns the exit code; says on standard error what went wrong, if anything.
int32_t RunSim(const SimOptions& options);
// Holds the keys and the joystick of a script line on the headless backend, as a replay does.
void ApplyHeldControls(const HeldControls& held);
