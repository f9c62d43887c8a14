#pragma once
// How large a window is shown where its size is not its own to choose (the
// page in a browser's viewport).
#include <cstdint>

// The smallest viewport the window fits whole; below it the window stays at
// the scale that fits this one and the rest is scrolled to.
constexpr double kSmallestViewportWidth = 320;
constexpr double kSmallestViewportHeight = 240;

// Device pixels per figure for a window of width x height figures in a
// viewport of viewWidth x viewHeight CSS pixels with ratio device pixels to
// a CSS pixel: the largest whole number at which all of it fits (at most
// kMostDpi / kBaseDpi); the ratio itself (the window's natural size) where
// that number is below it and the natural size fits; where no whole number
// fits, the fraction that does; in a viewport smaller than the smallest, the
// scale that fits the smallest.
double fittingScale(double viewWidth, double viewHeight, double ratio, int32_t width,
                    int32_t height);
