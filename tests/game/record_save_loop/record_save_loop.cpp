// The game's own record reading and saving, in a loop for the kill test: every save is logged as it
// begins and ends, so a test that kills this program can tell where the kill landed.
//
// usage: quillmarsh-record-save-loop LOG SECONDS   (in the folder holding user_data/)
// Reads user_data/Record.dat as the title does, logs "read N" (or "read none"), then saves N + 1, N + 2, ...
// as a game over that beats the record does, until SECONDS have passed (0: exactly one save). Between two
// saves it waits about as long as the last save took, so kills fall inside and outside saves alike.
#include "base/asset_paths.h"
#include "game/game_vars.h"
#include "game/record.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
std::FILE* logFile = nullptr;

// One write per line, unbuffered: a line is in the file before the step it announces starts.
void Log(const char* word, long value) {
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%s %ld\n", word, value);
    std::fwrite(line, 1, static_cast<size_t>(length), logFile);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillmarsh-record-save-loop LOG SECONDS\n");
        return 2;
    }
    logFile = std::fopen(argv[1], "ab");
    if (!logFile) {
        std::fprintf(stderr, "quillmarsh-record-save-loop: cannot write %s\n", argv[1]);
        return 2;
    }
    std::setvbuf(logFile, nullptr, _IONBF, 0);
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::seconds(std::atol(argv[2]));
    if (LoadRecord(ASSET_RECORD)) {
        Log("read", bestRecord);
    } else {
        bestRecord = 0;
        std::fwrite("read none\n", 1, 10, logFile);
    }
    do {
        // A game over after clearing one stage more than the record.
        stage = bestRecord + 2;
        const long value = stage - 1;
        const auto start = Clock::now();
        Log("begin", value);
        if (!SaveRecord(ASSET_RECORD)) return 1; // it has said why
        Log("end", value);
        bestRecord = static_cast<int32_t>(value);
        std::this_thread::sleep_for(Clock::now() - start);
    } while (Clock::now() < end);
    return 0;
}
