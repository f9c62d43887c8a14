#pragma once
// The application's logic, free of Win32: the slap, auto mode, picture
// exchange and the picture view's composition over the AppState it holds for
// the whole run. Everything outside goes through Platform and RandomSource.
#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "app/counter.h"
#include "app/picture_size.h"
#include "app/platform.h"
#include "app/sound.h"
#include "image/image.h"

// An auto tick draws at most this many points looking for one off the
// background, then gives up without slapping.
constexpr int32_t kAutoPointAttempts = 10000;
// The longest path the platform's file calls and the save dialog take, in
// UTF-16 units (the platform's own).
constexpr int32_t kLongestPath = 259;

class App {
public:
    // Both are borrowed and must outlive the App.
    App(Platform& platform, RandomSource& random);

    AppState& state() { return state_; }
    const AppState& state() const { return state_; }

    // Start-up: decodes the built-in picture and hand from bytes that are
    // borrowed and never written, and keeps references to the sounds.
    void loadBuiltIns(const uint8_t* picture, int32_t pictureSize, const uint8_t* hand,
                      int32_t handSize, const Sound (&sounds)[3]);

    void slapAt(int32_t x, int32_t y);
    // Clear: back to the untouched picture, counter 0, whole window repainted.
    void clear();

    void startAutoMode();
    void stopAutoMode();
    // The Auto button.
    void toggleAutoMode();
    // One timer tick; true when it slapped. A picture with nothing but
    // background inside the margins makes it give up after
    // kAutoPointAttempts points, leaving the hand where it was.
    bool autoTick();

    // Pointer messages of the picture view, in client coordinates.
    void pointerMoved(uint16_t clientX, uint16_t clientY);
    void leftButtonDown(uint16_t clientX, uint16_t clientY);

    // True when the file replaced both pictures. A path longer than
    // kLongestPath is refused unread.
    bool loadPictureFile(const char* path);
    // The drop bookkeeping for the first dropped file: load, counter, auto
    // mode, repaint.
    void pictureDropped(const char* path);
    // Writes currentPicture as a 24-bit BMP; an existing file is replaced only
    // once the new one is complete. False when nothing was saved, a path
    // longer than kLongestPath included.
    bool savePicture(const char* path);

    // The paint's picture: currentPicture with the hand over it, in displayImage.
    void composeDisplay();
    // slapCount as text in state().counterText.
    const char* formatCounter();
    static CounterColor counterColor(int32_t count);

    // The picture area the hand's pixels that are not white (opaque, from
    // opaqueHand) cover with its hot spot at (x, y), within the picture;
    // empty for the hidden hand (x 0).
    static PictureArea handArea(const PictureArea& opaque, uint32_t x, uint32_t y);
    // The picture area a slap at (x, y) may change, within the picture.
    static PictureArea slapArea(int32_t x, int32_t y);

private:
    // The view repainted whole, or only where the hand was and is now, the
    // changed area and, when it changed, the counter.
    void repaintWholeView();
    void repaintViewChange(const PictureArea& changed, bool counter);
    // The box of the hand's pixels that are not white, in hand pixels
    // (bottom-up rows); empty when all are white.
    PictureArea opaqueHand();

    std::string reserveTemporarySibling(const std::string& chosen, int32_t* attempt);

    AppState state_;
    // Where the last repaint showed the hand.
    uint32_t shownHandX_ = 0;
    uint32_t shownHandY_ = 0;
    Platform& platform_;
    RandomSource& random_;
};
