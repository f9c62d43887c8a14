#include <climits>
#include <cstring>
#include <string>

#include "app_test_support.h"

class PictureViewTest : public AppFixture {
protected:
    // The paint's picture as described, through the image interfaces: the
    // pixel words copied, then every hand pixel that is not exactly 0xFFFFFF
    // and lands inside, with unsigned positions.
    std::vector<uint32_t> expectedDisplay()
    {
        Dib32Image expected(480, 320);
        for (int32_t y = 0; y < 320; ++y)
            for (int32_t x = 0; x < 480; ++x)
                setWord(expected, y * 480 + x, state.currentPicture->pixel(x, y));
        if (state.handX != 0)
            for (int32_t i = 0; i < 100; ++i)
                for (int32_t j = 0; j < 196; ++j) {
                    const uint32_t tx = state.handX + static_cast<uint32_t>(j) - 80u;
                    const uint32_t ty = state.handY + static_cast<uint32_t>(i) - 50u;
                    const uint32_t word = state.handImage->pixel(j, i);
                    if (tx < 480 && ty < 320 && word != 0xFFFFFFu)
                        expected.setPixel(static_cast<int32_t>(tx), static_cast<int32_t>(ty), word);
                }
        return wordsOf(expected);
    }
};

TEST_F(PictureViewTest, HandFollowsThePointerOnlyInsideItsBounds)
{
    struct Case {
        uint16_t clientX, clientY;
        uint32_t handX, handY;  // handX 0: hidden
    };
    const Case cases[] = {
        {31, 19, 30, 300},      {30, 19, 0, 300},    {31, 18, 0, 301},
        {451, 289, 450, 30},    {452, 289, 0, 30},   {451, 290, 0, 29},
        {241, 159, 240, 160},   {0, 160, 0, 159},    {481, 0, 0, 319},
        {100, 320, 0, 0xFFFFFFFFu}, {100, 359, 0, 0xFFFFFFD8u}, {65535, 65535, 0, 0xFFFF0140u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.clientX) + "," + std::to_string(c.clientY));
        state.handX = 123;
        state.handY = 45;
        platform.calls.clear();
        app.pointerMoved(c.clientX, c.clientY);
        EXPECT_EQ(state.handX, c.handX);
        EXPECT_EQ(state.handY, c.handY);
        EXPECT_EQ(platform.calls, (std::vector<std::string>{"repaintView " + std::to_string(c.handX) +
                                                            "," + std::to_string(c.handY)}));
    }
    EXPECT_EQ(state.slapCount, 0);
}

TEST_F(PictureViewTest, ClicksSlapThePictureRowBelowThePointer)
{
    struct Case {
        uint16_t clientX, clientY;
        bool slaps;
        int32_t x, y;
    };
    const Case cases[] = {
        {0, 100, false, 0, 0},  {481, 100, false, 0, 0}, {100, 320, false, 0, 0},
        {100, 0, true, 99, 319}, {1, 319, true, 0, 0},   {480, 1, true, 479, 318},
        {241, 159, true, 240, 160},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.clientX) + "," + std::to_string(c.clientY));
        paintBoth(kSkin, kSkin);
        const int32_t count = state.slapCount;
        state.handX = 200;
        state.handY = 100;
        random.always(0);
        app.leftButtonDown(c.clientX, c.clientY);
        EXPECT_EQ(state.slapCount, count + (c.slaps ? 1 : 0));
        if (c.slaps) {
            // The point itself takes the inner area's reddening.
            EXPECT_EQ(currentAt(c.x, c.y), rgb(102, 98, 98));
        } else {
            for (uint32_t word : wordsOf(*state.currentPicture))
                ASSERT_EQ(word, kSkin);
        }
        EXPECT_EQ(state.handX, 200u);
        EXPECT_EQ(state.handY, 100u);
    }
}

TEST_F(PictureViewTest, ComposeCopiesThePictureWordsAsTheyAre)
{
    paintPattern(*state.currentPicture, 11);
    // Raw words, top byte included: a per-pixel copy through setPixel would drop it.
    setWord(*state.currentPicture, 0, 0xAB123456u);
    setWord(*state.currentPicture, 480 * 320 - 1, 0x01FFFFFFu);
    fillWords(*state.displayImage, 0x00777777u);
    state.handX = 0;
    state.handY = 160;
    app.composeDisplay();
    EXPECT_EQ(wordsOf(*state.displayImage), wordsOf(*state.currentPicture));
}

