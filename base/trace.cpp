// The trace hook every failure text, and each change of the state frames run in, goes to.
#include "base/trace.h"

#include <cstdio>
#include <cstdlib>

namespace {
void (*traceSink)(const char*) = nullptr;
}

void SetTraceSink(void (*sink)(const char* text)) {
    traceSink = sink;
}

void TraceLog(const char* text) {
    if (!text) return;
    if (traceSink) traceSink(text);
    static const bool enabled = std::getenv("QUILLMARSH_TRACE") != nullptr;
    if (!enabled) return;
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
}
