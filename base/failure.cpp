// Why the run failed, in one plain line a player can act on, printed when the game ends because of it.
#include "base/failure.h"

#include <cstdio>
#include <string>

namespace {
std::string noted;
bool hasNote = false;
std::string line;
void (*sayFailureSink)(const char*) = nullptr;
} // namespace

void NoteFailure(const char* reason) {
    if (hasNote || !reason || !*reason) return;
    noted = reason;
    hasNote = true;
}

const char* NotedFailure() {
    return hasNote ? noted.c_str() : nullptr;
}

void ClearFailure() {
    noted.clear();
    hasNote = false;
}

const char* FailureLine() {
    line = "quillmarsh: ";
    line += hasNote
                ? noted
                : "the game stopped because something it needs failed; start it with QUILLMARSH_TRACE=1 to "
                  "see the details";
    return line.c_str();
}

void SayFailure(const char* reason) {
    if (!reason || !*reason) return;
    const std::string said = std::string("quillmarsh: ") + reason;
    if (sayFailureSink) {
        sayFailureSink(said.c_str());
        return;
    }
    std::fprintf(stderr, "%s\n", said.c_str());
    std::fflush(stderr);
}

void SetSayFailureSink(void (*sink)(const char* line)) {
    sayFailureSink = sink;
}