TEST_F(PictureViewTest, HandCoversThePictureExceptWhereWhite)
{
    paintPattern(*state.currentPicture, 12);
    Dib32Image& hand = *state.handImage;
    fillWords(hand, 0x00FFFFFFu);
    hand.setPixel(80, 50, 0x00ABCDEFu);       // hot spot
    hand.setPixel(0, 0, 0x00000001u);         // lower left
    hand.setPixel(195, 99, 0x00000002u);      // upper right
    setWord(hand, 50 * 196 + 81, 0xFFFFFFFFu);  // not the transparent word
    state.handX = 240;
    state.handY = 160;
    app.composeDisplay();

    std::vector<uint32_t> expected = wordsOf(*state.currentPicture);
    expected[160 * 480 + 240] = 0x00ABCDEFu;
    expected[110 * 480 + 160] = 0x00000001u;
    expected[209 * 480 + 355] = 0x00000002u;
    expected[160 * 480 + 241] = 0x00FFFFFFu;
    EXPECT_EQ(wordsOf(*state.displayImage), expected);
}

TEST_F(PictureViewTest, HandIsClippedAtEveryEdge)
{
    paintPattern(*state.currentPicture, 13);
    paintPattern(*state.handImage, 14);
    // Transparent stripes through the hand.
    for (int32_t i = 0; i < 100; ++i)
        for (int32_t j = 0; j < 196; j += 7)
            state.handImage->setPixel(j, i, 0x00FFFFFFu);
    const std::pair<uint32_t, uint32_t> positions[] = {
        {30, 30},   {450, 300}, {20, 20},          {459, 299},  {1, 1},     {479, 319},
        {479, 0},   {80, 50},   {0xFFFFFFFFu, 160}, {240, 0xFFFFFFFFu}, {100000, 5}, {560, 100},
        {240, 370}, {0xFFFFFFB0u, 0xFFFFFFF6u},
    };
    for (const auto& p : positions) {
        SCOPED_TRACE(std::to_string(p.first) + "," + std::to_string(p.second));
        state.handX = p.first;
        state.handY = p.second;
        app.composeDisplay();
        EXPECT_EQ(wordsOf(*state.displayImage), expectedDisplay());
    }
    // A hand wholly outside leaves the picture alone.
    state.handX = 560;
    state.handY = 100;
    app.composeDisplay();
    EXPECT_EQ(wordsOf(*state.displayImage), wordsOf(*state.currentPicture));
    // One reaching in from the lower left corner shows its upper right part.
    state.handX = 0xFFFFFFB0u;  // -80: hand column 160 lands on column 0
    state.handY = 0xFFFFFFF6u;  // -10: hand row 60 lands on row 0
    app.composeDisplay();
    EXPECT_EQ(state.displayImage->pixel(0, 0), state.handImage->pixel(160, 60));
    EXPECT_EQ(state.displayImage->pixel(35, 39), state.handImage->pixel(195, 99));
    EXPECT_EQ(state.displayImage->pixel(36, 0), state.currentPicture->pixel(36, 0));
    EXPECT_EQ(state.displayImage->pixel(0, 40), state.currentPicture->pixel(0, 40));
}

TEST_F(PictureViewTest, CounterTextFitsItsSevenCharacters)
{
    const std::pair<int32_t, const char*> cases[] = {
        {0, "0"},
        {1, "1"},
        {1234567, "1234567"},
        {kCounterShownMaximum, "9999999"},
        {kCounterShownMaximum + 1, "9999999"},
        {INT32_MAX, "9999999"},
        {-5, "-5"},
        {-999999, "-999999"},
        {-1000000, "-999999"},
        {INT32_MIN, "-999999"},
    };
    for (const auto& c : cases) {
        state.slapCount = c.first;
        std::memset(state.counterText, 'x', sizeof state.counterText);
        const char* text = app.formatCounter();
        EXPECT_EQ(text, state.counterText);
        EXPECT_STREQ(text, c.second) << c.first;
        EXPECT_LT(std::strlen(state.counterText), sizeof state.counterText);
    }
}

TEST_F(PictureViewTest, CounterColourTurnsFromGreyishGreenToRed)
{
    struct Case {
        int32_t count;
        uint8_t red, green, blue;
    };
    const Case cases[] = {
        {0, 64, 144, 128},   {1, 65, 143, 128},  {3, 67, 141, 127},   {10, 74, 134, 123},
        {100, 164, 44, 78},  {144, 208, 0, 56},  {191, 255, 0, 33},   {255, 255, 0, 1},
        {256, 255, 0, 0},    {257, 255, 0, 0},   {INT32_MAX, 255, 0, 0},
        {-3, 61, 147, 130},  {INT32_MIN, 0, 255, 255},
    };
    for (const Case& c : cases) {
        const CounterColor colour = App::counterColor(c.count);
        EXPECT_EQ(colour.red, c.red) << c.count;
        EXPECT_EQ(colour.green, c.green) << c.count;
        EXPECT_EQ(colour.blue, c.blue) << c.count;
    }
}
