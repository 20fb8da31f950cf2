// The benchmarks' entry: the usual runner, then a summary of medians as shares of the frame budget and the
// blend's speed-up over the plain loop.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {
// One frame every 11 ms (1000 / 85, truncated).
constexpr double FRAME_BUDGET_SECONDS = 0.011;

class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    SummaryReporter() : ConsoleReporter(isatty(1) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With repetitions the median arrives after the single runs and replaces them.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            if (run.error_occurred) continue;
            // A comparison reports its own figure; its time per iteration is no frame's work.
            const auto speedup = run.counters.find("speedup");
            if (speedup != run.counters.end()) {
                speedups_[run.run_name.str()] = speedup->second.value;
                continue;
            }
            seconds_[run.run_name.str()] =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::FILE* out = stdout;
        std::fprintf(out, "\nSummary (median when repeated; processor time per iteration):\n");
        for (const auto& [name, seconds] : seconds_)
            std::fprintf(out, "  %-40s %10.3f us  %7.3f%% of the 11 ms frame\n", name.c_str(), seconds * 1e6,
                         100.0 * seconds / FRAME_BUDGET_SECONDS);
        for (const auto& [name, speedup] : speedups_)
            std::fprintf(out, "  %s: HalfBlendBlt is %.2fx the plain per-pixel loop (alternating batches)\n",
                         name.c_str(), speedup);
        const auto blend = seconds_.find("BM_HalfBlendBlt32x32");
        const auto plain = seconds_.find("BM_PlainPerPixelBlend32x32");
        if (blend != seconds_.end() && plain != seconds_.end() && blend->second > 0)
            std::fprintf(out,
                         "  HalfBlendBlt is %.2fx the plain per-pixel loop on a 32x32 cell (separate runs)\n",
                         plain->second / blend->second);
    }

  private:
    std::map<std::string, double> seconds_;
    std::map<std::string, double> speedups_;
};
} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
