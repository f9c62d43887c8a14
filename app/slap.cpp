#include <algorithm>
#include <array>
#include <climits>

#include "app/app.h"
#include "app/internal/picture_rules.h"

// The two areas a slap reddens: a disc with its top and bottom cut by the row
// range. Rows run from dyLow to dyHigh, columns from dxLow to dxHigh, and a
// position counts when dx * dx + dy * dy < limit.
struct SlapArea {
    int32_t dyLow;
    int32_t dyHigh;
    int32_t dxLow;
    int32_t dxHigh;
    int32_t limit;
};

constexpr SlapArea kOuterArea = {-49, 48, -80, 79, 3300};
constexpr SlapArea kInnerArea = {-45, 44, -75, 74, 2200};
constexpr int32_t kMaxAreaRows = 98;

// Per row, the columns of the disc inside the column range, as [first, last];
// first > last for a row the disc misses.
struct AreaRows {
    std::array<int32_t, kMaxAreaRows> first{};
    std::array<int32_t, kMaxAreaRows> last{};
};

static constexpr AreaRows areaRows(const SlapArea& area) {
    AreaRows rows;
    for (int32_t dy = area.dyLow; dy <= area.dyHigh; ++dy) {
        int32_t half = -1;
        while ((half + 1) * (half + 1) + dy * dy < area.limit)
            ++half;
        const size_t i = static_cast<size_t>(dy - area.dyLow);
        rows.first[i] = std::max(-half, area.dxLow);
        rows.last[i] = std::min(half, area.dxHigh);
    }
    return rows;
}

static constexpr AreaRows kOuterRows = areaRows(kOuterArea);
static constexpr AreaRows kInnerRows = areaRows(kInnerArea);

// Red may rise to 8 * R0 / 5 (R0 * 1.6 truncated) and no further than 255;
// green and blue may fall to 5 * G0 / 7 (G0 / 1.4 truncated), never below.
// Both are taken as a multiplication and a shift, which the compiler can do
// on several pixels at once. They are exact for every channel value: 52429 is
// (2^18 + 1) / 5, so n * 52429 >> 18 overshoots n / 5 by n / (5 * 2^18), under
// 0.002 for n = 8 * R0 <= 2040, while n / 5 lies at least 1/5 below the next
// integer; 37450 is (2^18 + 6) / 7, an overshoot under 0.005 for n = 5 * G0
// <= 1275 against a gap of at least 1/7. The static_assert below checks all.
static constexpr uint32_t redCap(uint32_t r0) {
    const uint32_t cap = (r0 * 8u * 52429u) >> 18;
    return cap < 255u ? cap : 255u;
}

static constexpr uint32_t channelFloor(uint32_t c0) {
    return (c0 * 5u * 37450u) >> 18;
}

static constexpr bool limitsAreExact() {
    for (uint32_t v = 0; v < 256; ++v)
        if (redCap(v) != std::min<uint32_t>(8 * v / 5, 255) || channelFloor(v) != 5 * v / 7)
            return false;
    return true;
}
static_assert(limitsAreExact(), "the channel limits must equal 8 * v / 5 and 5 * v / 7");

// The widest row a slap touches: the outer area's, 115 columns.
constexpr int32_t kMaxSpan = 2 * 57 + 1;

static constexpr int32_t widestRow(const AreaRows& rows) {
    int32_t widest = 0;
    for (size_t i = 0; i < rows.first.size(); ++i)
        widest = std::max(widest, rows.last[i] - rows.first[i] + 1);
    return widest;
}
static_assert(widestRow(kOuterRows) <= kMaxSpan && widestRow(kInnerRows) <= kMaxSpan,
              "a row must fit the per-row buffers");

// One row of positions: red rises by rise[j] and green and blue fall by
// fall[j], each clamped to its limit; background is left as it is. Clamping
// once at the end gives what clamping after every step gives, because the
// limits do not move in between.
static void reddenSpan(PixelWords current, PixelWords untouched, const int32_t* rise,
                       const int32_t* fall, int32_t count) {
    for (int32_t j = 0; j < count; ++j) {
        const uint32_t word = current.load(j);
        const uint32_t reference = untouched.load(j);
        const int32_t r = static_cast<int32_t>((word >> 16) & 0xFFu);
        const int32_t g = static_cast<int32_t>((word >> 8) & 0xFFu);
        const int32_t b = static_cast<int32_t>(word & 0xFFu);
        const int32_t red =
            std::min(r + rise[j], static_cast<int32_t>(redCap((reference >> 16) & 0xFFu)));
        const int32_t green =
            std::max(g - fall[j], static_cast<int32_t>(channelFloor((reference >> 8) & 0xFFu)));
        const int32_t blue =
            std::max(b - fall[j], static_cast<int32_t>(channelFloor(reference & 0xFFu)));
        const uint32_t slapped = static_cast<uint32_t>((red << 16) | (green << 8) | blue);
        current.store(j, isBackgroundWord(word) ? word : slapped);
    }
}

