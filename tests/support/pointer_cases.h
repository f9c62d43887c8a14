#pragma once
// Where the pointer puts the hand and what a click there slaps, for the
// logic's own tests and for the same cases sent as window messages.
#include <cstdint>

struct PointerCase {
    uint16_t clientX, clientY;
    uint32_t handX, handY;  // handX 0: hidden
    bool slaps;             // at (clientX - 1, 319 - clientY)
};

// clang-format off
inline constexpr PointerCase kPointerCases[] = {
    {31, 19, 30, 300, true},       // the first shown position
    {30, 19, 0, 300, true},        // one column further left: hidden, handY kept
    {31, 18, 0, 301, true},        // one row further up
    {451, 289, 450, 30, true},     // the last shown position
    {452, 289, 0, 30, true},
    {451, 290, 0, 29, true},
    {241, 159, 240, 160, true},
    {0, 160, 0, 159, false},       // the frame's columns
    {481, 0, 0, 319, false},
    {100, 320, 0, 0xFFFFFFFFu, false},   // below the picture: y wraps
    {100, 359, 0, 0xFFFFFFD8u, false},   // over the counter
    {65535, 65535, 0, 0xFFFF0140u, false},
    {1, 319, 0, 0, true},          // the picture's corners
    {480, 1, 0, 318, true},
    {100, 0, 0, 319, true},        // the frame's top row addresses row 319
};
// clang-format on
