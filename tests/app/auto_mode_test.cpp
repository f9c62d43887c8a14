#include <algorithm>
#include <cstdio>
#include <string>

#include "app/seeded_random.h"
#include "app_test_support.h"

class AutoModeTest : public AppFixture {
protected:
    // Ticks until one slaps; 0 when none of limit ticks did.
    int ticksUntilSlap(int limit)
    {
        for (int tick = 1; tick <= limit; ++tick)
            if (app.autoTick())
                return tick;
        return 0;
    }
    // Background everywhere except the rectangle [x0, x1] x [y0, y1].
    void skinOnly(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
    {
        fillWords(*state.currentPicture, kBackground);
        for (int32_t y = y0; y <= y1; ++y)
            for (int32_t x = x0; x <= x1; ++x)
                state.currentPicture->setPixel(x, y, rgb(100, 100, 100));
        ASSERT_TRUE(state.untouchedPicture->copyFrom(state.currentPicture.get()));
    }
};

TEST_F(AutoModeTest, StartAndStopSwitchTimerButtonsAndFlag)
{
    state.autoAccumulator = 33;
    app.startAutoMode();
    EXPECT_TRUE(state.autoMode);
    EXPECT_EQ(state.autoAccumulator, 0u);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"startAutoTimer", "enableClearButton 0",
                                                        "setAutoButtonText 停止"}));
    platform.calls.clear();
    app.stopAutoMode();
    EXPECT_FALSE(state.autoMode);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"stopAutoTimer", "enableClearButton 1",
                                                        "setAutoButtonText 自動"}));
}

TEST_F(AutoModeTest, TheButtonTogglesBetweenTheStates)
{
    app.toggleAutoMode();
    EXPECT_TRUE(state.autoMode);
    EXPECT_EQ(platform.count("startAutoTimer"), 1);
    app.toggleAutoMode();
    EXPECT_FALSE(state.autoMode);
    EXPECT_EQ(platform.count("stopAutoTimer"), 1);
    app.toggleAutoMode();
    EXPECT_TRUE(state.autoMode);
    EXPECT_EQ(platform.count("startAutoTimer"), 2);
}

TEST_F(AutoModeTest, SlapsAfterFiveToSeventeenTicks)
{
    // Each tick adds (draw % 8) + 3; the slap comes when the sum reaches 50.
    const std::pair<int32_t, int> cases[] = {{7, 5}, {15, 5}, {0, 17}, {8, 17}, {3, 9}, {32767, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE("draw " + std::to_string(c.first));
        app.startAutoMode();
        random.always(c.first);
        for (int round = 0; round < 2; ++round) {
            const int32_t countBefore = state.slapCount;
            for (int tick = 1; tick < c.second; ++tick) {
                ASSERT_FALSE(app.autoTick()) << "tick " << tick;
                EXPECT_EQ(state.autoAccumulator, static_cast<uint32_t>(tick * (c.first % 8 + 3)));
            }
            EXPECT_EQ(state.slapCount, countBefore);
            EXPECT_TRUE(app.autoTick());
            EXPECT_EQ(state.slapCount, countBefore + 1);
            EXPECT_EQ(state.autoAccumulator, 0u);
        }
        app.stopAutoMode();
    }
}

TEST_F(AutoModeTest, RestartingSumsFromZeroAgain)
{
    random.always(7);
    app.startAutoMode();
    for (int tick = 0; tick < 4; ++tick)
        ASSERT_FALSE(app.autoTick());
    app.stopAutoMode();
    app.startAutoMode();
    EXPECT_EQ(ticksUntilSlap(10), 5);
}

TEST_F(AutoModeTest, DrawsXThenYWithinTheMargins)
{
    struct Case {
        int32_t xDraw, yDraw;
        uint32_t x, y;
    };
    const Case cases[] = {{0, 0, 20, 20},       {439, 279, 459, 299}, {440, 280, 20, 20},
                          {32767, 279, 227, 299}, {279, 32767, 299, 27}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.xDraw) + "," + std::to_string(c.yDraw));
        app.startAutoMode();
        platform.calls.clear();
        random.script({7, 7, 7, 7, 7, c.xDraw, c.yDraw}, 0);
        ASSERT_EQ(ticksUntilSlap(5), 5);
        const std::string shown = "repaintView " + std::to_string(c.x) + "," + std::to_string(c.y);
        EXPECT_EQ(platform.calls, (std::vector<std::string>{shown, "playSound 0", "pause 250",
                                                            "repaintView 0," + std::to_string(c.y)}));
        EXPECT_EQ(state.handX, 0u);
        EXPECT_EQ(state.handY, c.y);
        app.stopAutoMode();
        random.draws = 0;
    }
}

TEST_F(AutoModeTest, DrawsAgainWhileThePointIsBackground)
{
    skinOnly(200, 100, 220, 110);
    app.startAutoMode();
    platform.calls.clear();
    // (20, 20) and (210, 20) are background; (210, 105) is skin. Swapping the
    // order of the draws would aim at (105, 210), which is background too.
    random.script({7, 7, 7, 7, 7, 0, 0, 190, 0, 190, 85}, 0);
    ASSERT_EQ(ticksUntilSlap(5), 5);
    EXPECT_EQ(platform.calls.front(), "repaintView 210,105");
    EXPECT_EQ(state.slapCount, 1);
}