// Both passes over (x, y) in one sweep of the outer area. The passes touch
// each position independently and the first never makes background, so a
// position's two steps taken together leave what two sweeps would: one step
// in the outer ring, and in the inner area red +2 and green and blue -2 (even
// draw) or -3 (odd draw). The inner area's draws still come one per
// non-background position, row by row from the lowest, each row from the
// left: the order of the second sweep.
static void reddenAround(PixelWords current, PixelWords untouched, int32_t x, int32_t y,
                         RandomSource& random) {
    int32_t draws[kMaxSpan];
    int32_t rise[kMaxSpan];
    int32_t fall[kMaxSpan];
    for (int32_t dy = kOuterArea.dyLow; dy <= kOuterArea.dyHigh; ++dy) {
        const int32_t py = y + dy;
        if (py < 0 || py >= kPictureHeight)
            continue;
        const size_t outerRow = static_cast<size_t>(dy - kOuterArea.dyLow);
        const int32_t outerFirst = std::max(kOuterRows.first[outerRow], -x);
        const int32_t outerLast = std::min(kOuterRows.last[outerRow], kPictureWidth - 1 - x);
        if (outerFirst > outerLast)
            continue;
        const int32_t count = outerLast - outerFirst + 1;
        const PixelWords row = current.from(py * kPictureWidth + x + outerFirst);
        const PixelWords reference = untouched.from(py * kPictureWidth + x + outerFirst);
        for (int32_t j = 0; j < count; ++j) {
            rise[j] = 1;
            fall[j] = 1;
        }

        if (dy >= kInnerArea.dyLow && dy <= kInnerArea.dyHigh) {
            // The inner row lies within the outer one.
            const size_t innerRow = static_cast<size_t>(dy - kInnerArea.dyLow);
            const int32_t first = std::max(kInnerRows.first[innerRow], -x) - outerFirst;
            const int32_t last =
                std::min(kInnerRows.last[innerRow], kPictureWidth - 1 - x) - outerFirst;
            int32_t needed = 0;
            for (int32_t j = first; j <= last; ++j)
                needed += isBackgroundWord(row.load(j)) ? 0 : 1;
            random.nextMany(draws, needed);
            if (needed == last - first + 1) {
                for (int32_t j = first; j <= last; ++j) {
                    rise[j] = 2;
                    fall[j] = 2 + (draws[j - first] & 1);
                }
            } else {
                const int32_t* draw = draws;
                for (int32_t j = first; j <= last; ++j) {
                    if (isBackgroundWord(row.load(j)))
                        continue;
                    rise[j] = 2;
                    fall[j] = 2 + (*draw++ & 1);
                }
            }
        }
        reddenSpan(row, reference, rise, fall, count);
    }
}

void App::slapAt(int32_t x, int32_t y) {
    if (x < 0 || x >= kPictureWidth || y < 0 || y >= kPictureHeight)
        return;
    Dib32Image& current = *state_.currentPicture;
    Dib32Image& untouched = *state_.untouchedPicture;
    if (!hasPictureSize(current) || !hasPictureSize(untouched))
        return;
    if (isBackgroundWord(current.words().load(y * kPictureWidth + x)))
        return;

    if (state_.autoMode) {
        // The hand is shown over the picture as it was, then hidden for the rest.
        platform_.repaintView();
        state_.handX = 0;
    }

    reddenAround(current.words(), untouched.words(), x, y, random_);

    const Sound& sound = state_.slapSounds[drawBelow(random_, 3)];
    platform_.playSound(sound.bytes, sound.size);
    if (state_.slapCount < INT32_MAX)
        ++state_.slapCount;
    if (state_.autoMode)
        platform_.pause(250);
    platform_.repaintView();
}
