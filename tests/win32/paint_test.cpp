// The picture view's drawing, read back pixel by pixel from a memory surface.
#include "win32_test_support.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kLightGrey = 0xC0C0C0;
constexpr uint32_t kMagenta = 0xFF00FF;

// What the view must show inside the frame: the picture with the hand's
// non-white pixels over it, hot spot (80, 50) at (handX, handY).
Picture composite(const AppState& state) {
    Picture expected = pictureOf(*state.currentPicture);
    if (state.handX == 0) {
        return expected;
    }
    const Picture hand = pictureOf(*state.handImage);
    for (int32_t i = 0; i < hand.height; ++i) {
        for (int32_t j = 0; j < hand.width; ++j) {
            const int64_t x = static_cast<int64_t>(state.handX) + j - 80;
            const int64_t y = static_cast<int64_t>(state.handY) + i - 50;
            if (x >= 0 && x < 480 && y >= 0 && y < 320 && hand.at(j, i) != kWhite) {
                expected.pixels[static_cast<size_t>(y) * 480 + static_cast<size_t>(x)] = hand.at(j, i);
            }
        }
    }
    return expected;
}

// Client pixels of the picture area that differ from the expected picture.
int picturePixelsDiffering(const ViewSurface& surface, const Picture& expected) {
    int differing = 0;
    for (int32_t y = 0; y < 320; ++y) {
        for (int32_t x = 0; x < 480; ++x) {
            differing += surface.at(1 + x, 320 - y) != expected.at(x, y) ? 1 : 0;
        }
    }
    return differing;
}

int framePixelsNotWhite(const ViewSurface& surface) {
    int wrong = 0;
    for (int32_t x = 0; x < 482; ++x) {
        wrong += (surface.at(x, 0) != kWhite) + (surface.at(x, 321) != kWhite);
    }
    for (int32_t y = 0; y < 322; ++y) {
        wrong += (surface.at(0, y) != kWhite) + (surface.at(481, y) != kWhite);
    }
    return wrong;
}

uint32_t rgb(const CounterColor& c) {
    return (static_cast<uint32_t>(c.red) << 16) | (c.green << 8) | c.blue;
}

}  // namespace

using PictureViewPaint = MainWindowTest;

TEST_F(PictureViewPaint, FrameIsWhiteAndThePictureIsUprightAtOneOne) {
    ViewSurface surface;
    window_->view().draw(surface.dc());
    EXPECT_EQ(framePixelsNotWhite(surface), 0);
    const AppState& state = window_->app().state();
    // Picture row 319 is the top row on screen, client row 1.
    EXPECT_EQ(surface.at(1, 1), state.currentPicture->pixel(0, 319));
    EXPECT_EQ(surface.at(480, 320), state.currentPicture->pixel(479, 0));
    EXPECT_EQ(picturePixelsDiffering(surface, composite(state)), 0);
}

TEST_F(PictureViewPaint, HandIsDrawnAtItsHotSpotWithWhiteTransparent) {
    const AppState& state = window_->app().state();
    const Picture hand = pictureOf(*state.handImage);
    int opaque = 0;
    for (uint32_t word : hand.pixels) {
        opaque += word != kWhite ? 1 : 0;
    }
    ASSERT_GT(opaque, 0) << "the built-in hand has no visible pixel";
    ASSERT_LT(opaque, 196 * 100) << "the built-in hand has no transparent pixel";

    SendMessageA(window_->pictureView(), WM_MOUSEMOVE, 0, MAKELPARAM(241, 160));
    ASSERT_EQ(state.handX, 240u);
    ViewSurface surface;
    window_->view().draw(surface.dc());
    const Picture expected = composite(state);
    EXPECT_EQ(picturePixelsDiffering(surface, expected), 0);
    // The hand really changed what shows: the picture alone differs.
    EXPECT_GT(picturePixelsDiffering(surface, pictureOf(*state.currentPicture)), 0);
    if (hand.at(80, 50) != kWhite) {
        EXPECT_EQ(surface.at(1 + 240, 320 - 159), hand.at(80, 50));
    }
}

TEST_F(PictureViewPaint, HandNearTheEdgeIsCutAtThePicture) {
    const AppState& state = window_->app().state();
    // The hand's first shown position: its left and top parts lie outside.
    SendMessageA(window_->pictureView(), WM_MOUSEMOVE, 0, MAKELPARAM(31, 19));
    ASSERT_EQ(state.handX, 30u);
    ViewSurface surface;
    window_->view().draw(surface.dc());
    EXPECT_EQ(framePixelsNotWhite(surface), 0);
    EXPECT_EQ(picturePixelsDiffering(surface, composite(state)), 0);
}

