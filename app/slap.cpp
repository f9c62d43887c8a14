#include <algorithm>
#include <array>
#include <climits>

#include "app/app.h"
#include "app/app_internal.h"

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

static constexpr AreaRows areaRows(const SlapArea& area)
{
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

// The red cap 8 * R0 / 5 (R0 * 1.6 truncated) is reached only through this
// table, one entry per reference red.
static constexpr std::array<uint8_t, 256> redCaps()
{
    std::array<uint8_t, 256> caps{};
    for (int32_t r0 = 0; r0 < 256; ++r0)
        caps[static_cast<size_t>(r0)] = static_cast<uint8_t>(std::min(8 * r0 / 5, 255));
    return caps;
}

static constexpr std::array<uint8_t, 256> kRedCaps = redCaps();

// The reddened word for one position: red up by one (under 255 and the cap),
// green and blue down by fall (not below five sevenths of their reference).
static inline uint32_t reddened(uint32_t word, uint32_t reference, int32_t fall)
{
    const int32_t r = static_cast<int32_t>((word >> 16) & 0xFFu);
    const int32_t g = static_cast<int32_t>((word >> 8) & 0xFFu);
    const int32_t b = static_cast<int32_t>(word & 0xFFu);
    const int32_t r0 = static_cast<int32_t>((reference >> 16) & 0xFFu);
    const int32_t g0 = static_cast<int32_t>((reference >> 8) & 0xFFu);
    const int32_t b0 = static_cast<int32_t>(reference & 0xFFu);

    const int32_t red = std::min<int32_t>(r + 1, kRedCaps[static_cast<size_t>(r0)]);
    const int32_t green = std::max(g - fall, 5 * g0 / 7);
    const int32_t blue = std::max(b - fall, 5 * b0 / 7);
    return static_cast<uint32_t>((red << 16) | (green << 8) | blue);
}

// One pass over an area around (x, y). With a random source, every position
// that passes the tests takes one draw, in row-then-column order: even falls
// by one, odd by two. The picture is read and written as pixel words, which
// leaves exactly what the per-channel reads and writes would leave.
static void reddenArea(uint8_t* current, const uint8_t* untouched, int32_t x, int32_t y,
                       const SlapArea& area, const AreaRows& rows, RandomSource* random)
{
    for (int32_t dy = area.dyLow; dy <= area.dyHigh; ++dy) {
        const int32_t py = y + dy;
        if (py < 0 || py >= kPictureHeight)
            continue;
        const size_t i = static_cast<size_t>(dy - area.dyLow);
        const int32_t from = std::max(rows.first[i], -x);
        const int32_t to = std::min(rows.last[i], kPictureWidth - 1 - x);
        const int32_t centre = py * kPictureWidth + x;
        if (random == nullptr) {
            for (int32_t dx = from; dx <= to; ++dx) {
                const uint32_t word = loadWord(current, centre + dx);
                const uint32_t reference = loadWord(untouched, centre + dx);
                storeWord(current, centre + dx,
                          isBackgroundWord(word) ? word : reddened(word, reference, 1));
            }
        } else {
            for (int32_t dx = from; dx <= to; ++dx) {
                const uint32_t word = loadWord(current, centre + dx);
                if (isBackgroundWord(word))
                    continue;
                const int32_t fall = drawBelow(*random, 2) == 0 ? 1 : 2;
                storeWord(current, centre + dx, reddened(word, loadWord(untouched, centre + dx), fall));
            }
        }
    }
}

void App::slapAt(int32_t x, int32_t y)
{
    if (x < 0 || x >= kPictureWidth || y < 0 || y >= kPictureHeight)
        return;
    Dib32Image& current = *state_.currentPicture;
    Dib32Image& untouched = *state_.untouchedPicture;
    if (!hasPictureSize(current) || !hasPictureSize(untouched))
        return;
    if (isBackgroundWord(loadWord(pixelBytes(current), y * kPictureWidth + x)))
        return;

    if (state_.autoMode) {
        // The hand is shown over the picture as it was, then hidden for the rest.
        platform_.repaintView();
        state_.handX = 0;
    }

    reddenArea(pixelBytes(current), pixelBytes(untouched), x, y, kOuterArea, kOuterRows, nullptr);
    reddenArea(pixelBytes(current), pixelBytes(untouched), x, y, kInnerArea, kInnerRows, &random_);

    const Sound& sound = state_.slapSounds[drawBelow(random_, 3)];
    platform_.playSound(sound.bytes, sound.size);
    if (state_.slapCount < INT32_MAX)
        ++state_.slapCount;
    if (state_.autoMode)
        platform_.pause(250);
    platform_.repaintView();
}
