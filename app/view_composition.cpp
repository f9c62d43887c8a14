#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/internal/picture_rules.h"

// The hand pixel that lands on (handX, handY).
constexpr int32_t kHotSpotX = 80;
constexpr int32_t kHotSpotY = 50;
constexpr uint32_t kTransparent = 0xFFFFFFu;
// The hand shows only while its position lies within these bounds.
constexpr uint32_t kHandLeast = 30;
constexpr uint32_t kHandMostX = 450;
constexpr uint32_t kHandMostY = 300;

void App::pointerMoved(uint16_t clientX, uint16_t clientY) {
    if (state_.autoMode)
        return;
    // Unsigned on purpose: a pointer left of or below the picture wraps to a
    // huge value, which the bounds below then hide.
    state_.handX = static_cast<uint32_t>(clientX) - 1u;
    state_.handY = static_cast<uint32_t>(kPictureHeight - 1) - static_cast<uint32_t>(clientY);
    if (state_.handX < kHandLeast || state_.handX > kHandMostX || state_.handY < kHandLeast ||
        state_.handY > kHandMostY)
        state_.handX = 0;
    repaintViewChange(PictureArea{}, false);
}

PictureArea App::opaqueHand() {
    Dib32Image& hand = *state_.handImage;
    const PixelWords words = hand.words();
    const int32_t columns = std::min(hand.width(), kHandWidth);
    const int32_t rows = std::min(hand.height(), kHandHeight);
    const auto opaque = [&](int32_t x, int32_t y) {
        return words.load(int64_t(y) * hand.width() + x) != kTransparent;
    };
    // Scanned in from each edge, as every pointer move asks: only the white
    // around the hand is read, not all of it.
    const auto opaqueRow = [&](int32_t y) {
        for (int32_t x = 0; x < columns; ++x)
            if (opaque(x, y))
                return true;
        return false;
    };
    int32_t bottom = 0;
    while (bottom < rows && !words.empty() && !opaqueRow(bottom))
        ++bottom;
    if (bottom >= rows || words.empty())
        return {};
    int32_t top = rows;
    while (!opaqueRow(top - 1))
        --top;
    const auto opaqueColumn = [&](int32_t x) {
        for (int32_t y = bottom; y < top; ++y)
            if (opaque(x, y))
                return true;
        return false;
    };
    int32_t left = 0, right = columns;
    while (!opaqueColumn(left))
        ++left;
    while (!opaqueColumn(right - 1))
        --right;
    return {left, bottom, right, top};
}

PictureArea App::handArea(const PictureArea& opaque, uint32_t x, uint32_t y) {
    if (x == 0 || opaque.empty())
        return {};
    // In 64 bits: a wrapped position lies far outside and clips to nothing.
    const int64_t left = int64_t(x) - kHotSpotX, bottom = int64_t(y) - kHotSpotY;
    return {clippedTo(left + opaque.left, kPictureWidth),
            clippedTo(bottom + opaque.bottom, kPictureHeight),
            clippedTo(left + opaque.right, kPictureWidth),
            clippedTo(bottom + opaque.top, kPictureHeight)};
}

void App::repaintWholeView() {
    shownHandX_ = state_.handX;
    shownHandY_ = state_.handY;
    platform_.repaintView();
}

void App::repaintViewChange(const PictureArea& changed, bool counter) {
    ViewChange change;
    // Once for both places; a hidden hand's pixels need not be scanned.
    const PictureArea opaque = shownHandX_ != 0 || state_.handX != 0 ? opaqueHand() : PictureArea{};
    for (const PictureArea& area : {handArea(opaque, shownHandX_, shownHandY_),
                                    handArea(opaque, state_.handX, state_.handY), changed}) {
        if (!area.empty())
            change.areas[change.areaCount++] = area;
    }
    change.counter = counter;
    shownHandX_ = state_.handX;
    shownHandY_ = state_.handY;
    platform_.repaintViewChange(change);
}

void App::leftButtonDown(uint16_t clientX, uint16_t clientY) {
    if (state_.autoMode)
        return;
    slapAt(static_cast<int32_t>(clientX) - 1, kPictureHeight - 1 - static_cast<int32_t>(clientY));
}

void App::composeDisplay() {
    Dib32Image& display = *state_.displayImage;
    Dib32Image& current = *state_.currentPicture;
    if (!hasPictureSize(display) || !hasPictureSize(current))
        return;
    const PixelWords target = display.words();
    std::memcpy(target.bytes(), current.words().bytes(),
                static_cast<size_t>(kPictureWidth) * kPictureHeight * sizeof(uint32_t));

    // handX 0 is the hidden hand: pointerMoved stores it for every position
    // outside the bounds, and no shown position is 0 (kHandLeast is 30).
    if (state_.handX == 0)
        return;
    Dib32Image& hand = *state_.handImage;
    const PixelWords handWords = hand.words();
    if (handWords.empty())
        return;
    const int32_t handWidth = hand.width();
    const int32_t columns = std::min(handWidth, kHandWidth);
    const int32_t rows = std::min(hand.height(), kHandHeight);
    // Positions are unsigned: anything left of or below the picture wraps
    // past its size and is left out by the same test as the right and top.
    // The hand columns that land inside form one run, [firstColumn, endColumn).
    // A hand whose left edge wrapped starts 2^32 - left columns left of the
    // picture, so that many of its columns are skipped.
    const uint32_t left = state_.handX - static_cast<uint32_t>(kHotSpotX);
    int64_t firstColumn = 0;
    if (left >= static_cast<uint32_t>(kPictureWidth))
        firstColumn = (int64_t(1) << 32) - left;
    const int64_t endColumn = std::min<int64_t>(
        columns, firstColumn + kPictureWidth - ((left + firstColumn) & 0xFFFFFFFFu));
    if (firstColumn >= endColumn)
        return;
    const int32_t from = static_cast<int32_t>(firstColumn);
    const int32_t count = static_cast<int32_t>(endColumn - firstColumn);
    const int32_t firstTarget =
        static_cast<int32_t>((left + static_cast<uint32_t>(from)) & 0xFFFFFFFFu);
    for (int32_t i = 0; i < rows; ++i) {
        const uint32_t ty =
            state_.handY + static_cast<uint32_t>(i) - static_cast<uint32_t>(kHotSpotY);
        if (ty >= static_cast<uint32_t>(kPictureHeight))
            continue;
        const PixelWords source = handWords.from(int64_t(i) * handWidth + from);
        const PixelWords row = target.from(int64_t(ty) * kPictureWidth + firstTarget);
        for (int32_t j = 0; j < count; ++j) {
            const uint32_t word = source.load(j);
            row.store(j, word != kTransparent ? word & 0x00FFFFFFu : row.load(j));
        }
    }
}

const char* App::formatCounter() {
    // Seven characters and the terminator: counts beyond them show the most
    // the buffer holds.
    const int32_t shown = std::clamp(state_.slapCount, kCounterShownMinimum, kCounterShownMaximum);
    std::snprintf(state_.counterText, sizeof state_.counterText, "%d", static_cast<int>(shown));
    return state_.counterText;
}

CounterColor App::counterColor(int32_t count) {
    const int64_t n = count;
    // Floor division, so a negative count could not round toward zero.
    const int64_t half = n >= 0 ? n / 2 : -((-n + 1) / 2);
    const auto channel = [](int64_t v) {
        return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
    };
    return CounterColor{channel(n + 64), channel(144 - n), channel(128 - half)};
}
