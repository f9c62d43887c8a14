#pragma once
// The layout at a display scale. Every figure of the window is given at 96 DPI
// and shown at DPI / 96: each edge of each rectangle is scaled and rounded on
// its own, so neighbouring rectangles still meet without gap or overlap, and a
// screen position maps back to the 96-DPI figure whose scaled span holds it.
#include <cstdint>

constexpr int32_t kBaseDpi = 96;
constexpr int32_t kLeastDpi = 96;
constexpr int32_t kMostDpi = 480;

// The DPI the program draws at, from what the system reports: 0 (a failed
// query) and anything below 96 count as 96, anything above 480 as 480.
int32_t usableDpi(int64_t reported);

struct LayoutRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const LayoutRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

class DisplayScale {
public:
    explicit DisplayScale(int64_t dpi = kBaseDpi) : dpi_(usableDpi(dpi)) {}
    int32_t dpi() const { return dpi_; }
    // figure * DPI / 96, halves rounded up.
    int32_t scaled(int32_t figure) const;
    LayoutRect scaled(const LayoutRect& figures) const;
    // The figure whose span [scaled(f), scaled(f + 1)) holds the position.
    // At 96 DPI both are the identity.
    int32_t unscaled(int32_t position) const;
    // A size the system gives at another DPI (a stock font's height), at this
    // one; halves away from zero, as the sign of a font height means something.
    int32_t convertedFrom(int32_t value, int64_t otherDpi) const;

private:
    int32_t dpi_;
};

// The main window's client layout at 96 DPI (the positions the program has
// always had): the two buttons and the picture view, and the client size that
// holds them, which a 540 x 468 window has in the project's Wine prefix.
constexpr LayoutRect kAutoButtonRect = {8, 8, 88, 40};
constexpr LayoutRect kClearButtonRect = {96, 8, 176, 40};
constexpr LayoutRect kViewRect = {8, 48, 490, 408};
constexpr int32_t kClientWidth = 532;
constexpr int32_t kClientHeight = 422;
// The picture view's client layout at 96 DPI.
constexpr LayoutRect kFrameRect = {0, 0, 482, 322};
constexpr LayoutRect kPictureRect = {1, 1, 481, 321};
constexpr LayoutRect kCounterRect = {32, 322, 128, 358};
constexpr int32_t kCounterFontHeight = 24;

// rect moved so that as much of it as fits lies within area: wholly where it
// is no larger, its top-left corner where it is.
LayoutRect keepWithin(const LayoutRect& rect, const LayoutRect& area);
