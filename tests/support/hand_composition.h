#pragma once
// What the picture view must show, worked out the other way round from the
// program: for each picture position, the hand pixel that lands there.
#include <cstdint>
#include <vector>

#include "app/app.h"
#include "tests/support/pixel_words.h"

// The display's words: the current picture's as they are, and over them the
// hand's pixels (top byte cleared) that are not exactly 0x00FFFFFF. Hand
// pixel (j, i) lands on (handX + j - 80, handY + i - 50) modulo 2^32; only
// the first 196 columns and 100 rows of a larger hand count.
inline std::vector<uint32_t> composedDisplay(const AppState& state) {
    std::vector<uint32_t> display = wordsOf(*state.currentPicture);
    const std::vector<uint32_t> hand = wordsOf(*state.handImage);
    const uint32_t width = uint32_t(state.handImage->width());
    const uint32_t height = uint32_t(state.handImage->height());
    for (uint32_t y = 0; y < 320 && state.handX != 0; ++y)
        for (uint32_t x = 0; x < 480; ++x) {
            const uint32_t j = x + 80u - state.handX, i = y + 50u - state.handY;
            if (j < 196 && i < 100 && j < width && i < height && hand[i * width + j] != 0xFFFFFFu)
                display[y * 480 + x] = hand[i * width + j] & 0xFFFFFFu;
        }
    return display;
}
