#include <algorithm>
#include <array>
#include <climits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// Both are taken as a multiplication and a shift, which fit 16-bit lanes
// (see channelLimits). They are exact for every channel value: 52429 is
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

// One position: red rises by the step's red byte and green and blue fall by
// its green and blue bytes, each held at its limit; background is left as it
// is. Clamping once at the end gives what clamping after every step gives,
// because the limits do not move in between.
static uint32_t reddenWord(uint32_t word, uint32_t reference, uint32_t rise, uint32_t fall) {
    const int32_t r = static_cast<int32_t>((word >> 16) & 0xFFu);
    const int32_t g = static_cast<int32_t>((word >> 8) & 0xFFu);
    const int32_t b = static_cast<int32_t>(word & 0xFFu);
    const int32_t up = static_cast<int32_t>((rise >> 16) & 0xFFu);
    const int32_t down = static_cast<int32_t>(fall & 0xFFu);
    const int32_t red = std::min(r + up, static_cast<int32_t>(redCap((reference >> 16) & 0xFFu)));
    const int32_t green =
        std::max(g - down, static_cast<int32_t>(channelFloor((reference >> 8) & 0xFFu)));
    const int32_t blue = std::max(b - down, static_cast<int32_t>(channelFloor(reference & 0xFFu)));
    const uint32_t slapped = static_cast<uint32_t>((red << 16) | (green << 8) | blue);
    return isBackgroundWord(word) ? word : slapped;
}

#if defined(__SSE2__)
// Four positions at once, byte by byte: a saturating add and subtract of the
// steps, then the limits as a byte minimum and maximum, which is exact since
// every limit lies in 0..255 (red's is capped there) and a fall below 0 is
// lifted to a floor of 0 or more anyway. The limits come from the reference
// in 16-bit lanes: c0 x (5, 5, 8) x (37450, 37450, 52429) >> 18 as a low
// multiply, a high multiply and a shift by 2, the same products as above.
static __m128i channelLimits(__m128i reference16) {
    const __m128i factor = _mm_setr_epi16(5, 5, 8, 0, 5, 5, 8, 0);
    const __m128i reciprocal = _mm_setr_epi16(int16_t(37450), int16_t(37450), int16_t(52429), 0,
                                              int16_t(37450), int16_t(37450), int16_t(52429), 0);
    return _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(reference16, factor), reciprocal), 2);
}

static __m128i reddenFour(__m128i word, __m128i reference, __m128i rise, __m128i fall) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i blueGreen = _mm_set1_epi32(0x0000FFFF);
    const __m128i blue = _mm_set1_epi32(0x000000FF);
    // Bytes floor blue, floor green, red cap (255 when above), 0.
    const __m128i limits = _mm_packus_epi16(channelLimits(_mm_unpacklo_epi8(reference, zero)),
                                            channelLimits(_mm_unpackhi_epi8(reference, zero)));
    const __m128i ceiling = _mm_or_si128(limits, blueGreen);
    const __m128i floor = _mm_and_si128(limits, blueGreen);
    const __m128i stepped = _mm_subs_epu8(_mm_adds_epu8(word, rise), fall);
    const __m128i slapped = _mm_max_epu8(_mm_min_epu8(stepped, ceiling), floor);
    const __m128i background = _mm_cmpeq_epi32(_mm_and_si128(word, blue), blue);
    return _mm_or_si128(_mm_and_si128(background, word), _mm_andnot_si128(background, slapped));
}
#endif

// One row of positions, each with its own rise (in the red byte) and fall (in
// the green and blue bytes).
static void reddenSpan(PixelWords current, PixelWords untouched, const uint32_t* rise,
                       const uint32_t* fall, int32_t count) {
    int32_t j = 0;
#if defined(__SSE2__)
    for (; j + 4 <= count; j += 4) {
        uint8_t* at = current.from(j).bytes();
        const __m128i word = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i reference =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(untouched.from(j).bytes()));
        const __m128i up = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rise + j));
        const __m128i down = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fall + j));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), reddenFour(word, reference, up, down));
    }
#endif
    for (; j < count; ++j)
        current.store(j, reddenWord(current.load(j), untouched.load(j), rise[j], fall[j]));
}

// A step of 1 as pixel words: red up by 1; green and blue down by 1.
constexpr uint32_t kRiseOne = 0x00010000u;
constexpr uint32_t kFallOne = 0x00000101u;

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
    uint32_t rise[kMaxSpan];
    uint32_t fall[kMaxSpan];
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
        std::fill(rise, rise + count, kRiseOne);
        std::fill(fall, fall + count, kFallOne);

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
                    rise[j] = 2 * kRiseOne;
                    fall[j] = (2 + uint32_t(draws[j - first] & 1)) * kFallOne;
                }
            } else {
                const int32_t* draw = draws;
                for (int32_t j = first; j <= last; ++j) {
                    if (isBackgroundWord(row.load(j)))
                        continue;
                    rise[j] = 2 * kRiseOne;
                    fall[j] = (2 + uint32_t(*draw++ & 1)) * kFallOne;
                }
            }
        }
        reddenSpan(row, reference, rise, fall, count);
    }
}

// The columns the outer area reaches, left and right of the point.
static constexpr int32_t outerReach(bool right) {
    int32_t reach = 0;
    for (size_t i = 0; i < kOuterRows.first.size(); ++i)
        if (kOuterRows.first[i] <= kOuterRows.last[i])
            reach = std::max(reach, right ? kOuterRows.last[i] : -kOuterRows.first[i]);
    return reach;
}
static constexpr int32_t kOuterReachLeft = outerReach(false);
static constexpr int32_t kOuterReachRight = outerReach(true);

PictureArea App::slapArea(int32_t x, int32_t y) {
    return {clippedTo(int64_t(x) - kOuterReachLeft, kPictureWidth),
            clippedTo(int64_t(y) + kOuterArea.dyLow, kPictureHeight),
            clippedTo(int64_t(x) + kOuterReachRight + 1, kPictureWidth),
            clippedTo(int64_t(y) + kOuterArea.dyHigh + 1, kPictureHeight)};
}

// The counter shows the same for both counts: the same text in the same colour.
static bool counterLooksSame(int32_t a, int32_t b) {
    const CounterColor ca = App::counterColor(a), cb = App::counterColor(b);
    return std::clamp(a, kCounterShownMinimum, kCounterShownMaximum) ==
               std::clamp(b, kCounterShownMinimum, kCounterShownMaximum) &&
           ca.red == cb.red && ca.green == cb.green && ca.blue == cb.blue;
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
        repaintViewChange(PictureArea{}, false);
        state_.handX = 0;
    }

    reddenAround(current.words(), untouched.words(), x, y, random_);

    const Sound& sound = state_.slapSounds[drawBelow(random_, 3)];
    platform_.playSound(sound.bytes, sound.size);
    const int32_t countBefore = state_.slapCount;
    if (state_.slapCount < INT32_MAX)
        ++state_.slapCount;
    if (state_.autoMode)
        platform_.pause(250);
    repaintViewChange(slapArea(x, y), !counterLooksSame(countBefore, state_.slapCount));
}