TEST_F(PictureViewPaint, CounterShowsTheCountRightAlignedInItsColour) {
    struct Case {
        int32_t count;
        uint32_t color;
    };
    const Case cases[] = {
        {0, 0x409080},     // (64, 144, 128)
        {100, 0xA42C4E},   // (164, 44, 78)
        {191, 0xFF0021},   // (255, 0, 33)
        {256, 0xFF0000},
        {5000, 0xFF0000},
    };
    const RECT counter = {32, 322, 128, 358};
    AppState& state = window_->app().state();
    int leftmostOfZero = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << c.count);
        EXPECT_EQ(rgb(App::counterColor(c.count)), c.color);
        state.slapCount = c.count;
        ViewSurface surface;
        window_->view().draw(surface.dc());
        EXPECT_GT(surface.count(counter, c.color), 20);
        for (const Case& other : cases) {
            if (other.color != c.color) {
                EXPECT_EQ(surface.count(counter, other.color), 0);
            }
        }
        // Right-aligned: the left part of the counter is its grey background.
        EXPECT_EQ(surface.count(RECT{32, 322, 48, 358}, kLightGrey), 16 * 36);
        // Nothing of the text spills outside the counter.
        EXPECT_EQ(surface.count(RECT{0, 322, 32, 360}, c.color), 0);
        EXPECT_EQ(surface.count(RECT{128, 322, 482, 360}, c.color), 0);
        int leftmost = 128;
        for (int32_t x = 32; x < 128 && leftmost == 128; ++x) {
            if (surface.count(RECT{x, 322, x + 1, 358}, c.color) > 0) {
                leftmost = x;
            }
        }
        if (c.count == 0) {
            leftmostOfZero = leftmost;
            EXPECT_GT(leftmost, 100);
        } else if (c.count >= 1000) {
            EXPECT_LT(leftmost, leftmostOfZero);  // four digits reach further left
        }
    }
}

TEST_F(PictureViewPaint, DrawingCoversEveryPixelAndTheBackgroundIsNeverErased) {
    ViewSurface surface;
    surface.fill(kMagenta);
    window_->view().draw(surface.dc());
    EXPECT_EQ(surface.count(RECT{0, 0, 482, 360}, kMagenta), 0);
    // The rest of the client area shows the class background.
    EXPECT_EQ(surface.count(RECT{0, 322, 32, 360}, kLightGrey), 32 * 38);
    EXPECT_EQ(surface.count(RECT{128, 322, 482, 360}, kLightGrey), 354 * 38);
    EXPECT_EQ(surface.count(RECT{32, 358, 128, 360}, kLightGrey), 96 * 2);

    // Erasing would paint grey under the picture first and make it flicker.
    surface.fill(kMagenta);
    const LRESULT erased =
        SendMessageA(window_->pictureView(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.dc()), 0);
    EXPECT_NE(erased, 0);
    EXPECT_EQ(surface.count(RECT{0, 0, 482, 360}, kMagenta), 482 * 360);
}

TEST_F(PictureViewPaint, PaintMessageShowsTheSameOnScreen) {
    loadTestPicture();
    SendMessageA(window_->pictureView(), WM_LBUTTONDOWN, MK_LBUTTON, clientOf(300, 160));
    SendMessageA(window_->pictureView(), WM_MOUSEMOVE, 0, MAKELPARAM(241, 160));
    SetWindowPos(main_, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
    ViewSurface expected;
    window_->view().draw(expected.dc());

    // Read the view back from the screen once its paint has gone through.
    ViewSurface shown;
    HWND view = window_->pictureView();
    const auto matches = [&] {
        HDC screen = GetDC(view);
        BitBlt(shown.dc(), 0, 0, 482, 360, screen, 0, 0, SRCCOPY);
        ReleaseDC(view, screen);
        for (int32_t y = 0; y < 360; y += 7) {
            for (int32_t x = 0; x < 482; x += 5) {
                if (shown.at(x, y) != expected.at(x, y)) {
                    return false;
                }
            }
        }
        return true;
    };
    EXPECT_TRUE(pumpUntil(matches, 3000));
    EXPECT_EQ(framePixelsNotWhite(shown), 0);
    EXPECT_EQ(shown.at(1 + 300, 320 - 160), expected.at(1 + 300, 320 - 160));
}
