// The picture view's drawing, read back pixel by pixel from a memory surface.
#include <algorithm>

#include "tests/support/hand_composition.h"
#include "win32_test_support.h"

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;

// Pixels of the picture area that differ from the expected picture, plus
// pixels of the one-pixel frame around it that are not white.
int wrongPixels(const ViewSurface& surface, const std::vector<uint32_t>& expected) {
    int wrong = 0;
    for (int32_t y = 0; y < 322; ++y) {
        for (int32_t x = 0; x < 482; ++x) {
            const bool frame = x == 0 || y == 0 || x == 481 || y == 321;
            wrong +=
                surface.at(x, y) != (frame ? kWhite : expected[(320 - y) * 480 + x - 1] & 0xFFFFFF);
        }
    }
    return wrong;
}

}  // namespace

using PictureViewPaint = MainWindowTest;

TEST_F(PictureViewPaint, FramePictureAndHandCoverEveryPixelAndNothingIsErased) {
    const Picture hand = pictureOf(*state().handImage);
    const int opaque = static_cast<int>(hand.pixels.size()) -
                       static_cast<int>(std::count(hand.pixels.begin(), hand.pixels.end(), kWhite));
    ASSERT_TRUE(opaque > 0 && opaque < 196 * 100) << "the hand needs opaque and transparent pixels";
    ASSERT_NE(hand.at(80, 50), kWhite);

    // No hand; the hand in the middle; at its first shown position, cut at the picture's edge.
    const POINT pointers[] = {{0, 0}, {241, 160}, {31, 19}};
    ViewSurface surface;
    for (const POINT& pointer : pointers) {
        move(pointer.x, pointer.y);
        EXPECT_EQ(state().handX != 0, pointer.x != 0);
        surface.fill(kMagenta);
        window_->view().draw(surface.dc());
        EXPECT_EQ(wrongPixels(surface, composedDisplay(state())), 0)
            << "pointer " << pointer.x << "," << pointer.y;
        EXPECT_EQ(surface.count(RECT{0, 0, 482, 360}, kMagenta), 0);
    }
    // Around the counter the class background shows.
    EXPECT_EQ(surface.count(RECT{0, 322, 32, 360}, kLightGrey) +
                  surface.count(RECT{128, 322, 482, 360}, kLightGrey) +
                  surface.count(RECT{32, 358, 128, 360}, kLightGrey),
              (32 + 354) * 38 + 96 * 2);
    // Erasing would paint grey under the picture first and make it flicker.
    surface.fill(kMagenta);
    EXPECT_NE(SendMessageA(window_->pictureView(), WM_ERASEBKGND,
                           reinterpret_cast<WPARAM>(surface.dc()), 0),
              0);
    EXPECT_EQ(surface.count(RECT{0, 0, 482, 360}, kMagenta), 482 * 360);
}

TEST_F(PictureViewPaint, CounterShowsTheCountRightAlignedInItsColour) {
    const std::pair<int32_t, uint32_t> cases[] = {{0, 0x409080}, {256, 0xFF0000}, {5000, 0xFF0000}};
    int leftmostOfZero = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        window_->app().state().slapCount = c.first;
        ViewSurface surface;
        window_->view().draw(surface.dc());
        EXPECT_GT(surface.count(RECT{32, 322, 128, 358}, c.second), 20);
        EXPECT_EQ(surface.count(RECT{32, 322, 128, 358}, c.first == 0 ? 0xFF0000 : 0x409080), 0);
        // Right-aligned: the counter's left part is its grey background; nothing spills out.
        EXPECT_EQ(surface.count(RECT{32, 322, 48, 358}, kLightGrey), 16 * 36);
        EXPECT_EQ(surface.count(RECT{0, 322, 32, 360}, c.second) +
                      surface.count(RECT{128, 322, 482, 360}, c.second),
                  0);
        int leftmost = 32;
        while (leftmost < 128 &&
               surface.count(RECT{leftmost, 322, leftmost + 1, 358}, c.second) == 0) {
            ++leftmost;
        }
        EXPECT_TRUE(c.first == 0 ? leftmost > 100 : c.first < 1000 || leftmost < leftmostOfZero)
            << leftmost;
        leftmostOfZero =
            c.first == 0 ? leftmost : leftmostOfZero;  // four digits reach further left
    }
}

TEST_F(PictureViewPaint, PaintMessageShowsTheSameOnScreen) {
    loadTestPicture();
    slapAt(300, 160);
    move(241, 160);
    SetWindowPos(main_, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
    // Read the view back from the screen once its paint has gone through.
    ViewSurface shown;
    HWND view = window_->pictureView();
    const std::vector<uint32_t> expected = composedDisplay(state());
    EXPECT_TRUE(pumpUntil(
        [&] {
            BitBlt(shown.dc(), 0, 0, kViewWidth, kViewHeight, WindowDc(view).get(), 0, 0, SRCCOPY);
            return wrongPixels(shown, expected) == 0;
        },
        3000));
}
