#include "app/display_scale.h"

#include <algorithm>

namespace {

// Rounds toward minus infinity, whatever the signs.
int64_t floorDiv(int64_t n, int64_t d) {
    const int64_t q = n / d;
    return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

}  // namespace

int32_t usableDpi(int64_t reported) {
    return static_cast<int32_t>(std::clamp<int64_t>(reported, kLeastDpi, kMostDpi));
}

int32_t DisplayScale::scaled(int32_t figure) const {
    return static_cast<int32_t>(floorDiv(int64_t(figure) * dpi_ + kBaseDpi / 2, kBaseDpi));
}

LayoutRect DisplayScale::scaled(const LayoutRect& r) const {
    return {scaled(r.left), scaled(r.top), scaled(r.right), scaled(r.bottom)};
}

int32_t DisplayScale::unscaled(int32_t position) const {
    // The largest f with scaled(f) <= position: f * dpi + 48 < 96 * (position + 1).
    return static_cast<int32_t>(floorDiv(int64_t(position) * kBaseDpi + kBaseDpi / 2 - 1, dpi_));
}

int32_t DisplayScale::convertedFrom(int32_t value, int64_t otherDpi) const {
    const int64_t from = usableDpi(otherDpi);
    const int64_t size = value < 0 ? -int64_t(value) : value;
    const int64_t magnitude = (size * dpi_ * 2 + from) / (2 * from);
    return static_cast<int32_t>(value < 0 ? -magnitude : magnitude);
}

LayoutRect keepWithin(const LayoutRect& rect, const LayoutRect& area) {
    const auto place = [](int32_t start, int32_t size, int32_t low, int32_t high) {
        return std::max(low, std::min(start, high - size));
    };
    const int32_t left = place(rect.left, rect.width(), area.left, area.right);
    const int32_t top = place(rect.top, rect.height(), area.top, area.bottom);
    return {left, top, left + rect.width(), top + rect.height()};
}
