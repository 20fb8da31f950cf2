// quillmarsh-sim: the game on the headless backend, for replays, traces, screenshots and soak runs.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "tools/sim_runner.h"

namespace {
int RunSimProgram(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimArguments(argc, argv, &options, &error)) {
        std::fprintf(stderr, "quillmarsh-sim: %s\n%s", error.c_str(), SimUsage());
        return SIM_EXIT_USAGE;
    }
    // The same variable as the game's, so a scripted run can be recorded as a player's would be.
    const char* record = std::getenv("QUILLMARSH_RECORD");
    if (record && *record) options.recordPath = record;
    return RunSim(options);
}
} // namespace

int main(int argc, char** argv) {
    // Every reader is bounded; this is the last word should memory still run out, instead of an abort.
    try {
        return RunSimProgram(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "quillmarsh-sim: not enough memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmarsh-sim: stopped: %s\n", e.what());
    }
    return 1;
}
