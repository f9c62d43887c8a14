#pragma once
// The tests' random source: hands out generator(draw index) and counts the draws.
#include <cstdint>
#include <functional>
#include <vector>

#include "app/platform.h"

class ScriptedRandom : public RandomSource {
public:
    std::function<int32_t(int64_t)> generator = [](int64_t) { return 0; };
    int64_t draws = 0;

    int32_t next() override { return generator(draws++); }
    void always(int32_t v) {
        generator = [v](int64_t) { return v; };
    }
    // From the next draw on: the listed values, then `then` for every further draw.
    void script(std::vector<int32_t> values, int32_t then = 0) {
        draws = 0;
        generator = [values, then](int64_t i) {
            return i < int64_t(values.size()) ? values[size_t(i)] : then;
        };
    }
};
