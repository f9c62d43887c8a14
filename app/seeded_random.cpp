#include "app/seeded_random.h"

int32_t SeededRandom::next()
{
    // Unsigned arithmetic: the state wraps modulo 2^32 by design.
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int32_t>((state_ >> 16) & 0x7FFFu);
}
