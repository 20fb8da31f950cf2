// The runner behind quillmarsh-sim: the game's own entry, frame loop and scenes on the headless backend,
// driven by an input script or the monkey, writing a trace, screenshots and (on request) a recording.
#include "tools/sim_runner.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/frame_trace.h"
#include "app/input_script.h"
#include "app/main_window.h"
#include "app/session_record.h"
#include "base/failure.h"
#include "platform/file.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_input.h"
#include "platform/png_file.h"
#include "tools/monkey.h"

namespace {
constexpr const char* USAGE =
    "usage: quillmarsh-sim [--dir DIR] [--seed N] [--frames N] [--input FILE | --monkey SEED]\n"
    "                      [--trace FILE] [--trace-enemies] [--screenshot N:FILE]...\n"
    "QUILLMARSH_RECORD=FILE records the session as an input script.\n";

// What the present hook needs; the hook is a plain function, so the run lives here.
struct SimRun {
    const SimOptions* options = nullptr;
    InputScript script;
    size_t nextLine = 0; // the first script line not yet in force
    FILE* trace = nullptr;
    std::vector<bool> shotTaken;
    bool outputFailed = false;
};
SimRun run;

bool ReadNumberArgument(const char* text, uint32_t* value) {
    if (!text || !*text) return false;
    uint64_t number = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        number = number * 10 + static_cast<uint64_t>(*c - '0');
        if (number > UINT32_MAX) return false;
    }
    *value = static_cast<uint32_t>(number);
    return true;
}

// Delivered once `frame` frames have been presented, so just before that frame, in the script's order.
void Schedule(uint32_t frame, ScriptEvent event) {
    const ScriptEventMessage scheduled = MessageForScriptEvent(event);
    HeadlessScheduleMessage(frame, scheduled.message, scheduled.wParam, scheduled.lParam);
}

// Sets the controls the coming frame samples.
void PrepareFrame(uint32_t frame) {
    if (run.options->monkeyGiven) {
        HeldControls held = NOTHING_HELD;
        std::vector<ScriptEvent> events;
        MonkeyNextFrame(&held, &events);
        ApplyHeldControls(held);
        for (ScriptEvent event : events)
            Schedule(frame, event);
        return;
    }
    const std::vector<ScriptLine>& lines = run.script.lines;
    bool changed = false;
    HeldControls held = NOTHING_HELD;
    while (run.nextLine < lines.size() && lines[run.nextLine].frame <= frame) {
        held = lines[run.nextLine].held;
        changed = true;
        ++run.nextLine;
    }
    if (changed || frame == 0) ApplyHeldControls(held);
}

void OnPresent(uint32_t presentCount) {
    // Only frames present in this backend (a paint before start-up has nothing to show), so the count of
    // presents is the count of frames.
    const uint32_t frame = presentCount - 1;
    const std::vector<FrameSound> sounds = TakeFrameSounds();
    // The trace hears the plays through its own observer; the device's log of calls is only for looking
    // into one frame, and kept for the whole run it would grow without end.
    HeadlessAudioForgetCalls();
    const FramePicture picture{HeadlessFrame(), HeadlessFramePalette()};
    if (run.trace) {
        const std::string line =
            FrameTraceLine(frame, HeadlessClock(), sounds, picture, run.options->traceEnemies);
        if (std::fputs(line.c_str(), run.trace) == EOF || std::fputc('\n', run.trace) == EOF)
            run.outputFailed = true;
    }
    const std::vector<SimScreenshot>& shots = run.options->screenshots;
    for (size_t i = 0; i < shots.size(); ++i) {
        if (shots[i].frame != frame) continue;
        run.shotTaken[i] = true;
        if (!WriteIndexedPng(shots[i].path.c_str(), picture.indices, 320, 240, 320, picture.palette)) {
            // The path may have changed since the start; say how, when it did.
            const std::string refusal = PlatformReplaceRefusal(shots[i].path.c_str());
            std::fprintf(stderr, "quillmarsh-sim: cannot write the screenshot %s%s%s\n",
                         shots[i].path.c_str(), refusal.empty() ? "" : ": ", refusal.c_str());
            run.outputFailed = true;
        }
    }
    PrepareFrame(frame + 1);
}

