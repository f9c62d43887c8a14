#include <climits>
#include <cstring>
#include <string>

#include "app_test_support.h"
#include "app/web/canvas_rows.h"
#include "tests/support/hand_composition.h"
#include "tests/support/pointer_cases.h"

using PictureViewTest = AppFixture;

TEST_F(PictureViewTest, PointerMovesTheHandInsideItsBoundsAndClicksSlapTheRowBelow) {
    for (const PointerCase& c : kPointerCases) {
        SCOPED_TRACE(std::to_string(c.clientX) + "," + std::to_string(c.clientY));
        paintBoth(kSkin, kSkin);
        app.pointerMoved(124, 100);  // (123, 219): no case leaves the hand there
        platform.calls.clear();
        const int32_t count = state.slapCount;
        app.pointerMoved(c.clientX, c.clientY);
        EXPECT_EQ(platform.calls,
                  Calls{"repaintView " + std::to_string(c.handX) + "," + std::to_string(c.handY)});
        app.leftButtonDown(c.clientX, c.clientY);
        EXPECT_EQ(state.slapCount, count + c.slaps);
        if (c.slaps) {
            EXPECT_EQ(currentAt(c.clientX - 1, 319 - c.clientY), kInner);
        } else {
            EXPECT_EQ(wordsOf(*state.currentPicture), std::vector<uint32_t>(480 * 320, kSkin));
        }
    }
    // While auto mode runs the pointer is ignored.
    app.startAutoMode();
    platform.calls.clear();
    app.pointerMoved(241, 159);
    app.leftButtonDown(241, 159);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(state.handX, 0u);
    EXPECT_EQ(currentAt(240, 160), kSkin);
}

TEST_F(PictureViewTest, HandCoversThePictureExceptWhereWhiteAndIsClippedAtEveryEdge) {
    paintPattern(*state.currentPicture, 13);
    // Raw words with a top byte: they are copied as they are.
    setWord(*state.currentPicture, 0, 0xAB123456u);
    setWord(*state.currentPicture, 480 * 320 - 1, 0x01FFFFFFu);
    Dib32Image& hand = *state.handImage;
    paintPattern(hand, 14);
    for (int32_t i = 0; i < 100; ++i)
        for (int32_t j = 0; j < 196; j += 7)
            hand.setPixel(j, i, 0xFFFFFFu);     // transparent stripes
    setWord(hand, 50 * 196 + 84, 0xFFFFFFFFu);  // not the transparent word

    // clang-format off
    const std::pair<uint32_t, uint32_t> positions[] = {
        {0, 160},
        {30, 30},
        {450, 300},
        {20, 20},
        {459, 299},
        {1, 1},
        {479, 319},
        {479, 0},
        {80, 50},
        {0xFFFFFFFFu, 160},
        {240, 0xFFFFFFFFu},
        {100000, 5},
        {560, 100},
        {240, 370},
        {0xFFFFFFB0u, 0xFFFFFFF6u},
        {240, 160},
    };
    // clang-format on
    for (const auto& p : positions) {
        SCOPED_TRACE(std::to_string(p.first) + "," + std::to_string(p.second));
        fillWords(*state.displayImage, 0x777777u);
        // Set directly: pointerMoved hides most of these, and the paint must cope with any.
        state.handX = p.first;
        state.handY = p.second;
        app.composeDisplay();
        EXPECT_EQ(wordsOf(*state.displayImage), composedDisplay(state));
    }
    // The last position, spelled out: the hot spot on the point, white hand
    // columns (every seventh) show the picture, the all-ones word does not.
    Dib32Image& display = *state.displayImage;
    EXPECT_EQ(display.pixel(240, 160), hand.pixel(80, 50));
    EXPECT_EQ(display.pixel(355, 209), hand.pixel(195, 99));
    EXPECT_EQ(display.pixel(237, 160), currentAt(237, 160));
    EXPECT_EQ(display.pixel(244, 160), 0xFFFFFFu);
    // From the lower left corner (-80, -10) hand column 160, row 60 lands on (0, 0).
    // Set directly: pointerMoved never shows a hand left of or below the picture.
    state.handX = 0xFFFFFFB0u;
    state.handY = 0xFFFFFFF6u;
    app.composeDisplay();
    EXPECT_EQ(display.pixel(0, 0), hand.pixel(160, 60));
    EXPECT_EQ(display.pixel(36, 0), currentAt(36, 0));
    // Of a larger hand only the first 196 columns and 100 rows show.
    ASSERT_TRUE(hand.create(200, 120));
    paintPattern(hand, 15);
    state.handX = 240;
    state.handY = 160;
    app.composeDisplay();
    EXPECT_EQ(wordsOf(display), composedDisplay(state));
}

