#pragma once
// The program's random source: a 15-bit linear congruential generator, seeded
// once at start-up (from the current time, in seconds) and shared by every draw.
#include <cstdint>

#include "app/platform.h"

class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(uint32_t seed) : state_(seed) {}

    // 0 to 32767.
    int32_t next() override;
    void nextMany(int32_t* values, int32_t count) override;

private:
    uint32_t state_;
};
