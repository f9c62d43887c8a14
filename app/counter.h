#pragma once
// What the slap counter below the picture shows: its range and its colour.
#include <cstdint>

// The range of counts the 7-character counter shows; counts beyond show as its ends.
constexpr int32_t kCounterShownMinimum = -999999;
constexpr int32_t kCounterShownMaximum = 9999999;

struct CounterColor {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};