TEST_F(PictureViewTest, CounterTextAndColourStayWithinTheirLimits) {
    // Seven characters at most; the colour turns from greyish green to pure red.
    const uint32_t red = rgb(255, 0, 0), cyan = rgb(0, 255, 255);
    struct Case {
        int32_t count;
        const char* text;
        uint32_t colour;
    } const cases[] = {
        {0, "0", rgb(64, 144, 128)},
        {1, "1", rgb(65, 143, 128)},
        {3, "3", rgb(67, 141, 127)},
        {10, "10", rgb(74, 134, 123)},
        {100, "100", rgb(164, 44, 78)},
        {144, "144", rgb(208, 0, 56)},
        {191, "191", rgb(255, 0, 33)},
        {255, "255", rgb(255, 0, 1)},
        {256, "256", red},
        {1234567, "1234567", red},
        {INT32_MAX, "9999999", red},
        {kCounterShownMaximum, "9999999", red},
        {-3, "-3", rgb(61, 147, 130)},
        {-999999, "-999999", cyan},
        {kCounterShownMaximum + 1, "9999999", red},
        {-1000000, "-999999", cyan},
        {INT32_MIN, "-999999", cyan},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        state.slapCount = c.count;
        std::memset(state.counterText, 'x', sizeof state.counterText);
        EXPECT_EQ(app.formatCounter(), state.counterText);
        EXPECT_STREQ(state.counterText, c.text);
        const CounterColor colour = App::counterColor(c.count);
        EXPECT_EQ(rgb(colour.red, colour.green, colour.blue), c.colour);
    }
}

// Every display pixel and the counter as of each repaint against the last
// one: what a partial repaint leaves out must not have changed.
TEST_F(PictureViewTest, PartialRepaintNamesEveryPixelAndTheCounterThatChanged) {
    paintPattern(*state.untouchedPicture, 3);
    state.currentPicture->copyFrom(state.untouchedPicture.get());
    for (int32_t i = 0; i < 196 * 100; ++i)
        setWord(*state.handImage, i, i % 7 == 0 ? 0xFFFFFFu : 0x102030u + uint32_t(i));
    std::vector<uint32_t> shown = composedDisplay(state);
    int32_t shownCount = state.slapCount, partial = 0, wrong = 0;
    platform.onRepaintView = [&] {
        const std::vector<uint32_t> now = composedDisplay(state);
        if (platform.changes.size() > size_t(partial)) {
            const ViewChange& change = platform.changes[size_t(partial++)];
            const auto named = [&](int32_t x, int32_t y) {
                for (int32_t a = 0; a < change.areaCount; ++a) {
                    const PictureArea& r = change.areas[a];
                    if (x >= r.left && x < r.right && y >= r.bottom && y < r.top)
                        return true;
                }
                return false;
            };
            for (int32_t y = 0; y < 320; ++y)
                for (int32_t x = 0; x < 480; ++x)
                    wrong += now[size_t(y * 480 + x)] != shown[size_t(y * 480 + x)] && !named(x, y);
            EXPECT_EQ(change.counter, state.slapCount != shownCount) << state.slapCount;
        }
        shown = now;
        shownCount = state.slapCount;
    };
    // Moves near and far, to the edges, hidden and back; slaps by hand and by auto mode.
    const std::pair<uint16_t, uint16_t> moves[] = {
        {241, 159},     {244, 160}, {31, 19},   {451, 289}, {452, 289}, {100, 200},
        {65535, 65535}, {0, 0},     {300, 100}, {60, 300},  {470, 20},  {200, 150},
    };
    for (const auto& move : moves) {
        app.pointerMoved(move.first, move.second);
        app.leftButtonDown(move.first, move.second);
    }
    random.always(9);  // each tick adds 4: the 13th slaps at (29, 29)
    app.startAutoMode();
    for (int tick = 0; tick < 13; ++tick)
        app.autoTick();
    app.stopAutoMode();
    app.pointerMoved(241, 159);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(state.slapCount, 11);
    EXPECT_EQ(partial, 12 + 10 + 2 + 1);  // every repaint was a partial one
    EXPECT_EQ(platform.changes.size(), size_t(partial));
}

// The page's canvas takes each word as red, green, blue, opaque, whatever
// the word's top byte; rows of every width up to two shuffles and a tail,
// nothing written past the row.
TEST(CanvasRows, EachWordBecomesItsRedGreenBlueAndAnOpaqueByte) {
    for (int32_t width = 0; width <= 9; ++width) {
        SCOPED_TRACE(width);
        std::vector<uint8_t> words(4 * size_t(width)), out(4 * size_t(width) + 4, 0xAB);
        for (int32_t x = 0; x < width; ++x)
            storeLe32(&words[4 * x], 0x5A000000u | (uint32_t(x) * 0x00030507u + 0x00102030u));
        rowToCanvas(out.data(), words.data(), width);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t word = loadLe32(&words[4 * x]);
            const std::vector<uint8_t> pixel(out.begin() + 4 * x, out.begin() + 4 * x + 4);
            EXPECT_EQ(pixel, (std::vector<uint8_t>{uint8_t(word >> 16), uint8_t(word >> 8),
                                                   uint8_t(word), 0xFF}))
                << "pixel " << x;
        }
        EXPECT_EQ(loadLe32(&out[4 * size_t(width)]), 0xABABABABu);
    }
}
