#include "app/seeded_random.h"

// Unsigned arithmetic throughout: the state wraps modulo 2^32 by design.
constexpr uint32_t kMultiplier = 214013u;
constexpr uint32_t kIncrement = 2531011u;

// Four steps at once: state(n + 4) = kMultiplier4 * state(n) + kIncrement4.
constexpr uint32_t kMultiplier4 = kMultiplier * kMultiplier * kMultiplier * kMultiplier;
constexpr uint32_t kIncrement4 = kIncrement * (kMultiplier * kMultiplier * kMultiplier +
                                               kMultiplier * kMultiplier + kMultiplier + 1u);

static inline int32_t valueOf(uint32_t state) {
    return static_cast<int32_t>((state >> 16) & 0x7FFFu);
}

int32_t SeededRandom::next() {
    state_ = state_ * kMultiplier + kIncrement;
    return valueOf(state_);
}

void SeededRandom::nextMany(int32_t* values, int32_t count) {
    // Four interleaved chains instead of one: the same values, without each
    // waiting for the multiplication before it.
    int32_t i = 0;
    if (count >= 4) {
        uint32_t s0 = state_ * kMultiplier + kIncrement;
        uint32_t s1 = s0 * kMultiplier + kIncrement;
        uint32_t s2 = s1 * kMultiplier + kIncrement;
        uint32_t s3 = s2 * kMultiplier + kIncrement;
        for (;;) {
            values[i] = valueOf(s0);
            values[i + 1] = valueOf(s1);
            values[i + 2] = valueOf(s2);
            values[i + 3] = valueOf(s3);
            i += 4;
            if (count - i < 4)
                break;
            s0 = s0 * kMultiplier4 + kIncrement4;
            s1 = s1 * kMultiplier4 + kIncrement4;
            s2 = s2 * kMultiplier4 + kIncrement4;
            s3 = s3 * kMultiplier4 + kIncrement4;
        }
        state_ = s3;
    }
    for (; i < count; ++i)
        values[i] = next();
}