std::string Absolute(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

int32_t Refuse(const std::string& message) {
    std::fprintf(stderr, "quillmarsh-sim: %s\n", message.c_str());
    return SIM_EXIT_USAGE;
}
} // namespace

const char* SimUsage() {
    return USAGE;
}

bool ParseSimArguments(int argc, const char* const* argv, SimOptions* options, std::string* error) {
    *options = SimOptions{};
    bool seen[8] = {};
    constexpr const char* SINGLE[] = {"--dir",   "--seed",          "--frames", "--input",
                                      "--trace", "--trace-enemies", "--monkey"};
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        for (size_t s = 0; s < sizeof SINGLE / sizeof SINGLE[0]; ++s) {
            if (name != SINGLE[s]) continue;
            if (seen[s]) {
                *error = name + " is given twice";
                return false;
            }
            seen[s] = true;
        }
        if (name == "--trace-enemies") {
            options->traceEnemies = true;
            continue;
        }
        const bool takesValue = name == "--dir" || name == "--seed" || name == "--frames" ||
                                name == "--input" || name == "--trace" || name == "--screenshot" ||
                                name == "--monkey";
        if (!takesValue) {
            *error = "unknown option " + QuoteInput(name);
            return false;
        }
        if (i + 1 >= argc) {
            *error = name + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        if (name == "--dir") {
            options->dir = value;
        } else if (name == "--input") {
            options->inputPath = value;
        } else if (name == "--trace") {
            options->tracePath = value;
        } else if (name == "--seed") {
            options->seedGiven = ReadNumberArgument(value, &options->seed);
            if (!options->seedGiven) {
                *error =
                    std::string("--seed needs a whole number from 0 to 4294967295, not ") + QuoteInput(value);
                return false;
            }
        } else if (name == "--frames") {
            options->framesGiven = ReadNumberArgument(value, &options->frames);
            if (!options->framesGiven) {
                *error = std::string("--frames needs a whole number from 0 to 4294967295, not ") +
                         QuoteInput(value);
                return false;
            }
        } else if (name == "--monkey") {
            options->monkeyGiven = ReadNumberArgument(value, &options->monkeySeed);
            if (!options->monkeyGiven) {
                *error = std::string("--monkey needs a whole number from 0 to 4294967295, not ") +
                         QuoteInput(value);
                return false;
            }
        } else {
            const char* colon = std::strchr(value, ':');
            SimScreenshot shot{0, colon ? colon + 1 : ""};
            if (!colon || !ReadNumberArgument(std::string(value, colon).c_str(), &shot.frame) ||
                shot.path.empty()) {
                *error = "--screenshot needs FRAME:FILE, not " + QuoteInput(value);
                return false;
            }
            options->screenshots.push_back(shot);
        }
    }
    if (options->monkeyGiven && !options->inputPath.empty()) {
        *error = "--input and --monkey cannot be used together";
        return false;
    }
    if (options->dir.empty() && seen[0]) {
        *error = "--dir needs a folder";
        return false;
    }
    // Empty, they would mean "none" and the run would go on without what was asked for.
    if (options->inputPath.empty() && seen[3]) {
        *error = "--input needs a file";
        return false;
    }
    if (options->tracePath.empty() && seen[4]) {
        *error = "--trace needs a file";
        return false;
    }
    return true;
}

