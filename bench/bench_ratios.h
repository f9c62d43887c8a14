#pragma once
// Pairs of benchmarks whose times the program compares after the run:
// operation / baseline, with the ratio it should stay at or below.
#include <string>
#include <vector>

struct BenchRatio {
    std::string operation;
    std::string baseline;
    double target;  // 0: shown, no target
};

std::vector<BenchRatio>& benchRatios();

// For registration at namespace scope: `static BenchRatioEntry r{"op", "base", 1.0};`
struct BenchRatioEntry {
    BenchRatioEntry(const char* operation, const char* baseline, double target) {
        benchRatios().push_back({operation, baseline, target});
    }
};
