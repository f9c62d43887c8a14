#include "image/smooth_scale.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The picture pixel a shown pixel's centre falls after, and the weight of the
// next one in 256ths.
struct Tap {
    int32_t first = 0;
    uint32_t weight = 0;
};

Tap tapAt(int32_t shown, int32_t shownSize, int32_t size) {
    // The centre's position in the picture, times 2 * shownSize to stay whole.
    const int64_t position = (2 * int64_t(shown) + 1) * size - shownSize;
    const int64_t unit = 2 * int64_t(shownSize);
    if (position <= 0)
        return {};
    int64_t first = position / unit;
    int64_t weight = ((position % unit) * 256 + unit / 2) / unit;
    if (weight == 256) {
        ++first;
        weight = 0;
    }
    if (first >= size - 1)
        return {size - 1, 0};
    return {int32_t(first), uint32_t(weight)};
}

// a and b mixed with weight 256ths of b, red and blue in one multiply.
inline uint32_t mix(uint32_t a, uint32_t b, uint32_t weight) {
    const uint32_t keep = 256 - weight;
    const uint32_t redBlue =
        (((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * weight + 0x800080u) >> 8) & 0xFF00FFu;
    const uint32_t green =
        (((a & 0xFF00u) * keep + (b & 0xFF00u) * weight + 0x8000u) >> 8) & 0xFF00u;
    return redBlue | green;
}

}  // namespace

void scaleSmoothly(Dib32Image& source, const ScaleTarget& target, const PixelRect& part) {
    const PixelWords stored = source.words();
    const int32_t width = source.width(), height = source.height();
    const int32_t left = std::max(part.left, 0), top = std::max(part.top, 0);
    const int32_t right = std::min(part.right, target.width);
    const int32_t bottom = std::min(part.bottom, target.height);
    if (stored.empty() || width < 1 || height < 1 || source.wordsInside() < 0 ||
        target.pixels == nullptr || left >= right || top >= bottom)
        return;
    std::vector<Tap> columns(size_t(right - left));
    for (int32_t x = left; x < right; ++x)
        columns[size_t(x - left)] = tapAt(x, target.width, width);
    // Only the picture columns the part reads are loaded and mixed.
    const int32_t first = columns.front().first;
    const int32_t last = std::min(width - 1, columns.back().first + 1);
    // One word more than the picture is wide: a column's weightless
    // neighbour past the right edge is read, never used.
    const size_t words = size_t(width) + 1;
    std::vector<uint32_t> upper(words), lower(words), mixed(words);
    int32_t upperRow = -1, lowerRow = -1;
    const auto load = [&](std::vector<uint32_t>& into, int32_t fromTop) {
        const int32_t row = source.isBottomUp() ? height - 1 - fromTop : fromTop;
        const PixelWords from = stored.from(int64_t(row) * width);
        for (int32_t x = first; x <= last; ++x)
            into[size_t(x)] = from.load(x) & 0xFFFFFFu;
    };
    for (int32_t y = top; y < bottom; ++y) {
        const Tap row = tapAt(y, target.height, height);
        const int32_t next = std::min(row.first + 1, height - 1);
        if (upperRow != row.first) {
            if (lowerRow == row.first) {
                std::swap(upper, lower);
                std::swap(upperRow, lowerRow);
            } else {
                load(upper, row.first);
                upperRow = row.first;
            }
        }
        if (lowerRow != next) {
            load(lower, next);
            lowerRow = next;
        }
        const uint32_t* sampled = upper.data();
        if (row.weight != 0) {
            for (int32_t x = first; x <= last; ++x)
                mixed[size_t(x)] = mix(upper[size_t(x)], lower[size_t(x)], row.weight);
            sampled = mixed.data();
        }
        uint32_t* out = target.pixels + int64_t(y) * target.stride;
        for (int32_t x = left; x < right; ++x) {
            const Tap& column = columns[size_t(x - left)];
            out[x] = mix(sampled[column.first], sampled[column.first + 1], column.weight);
        }
    }
}