TEST_F(AutoModeTest, NeverAimsAtBackgroundOrIntoTheMargins)
{
    // Skin in a checkerboard of 10 x 10 cells, and in full along every edge,
    // where the margins must keep the slaps away from it.
    fillWords(*state.currentPicture, kBackground);
    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 0; x < 480; ++x) {
            const bool edge = x < 20 || x > 459 || y < 20 || y > 299;
            if (edge || (x / 10 + y / 10) % 2 == 0)
                state.currentPicture->setPixel(x, y, rgb(120, 90, 80));
        }
    ASSERT_TRUE(state.untouchedPicture->copyFrom(state.currentPicture.get()));
    SeededRandom source(4242);
    random.generator = [&](int64_t) { return source.next(); };
    app.startAutoMode();
    platform.calls.clear();
    for (int tick = 0; tick < 1500; ++tick)
        app.autoTick();

    int slaps = 0;
    uint32_t leftmost = 480, rightmost = 0, lowest = 320, highest = 0;
    for (size_t i = 0; i < platform.calls.size(); ++i) {
        const std::string& call = platform.calls[i];
        if (call.rfind("repaintView ", 0) != 0 || call.rfind("repaintView 0,", 0) == 0)
            continue;
        unsigned x = 0, y = 0;
        ASSERT_EQ(std::sscanf(call.c_str(), "repaintView %u,%u", &x, &y), 2);
        ++slaps;
        EXPECT_GE(x, 20u);
        EXPECT_LE(x, 459u);
        EXPECT_GE(y, 20u);
        EXPECT_LE(y, 299u);
        EXPECT_NE(state.untouchedPicture->blue(static_cast<int32_t>(x), static_cast<int32_t>(y)), 255)
            << x << "," << y;
        leftmost = std::min(leftmost, x);
        rightmost = std::max(rightmost, x);
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
    }
    EXPECT_EQ(slaps, state.slapCount);
    EXPECT_GT(slaps, 1500 / 17);
    // The points spread over the whole inner area.
    EXPECT_LT(leftmost, 60u);
    EXPECT_GT(rightmost, 420u);
    EXPECT_LT(lowest, 60u);
    EXPECT_GT(highest, 260u);
}

TEST_F(AutoModeTest, GivesUpWithoutSlappingWhenNothingInsideIsSkin)
{
    // Skin only in the margins, where auto mode never aims.
    fillWords(*state.currentPicture, rgb(100, 100, 100));
    for (int32_t y = 20; y <= 299; ++y)
        for (int32_t x = 20; x <= 459; ++x)
            state.currentPicture->setPixel(x, y, kBackground);
    ASSERT_TRUE(state.untouchedPicture->copyFrom(state.currentPicture.get()));
    const std::vector<uint32_t> before = wordsOf(*state.currentPicture);
    state.handX = 100;
    state.handY = 200;
    SeededRandom source(1);
    random.generator = [&](int64_t i) { return i < 5 ? 7 : source.next(); };
    app.startAutoMode();
    platform.calls.clear();

    EXPECT_EQ(ticksUntilSlap(5), 0);
    EXPECT_EQ(random.draws, 5 + 2 * kAutoPointAttempts);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_EQ(state.handX, 100u);
    EXPECT_EQ(state.handY, 200u);
    EXPECT_EQ(state.autoAccumulator, 0u);
    EXPECT_TRUE(state.autoMode);
    EXPECT_EQ(wordsOf(*state.currentPicture), before);

    // The next sum starts afresh and gives up again just as quickly.
    random.draws = 0;
    EXPECT_EQ(ticksUntilSlap(5), 0);
    EXPECT_EQ(random.draws, 5 + 2 * kAutoPointAttempts);
}

TEST_F(AutoModeTest, TheLastAllowedDrawCanStillHit)
{
    skinOnly(300, 200, 300, 200);
    // Attempt a aims at (20, 20) except for one chosen attempt, which aims at
    // the one skin pixel: draws 280 and 180.
    for (int32_t hit : {kAutoPointAttempts - 1, kAutoPointAttempts}) {
        SCOPED_TRACE(hit);
        random.draws = 0;
        random.generator = [hit](int64_t i) -> int32_t {
            if (i < 5)
                return 7;
            const int64_t attempt = (i - 5) / 2;
            if (attempt != hit)
                return 0;
            return (i - 5) % 2 == 0 ? 280 : 180;
        };
        app.startAutoMode();
        const int32_t before = state.slapCount;
        const bool slapped = ticksUntilSlap(5) == 5;
        EXPECT_EQ(slapped, hit < kAutoPointAttempts);
        EXPECT_EQ(state.slapCount, before + (slapped ? 1 : 0));
        app.stopAutoMode();
    }
}

TEST_F(AutoModeTest, PointerIsIgnoredWhileItRuns)
{
    paintBoth(rgb(100, 100, 100), rgb(100, 100, 100));
    const std::vector<uint32_t> before = wordsOf(*state.currentPicture);
    state.handX = 77;
    state.handY = 88;
    app.startAutoMode();
    platform.calls.clear();
    app.pointerMoved(241, 159);
    app.leftButtonDown(241, 159);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(state.handX, 77u);
    EXPECT_EQ(state.handY, 88u);
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_EQ(wordsOf(*state.currentPicture), before);
    EXPECT_EQ(random.draws, 0);
}
