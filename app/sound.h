#pragma once
// A slap sound as the application holds it.
#include <cstdint>

// A WAV file in memory owned by someone else (the resources).
struct Sound {
    const uint8_t* bytes = nullptr;
    int32_t size = 0;
};
