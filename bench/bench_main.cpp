// Runs every registered benchmark, then prints each registered ratio between
// two of them, measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "bench/bench_ratios.h"

std::vector<BenchRatio>& benchRatios() {
    static std::vector<BenchRatio> ratios;
    return ratios;
}

// The console output as usual, plus the CPU time per iteration of each
// benchmark in seconds (the median when repeated). CPU time, because the
// machines this runs on are shared and wall time counts other people's work.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const double seconds =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            samples[run.run_name.function_name].push_back(seconds);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    bool median(const std::string& name, double* out) {
        auto it = samples.find(name);
        if (it == samples.end() || it->second.empty())
            return false;
        std::vector<double> v = it->second;
        std::sort(v.begin(), v.end());
        *out = v[v.size() / 2];
        return true;
    }

private:
    std::map<std::string, std::vector<double>> samples;
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-28s %12s   %-28s %12s %8s %8s\n", "operation", "cpu (us)", "baseline",
                "cpu (us)", "ratio", "target");
    bool allMet = true;
    for (const BenchRatio& r : benchRatios()) {
        double op = 0;
        double base = 0;
        if (!reporter.median(r.operation, &op) || !reporter.median(r.baseline, &base) ||
            base <= 0) {
            // Filtered out or failed: a target not measured is not met.
            std::printf("%-28s %12s   %-28s %12s %8s %8s\n", r.operation.c_str(), "-",
                        r.baseline.c_str(), "-", "-", "not run");
            allMet = allMet && r.target <= 0;
            continue;
        }
        const double ratio = op / base;
        char target[32] = "-";
        if (r.target > 0) {
            std::snprintf(target, sizeof target, "%.2f%s", r.target,
                          ratio <= r.target ? "" : " MISS");
            allMet = allMet && ratio <= r.target;
        }
        std::printf("%-28s %12.1f   %-28s %12.1f %8.2f %8s\n", r.operation.c_str(), op * 1e6,
                    r.baseline.c_str(), base * 1e6, ratio, target);
    }
    std::printf("%s\n", allMet ? "all targets met" : "some targets missed");
    return 0;
}
