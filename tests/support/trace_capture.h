// Collects every traced text while a test runs.
#pragma once
#include <string>
#include <vector>

struct TraceCapture {
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;
    bool Contains(const std::string& text) const;
    std::vector<std::string> texts;
};
