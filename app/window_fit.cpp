#include "app/window_fit.h"

#include <algorithm>
#include <cmath>

#include "app/display_scale.h"

double fittingScale(double viewWidth, double viewHeight, double ratio, int32_t width,
                    int32_t height) {
    if (width < 1 || height < 1 || !(ratio > 0))
        return 1;
    // Sizes a layout rounds to a sixty-fourth of a pixel still fit exactly.
    constexpr double kSlack = 1e-9;
    const double fit = std::min(viewWidth / width, viewHeight / height) * ratio;
    const double whole = std::min<double>(kMostDpi / kBaseDpi, std::floor(fit + kSlack));
    const double smallest =
        std::min(kSmallestViewportWidth / width, kSmallestViewportHeight / height) * ratio;
    // Below the smallest viewport the window keeps the size that fits that one.
    if (fit + kSlack < smallest)
        return smallest;
    if (whole < ratio && fit + kSlack >= ratio)
        return ratio;
    return whole >= 1 ? whole : fit;
}
