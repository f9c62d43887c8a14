#include <gtest/gtest.h>

#include "app/display_scale.h"
#include "app/window_fit.h"

TEST(DisplayScale, ReportedDpiOutsideTheUsableRangeIsClamped) {
    // clang-format off
    const std::pair<int64_t, int32_t> cases[] = {
        {0, 96}, {-1, 96}, {72, 96}, {96, 96}, {120, 120}, {144, 144}, {192, 192},
        {480, 480}, {481, 480}, {0xFFFFFFFFLL, 480}, {INT64_MIN, 96},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(usableDpi(c.first), c.second) << c.first;
        EXPECT_EQ(DisplayScale(c.first).dpi(), c.second) << c.first;
    }
}

TEST(DisplayScale, FiguresScaleWithHalvesRoundedUp) {
    struct Case {
        int32_t dpi, figure, scaled;
    };
    // clang-format off
    const Case cases[] = {
        {96, 0, 0},     {96, 1, 1},     {96, 481, 481},  {96, -11, -11},
        {120, 1, 1},    {120, 2, 3},    {120, 482, 603}, {120, 540, 675},
        {144, 1, 2},    {144, 3, 5},    {144, 481, 722}, {144, 322, 483},
        {192, 1, 2},    {192, 481, 962},
        {110, 24, 28},  {110, 36, 41},  {110, 480, 550},
        {480, 1, 5},    {480, 360, 1800},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(DisplayScale(c.dpi).scaled(c.figure), c.scaled) << c.dpi << " " << c.figure;
    const LayoutRect counter = DisplayScale(144).scaled(kCounterRect);
    EXPECT_TRUE(counter == (LayoutRect{48, 483, 192, 537}));
    EXPECT_EQ(counter.width(), 144);
    // The tables compare rectangles with ==, which must see every edge.
    for (const LayoutRect& off : {LayoutRect{47, 483, 192, 537}, LayoutRect{48, 482, 192, 537},
                                  LayoutRect{48, 483, 191, 537}, LayoutRect{48, 483, 192, 536}})
        EXPECT_FALSE(counter == off);
}

// Every position of every span maps back to its figure, at every usable DPI:
// a pointer anywhere over what picture column x is drawn on finds x.
TEST(DisplayScale, EveryScaledPositionMapsBackToTheFigureWhoseSpanHoldsIt) {
    for (int32_t dpi = kLeastDpi; dpi <= kMostDpi; ++dpi) {
        const DisplayScale scale(dpi);
        for (int32_t figure = -2; figure <= 482; ++figure) {
            const int32_t first = scale.scaled(figure), end = scale.scaled(figure + 1);
            ASSERT_GT(end, first) << "an empty span at " << dpi << ", figure " << figure;
            ASSERT_EQ(scale.unscaled(first), figure) << dpi;
            ASSERT_EQ(scale.unscaled(end - 1), figure) << dpi;
            ASSERT_EQ(scale.unscaled((first + end - 1) / 2), figure) << dpi;
        }
    }
    for (int32_t position : {0, 1, 100, 65535})
        EXPECT_EQ(DisplayScale(96).unscaled(position), position);
}

// Corners and centres of the picture, at the DPIs a display is usually set to
// and one that is no multiple of 25 %: picture column x is drawn on view client
// column x + 1, row y (from the bottom) on client row 320 - y.
TEST(DisplayScale, PictureCornersAndCentreSitWhereTheStretchedPictureShowsThem) {
    struct Case {
        int32_t dpi, x, y;
        LayoutRect shownAt;  // the view client pixels of picture pixel (x, y)
    };
    // clang-format off
    const Case cases[] = {
        {96, 0, 0, {1, 320, 2, 321}},         {96, 479, 319, {480, 1, 481, 2}},
        {120, 0, 0, {1, 400, 3, 401}},        {120, 479, 319, {600, 1, 601, 3}},
        {144, 0, 0, {2, 480, 3, 482}},        {144, 479, 319, {720, 2, 722, 3}},
        {144, 240, 160, {362, 240, 363, 242}},
        {192, 0, 0, {2, 640, 4, 642}},        {192, 479, 319, {960, 2, 962, 4}},
        {192, 240, 160, {482, 320, 484, 322}},
        {110, 0, 319, {1, 1, 2, 2}},          {110, 479, 0, {550, 367, 551, 368}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const DisplayScale scale(c.dpi);
        const LayoutRect shown = scale.scaled(LayoutRect{c.x + 1, 320 - c.y, c.x + 2, 321 - c.y});
        EXPECT_TRUE(shown == c.shownAt)
            << c.dpi << ": " << c.x << "," << c.y << " at " << shown.left << "," << shown.top;
        EXPECT_EQ(scale.unscaled(shown.left) - 1, c.x);
        EXPECT_EQ(scale.unscaled(shown.right - 1) - 1, c.x);
        EXPECT_EQ(320 - scale.unscaled(shown.top), c.y);
        EXPECT_EQ(320 - scale.unscaled(shown.bottom - 1), c.y);
    }
}

TEST(DisplayScale, FontHeightsFromAnotherDpiRoundHalvesAwayFromZero) {
    // clang-format off
    const struct { int32_t dpi, value, from, converted; } cases[] = {
        {96, -11, 96, -11}, {144, -11, 96, -17}, {96, -17, 144, -11}, {192, -22, 192, -22},
        {144, 24, 96, 36},  {120, -11, 96, -14}, {96, -11, 0, -11},   {96, -11, 1000, -2},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayScale(c.dpi).convertedFrom(c.value, c.from), c.converted)
            << c.dpi << " " << c.value << " from " << c.from;
    }
}

TEST(DisplayScale, KeepWithinMovesARectangleWhollyOntoTheArea) {
    const LayoutRect area = {0, 0, 1024, 768};
    // clang-format off
    const struct { LayoutRect rect, kept; } cases[] = {
        {{10, 10, 550, 478}, {10, 10, 550, 478}},            // already inside
        {{-5000, -5000, -4460, -4532}, {0, 0, 540, 468}},    // off every side
        {{900, 700, 1440, 1168}, {484, 300, 1024, 768}},     // past right and bottom
        {{-10, 100, 1190, 1100}, {0, 0, 1200, 1000}},        // larger: top-left kept
    };
    // clang-format on
    for (const auto& c : cases) {
        const LayoutRect kept = keepWithin(c.rect, area);
        EXPECT_TRUE(kept == c.kept)
            << kept.left << "," << kept.top << "," << kept.right << "," << kept.bottom;
    }
}

// The page's window, 540 x 472 figures, in the viewports people have.
TEST(WindowFit, LargestWholeScaleThatFitsElseTheNaturalSizeElseAFraction) {
    struct Case {
        double width, height, ratio, scale;
    };
    // clang-format off
    const Case cases[] = {
        {390, 844, 3, 2},      // a phone upright: the window 360 CSS pixels wide
        {844, 390, 3, 2},      // the same turned
        {360, 640, 3, 2},      // 360 CSS pixels, no margin left
        {820, 1180, 2, 3},     // a tablet: 810 wide
        {1024, 768, 1, 1},     // the desktop's size
        {2560, 1440, 1, 3},    // 1416 of 1440 rows
        {2560, 1440, 4, 5},    // never beyond the most DPI
        {700, 560, 1.5, 1.5},  // 1 would be below the ratio: natural size
        {1920, 1080, 1.5, 3},  // 3 fits and is crisp
        {539, 472, 1, 539.0 / 540},  // neither fits: the fraction, averaged
        {360, 640, 1, 360.0 / 540},
        {360, 640, 2, 1},      // crisp, though a little under what fits 320 x 240
        {300, 200, 1, 240.0 / 472},  // under 320 x 240: that size, and scrolling
        {100, 100, 3, 3 * 240.0 / 472},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(fittingScale(c.width, c.height, c.ratio, 540, 472), c.scale)
            << c.width << " x " << c.height << " at " << c.ratio;
}
