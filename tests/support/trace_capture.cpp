// Collects every traced text while a test runs.
#include "tests/support/trace_capture.h"

#include <algorithm>

#include "base/trace.h"

namespace {
TraceCapture* active = nullptr;
void Sink(const char* text) {
    if (active) active->texts.emplace_back(text);
}
} // namespace

TraceCapture::TraceCapture() {
    active = this;
    SetTraceSink(Sink);
}

TraceCapture::~TraceCapture() {
    SetTraceSink(nullptr);
    active = nullptr;
}

bool TraceCapture::Contains(const std::string& text) const {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}