int32_t RunSim(const SimOptions& options) {
    run = SimRun{};
    run.options = &options;
    if (!options.inputPath.empty()) {
        std::string error;
        if (!ReadInputScript(options.inputPath.c_str(), &run.script, &error)) return Refuse(error);
    }
    // Every path on the command line is the caller's, whatever folder the game then runs in.
    std::vector<SimScreenshot> shots = options.screenshots;
    for (SimScreenshot& shot : shots)
        shot.path = Absolute(shot.path);
    SimOptions resolved = options;
    resolved.screenshots = shots;
    run.options = &resolved;
    run.shotTaken.assign(shots.size(), false);
    const std::string recordPath = Absolute(options.recordPath);

    std::error_code error;
    if (!options.dir.empty() && !std::filesystem::is_directory(options.dir, error))
        return Refuse("cannot run in the folder " + options.dir + ": it is not a folder");
    // Refused before anything is written: a screenshot never replaces a folder, a device or a link to one.
    for (const SimScreenshot& shot : shots) {
        const std::string refusal = PlatformReplaceRefusal(shot.path.c_str());
        if (!refusal.empty()) return Refuse("cannot write the screenshot " + shot.path + ": " + refusal);
    }
    if (!options.tracePath.empty()) {
        run.trace = std::fopen(options.tracePath.c_str(), "wb");
        if (!run.trace)
            return Refuse("cannot write the trace " + options.tracePath + ": " + std::strerror(errno));
    }
    if (!recordPath.empty() && !StartSessionRecord(recordPath.c_str())) {
        const int32_t code = Refuse("cannot write the recording " + recordPath + ": " + std::strerror(errno));
        if (run.trace) std::fclose(run.trace);
        return code;
    }
    const std::filesystem::path previous = std::filesystem::current_path(error);
    if (!options.dir.empty()) std::filesystem::current_path(options.dir, error);

    // The first read of the clock is the start-up's seed.
    HeadlessSetClock(options.seedGiven ? options.seed : run.script.hasSeed ? run.script.seed : 0);
    HeadlessSetClockStep(1);
    if (options.monkeyGiven) StartMonkey(options.monkeySeed);
    for (const ScriptLine& line : run.script.lines) {
        for (ScriptEvent event : line.events)
            Schedule(line.frame, event);
    }
    // The close request Esc would post, after the events of that frame.
    if (options.framesGiven) HeadlessScheduleMessage(options.frames, WM_CLOSE, 0, 0);
    PrepareFrame(0);
    StartSoundCapture();
    HeadlessSetPresentHook(OnPresent);

    int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);

    HeadlessSetPresentHook(nullptr);
    StopSoundCapture();
    if (!StopSessionRecord()) {
        std::fprintf(stderr, "quillmarsh-sim: cannot write the recording %s\n", recordPath.c_str());
        run.outputFailed = true;
    }
    if (run.trace) {
        if (std::ferror(run.trace) || std::fclose(run.trace) != 0) {
            std::fprintf(stderr, "quillmarsh-sim: cannot write the trace %s\n", options.tracePath.c_str());
            run.outputFailed = true;
        }
        run.trace = nullptr;
    }
    std::filesystem::current_path(previous, error);
    if (exitCode != 0) std::fprintf(stderr, "%s\n", FailureLine());
    for (size_t i = 0; i < shots.size(); ++i) {
        if (run.shotTaken[i]) continue;
        std::fprintf(stderr, "quillmarsh-sim: frame %u never ran, so there is no screenshot %s\n",
                     shots[i].frame, shots[i].path.c_str());
        run.outputFailed = true;
    }
    if (exitCode == 0 && run.outputFailed) exitCode = SIM_EXIT_OUTPUT;
    return exitCode;
}

void ApplyHeldControls(const HeldControls& held) {
    HeadlessSetKey(VK_LEFT, (held.keys & HELD_LEFT) != 0);
    HeadlessSetKey(VK_RIGHT, (held.keys & HELD_RIGHT) != 0);
    HeadlessSetKey(VK_UP, (held.keys & HELD_UP) != 0);
    HeadlessSetKey(VK_DOWN, (held.keys & HELD_DOWN) != 0);
    HeadlessSetKey(VK_Z, (held.keys & HELD_Z) != 0);
    HeadlessSetKey(VK_X, (held.keys & HELD_X) != 0);
    // Always connected: a stick at rest with no button is read exactly as no stick at all.
    HeadlessSetJoystick(true, held.joystickX, held.joystickY, held.joystickButtons);
}
