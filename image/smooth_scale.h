#pragma once
// A picture shown larger than it is, averaged: each shown pixel mixes the four
// picture pixels around the point it samples, so curves and thin lines keep
// their shape at any scale. Each shown pixel depends on its own position
// alone, so a part comes out exactly as the same part of the whole does.
#include <cstdint>

#include "image/dib32_image.h"

// 32-bit words 0x00RRGGBB, rows from the top, row r at pixels + r * stride.
struct ScaleTarget {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int64_t stride = 0;
};

// Columns [left, right) of rows [top, bottom), rows counted from the top.
struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Writes the pixels of part (clipped to the target) of source shown at the
// target's size; writes nothing for an empty source or target, or a source
// whose reported size its storage does not hold.
void scaleSmoothly(Dib32Image& source, const ScaleTarget& target, const PixelRect& part);
