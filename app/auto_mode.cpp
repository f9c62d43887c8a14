#include "app/app.h"
#include "app/internal/picture_rules.h"
#include "app/shown_texts.h"

// Sum of draws that triggers an auto slap; each tick adds 3 to 10.
constexpr uint32_t kAutoThreshold = 50;
// Auto slaps keep this far from every edge of the picture.
constexpr int32_t kAutoMargin = 20;

void App::startAutoMode() {
    state_.autoAccumulator = 0;
    platform_.startAutoTimer();
    platform_.enableClearButton(false);
    platform_.setAutoButtonText(HOPPEL_TEXT_STOP);
    state_.autoMode = true;
}

void App::stopAutoMode() {
    platform_.stopAutoTimer();
    platform_.enableClearButton(true);
    platform_.setAutoButtonText(HOPPEL_TEXT_AUTO);
    state_.autoMode = false;
}

void App::toggleAutoMode() {
    if (state_.autoMode)
        stopAutoMode();
    else
        startAutoMode();
}

bool App::autoTick() {
    state_.autoAccumulator += static_cast<uint32_t>(drawBelow(random_, 8) + 3);
    if (state_.autoAccumulator < kAutoThreshold)
        return false;

    Dib32Image& current = *state_.currentPicture;
    const PixelWords words = hasPictureSize(current) ? current.words() : PixelWords();
    const uint32_t oldHandX = state_.handX;
    const uint32_t oldHandY = state_.handY;
    bool found = false;
    for (int32_t attempt = 0; attempt < kAutoPointAttempts && !words.empty(); ++attempt) {
        const int32_t x = drawBelow(random_, kPictureWidth - 2 * kAutoMargin) + kAutoMargin;
        const int32_t y = drawBelow(random_, kPictureHeight - 2 * kAutoMargin) + kAutoMargin;
        state_.handX = static_cast<uint32_t>(x);
        state_.handY = static_cast<uint32_t>(y);
        if (!isBackgroundWord(words.load(y * kPictureWidth + x))) {
            found = true;
            break;
        }
    }

    if (found) {
        slapAt(static_cast<int32_t>(state_.handX), static_cast<int32_t>(state_.handY));
    } else {
        // Nothing to aim at: the tick passes unseen, and the next sum starts
        // afresh, so a hopeless picture costs one bounded search per 5 to 17 ticks.
        state_.handX = oldHandX;
        state_.handY = oldHandY;
    }
    state_.autoAccumulator = 0;
    return found;
}
