#include <gtest/gtest.h>

#include <vector>

#include "tests/resources/resource_bytes.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int32_t kWidth = 196;
constexpr int32_t kHeight = 100;
// The hand pixel placed at the pointer: 80 from the left, 50 from the bottom.
constexpr int32_t kHotX = 80;
constexpr int32_t kHotY = 50;

class BuiltInHand : public ::testing::Test {
protected:
    static void SetUpTestSuite() { pixels = rawPixels(readResource("hand.bmp")); }
    void SetUp() override { ASSERT_EQ(pixels.words.size(), static_cast<size_t>(kWidth * kHeight)); }
    static BmpPixels pixels;
};
BmpPixels BuiltInHand::pixels;

// White is transparent when the hand is drawn: a white pixel inside the hand
// would be a hole through which the picture shows. So every white pixel must
// belong to the background, reachable from the border through white.
TEST_F(BuiltInHand, WhiteOccursOnlyInTheBackgroundAroundTheHand) {
    std::vector<bool> reached(pixels.words.size(), false);
    std::vector<int32_t> todo;
    auto visit = [&](int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
        const size_t i = static_cast<size_t>(y) * kWidth + x;
        if (reached[i] || pixels.words[i] != kWhite) return;
        reached[i] = true;
        todo.push_back(static_cast<int32_t>(i));
    };
    for (int32_t x = 0; x < kWidth; ++x) {
        visit(x, 0);
        visit(x, kHeight - 1);
    }
    for (int32_t y = 0; y < kHeight; ++y) {
        visit(0, y);
        visit(kWidth - 1, y);
    }
    while (!todo.empty()) {
        const int32_t i = todo.back();
        todo.pop_back();
        const int32_t x = i % kWidth, y = i / kWidth;
        visit(x - 1, y);
        visit(x + 1, y);
        visit(x, y - 1);
        visit(x, y + 1);
    }
    int32_t white = 0, holes = 0, hand = 0;
    for (size_t i = 0; i < pixels.words.size(); ++i) {
        if (pixels.words[i] != kWhite) {
            ++hand;
        } else {
            ++white;
            if (!reached[i]) ++holes;
        }
    }
    EXPECT_EQ(holes, 0);
    EXPECT_GT(white, 0);
    EXPECT_GE(hand * 100, 35 * kWidth * kHeight) << "the hand fills a good part of its box";
}

// The slap lands at the hot spot, so it must sit well inside the palm, on skin.
TEST_F(BuiltInHand, HotSpotLiesInThePalm) {
    const uint32_t spot = pixels.at(kHotX, kHotY);
    EXPECT_NE(spot, kWhite);
    EXPECT_GE(redOf(spot), 200);
    EXPECT_GT(redOf(spot), greenOf(spot));
    EXPECT_GT(greenOf(spot), blueOf(spot));
    for (int32_t dy = -12; dy <= 12; ++dy)
        for (int32_t dx = -12; dx <= 12; ++dx)
            EXPECT_NE(pixels.at(kHotX + dx, kHotY + dy), kWhite) << "offset " << dx << ", " << dy;
}

// The pixels bordering the transparent background form a dark outline, so
// that the hand reads on skin and on blue alike.
TEST_F(BuiltInHand, RimOfTheHandIsDark) {
    int32_t rim = 0, dark = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const uint32_t w = pixels.at(x, y);
            if (w == kWhite) continue;
            const bool touches = (x > 0 && pixels.at(x - 1, y) == kWhite) ||
                                 (x + 1 < kWidth && pixels.at(x + 1, y) == kWhite) ||
                                 (y > 0 && pixels.at(x, y - 1) == kWhite) ||
                                 (y + 1 < kHeight && pixels.at(x, y + 1) == kWhite);
            if (!touches) continue;
            ++rim;
            if (redOf(w) <= 160 && greenOf(w) <= 160 && blueOf(w) <= 160) ++dark;
        }
    }
    ASSERT_GT(rim, 200);
    EXPECT_GE(dark * 100, rim * 95) << dark << " of " << rim;
}

}  // namespace
