// The opt-in frame log of the SDL game: when each frame opened and presented, and the processor time used.
#include "app/main/frame_log.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame_loop.h"

namespace {
struct FrameTimes {
    int64_t opened;
    int64_t presented;
};

struct FrameLog {
    bool on = false;
    std::string path;
    int64_t started = 0;
    std::vector<FrameTimes> frames;
    // Processor time from the first frame's opening to the end, so start-up is not counted.
    int64_t cpuAtFirstFrame = 0;
};
FrameLog frameLog;

// Microseconds on the monotonic clock, which other programs on the machine read too.
int64_t Now() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t ProcessorTime(int64_t* user, int64_t* system) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    *user = int64_t{usage.ru_utime.tv_sec} * 1000000 + usage.ru_utime.tv_usec;
    *system = int64_t{usage.ru_stime.tv_sec} * 1000000 + usage.ru_stime.tv_usec;
    return *user + *system;
}

void Opened() {
    if (frameLog.frames.empty()) {
        int64_t user = 0, system = 0;
        frameLog.cpuAtFirstFrame = ProcessorTime(&user, &system);
    }
    // Recorded in memory only: writing during play would disturb the very timing being logged.
    frameLog.frames.push_back(FrameTimes{Now(), 0});
}

void Presented() {
    if (!frameLog.frames.empty()) frameLog.frames.back().presented = Now();
}
} // namespace

void FrameLogStart() {
    const char* path = std::getenv("QUILLMARSH_FRAME_LOG");
    if (!path || !*path) return;
    frameLog.on = true;
    frameLog.path = path;
    frameLog.started = Now();
    frameLog.frames.reserve(1 << 16);
    SetFrameObservers(Opened, Presented);
}

void FrameLogFinish() {
    if (!frameLog.on) return;
    SetFrameObservers(nullptr, nullptr);
    const int64_t end = Now();
    int64_t user = 0, system = 0;
    const int64_t cpu = ProcessorTime(&user, &system);
    FILE* file = std::fopen(frameLog.path.c_str(), "w");
    if (!file) {
        std::fprintf(stderr, "quillmarsh: cannot write the frame log %s\n", frameLog.path.c_str());
        return;
    }
    std::fprintf(file, "# microseconds on the monotonic clock\n");
    std::fprintf(file, "main %lld\n", static_cast<long long>(frameLog.started));
    for (const FrameTimes& f : frameLog.frames)
        std::fprintf(file, "frame %lld %lld\n", static_cast<long long>(f.opened),
                     static_cast<long long>(f.presented));
    if (!frameLog.frames.empty()) {
        // Processor time and wall time from the first frame's opening to the end of the run.
        std::fprintf(file, "cpu %lld %lld %lld\n", static_cast<long long>(cpu - frameLog.cpuAtFirstFrame),
                     static_cast<long long>(end - frameLog.frames.front().opened),
                     static_cast<long long>(user + system));
    }
    std::fprintf(file, "end %lld\n", static_cast<long long>(end));
    std::fclose(file);
}
