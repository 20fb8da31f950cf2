// quillmarsh-sim: the game on the headless backend, for replays, traces, screenshots and soak runs.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/sim_runner.h"

int main(int argc, char** argv) {
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
