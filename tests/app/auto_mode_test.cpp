#include <string>

#include "app_test_support.h"

class AutoModeTest : public AppFixture {
protected:
    // Ticks until one slaps; 0 when none of limit ticks did.
    int ticksUntilSlap(int limit) {
        for (int tick = 1; tick <= limit; ++tick)
            if (app.autoTick())
                return tick;
        return 0;
    }
};

TEST_F(AutoModeTest, TheButtonSwitchesTimerButtonsAndFlag) {
    const Calls start{"startAutoTimer", "enableClearButton 0", "setAutoButtonText 停止"};
    const Calls stop{"stopAutoTimer", "enableClearButton 1", "setAutoButtonText 自動"};
    for (int round = 0; round < 2; ++round) {
        state.autoAccumulator = 33;
        platform.calls.clear();
        app.toggleAutoMode();
        EXPECT_TRUE(state.autoMode && state.autoAccumulator == 0);
        EXPECT_EQ(platform.calls, start);
        platform.calls.clear();
        app.toggleAutoMode();
        EXPECT_FALSE(state.autoMode);
        EXPECT_EQ(platform.calls, stop);
    }
}

TEST_F(AutoModeTest, SlapsAfterFiveToSeventeenTicks) {
    // Each tick adds (draw % 8) + 3; the slap comes when the sum reaches 50.
    for (const auto& c :
         {std::make_pair(7, 5), {15, 5}, {0, 17}, {8, 17}, {3, 9}, {4, 8}, {32767, 5}}) {
        SCOPED_TRACE("draw " + std::to_string(c.first));
        random.always(c.first);
        // A run stopped halfway leaves nothing behind for the next.
        app.startAutoMode();
        app.autoTick();
        app.stopAutoMode();
        app.startAutoMode();
        for (int round = 0; round < 2; ++round) {
            const int32_t countBefore = state.slapCount;
            for (int tick = 1; tick < c.second; ++tick) {
                ASSERT_FALSE(app.autoTick()) << "tick " << tick;
                EXPECT_EQ(state.autoAccumulator, static_cast<uint32_t>(tick * (c.first % 8 + 3)));
            }
            EXPECT_TRUE(app.autoTick());
            EXPECT_EQ(state.slapCount, countBefore + 1);
            EXPECT_EQ(state.autoAccumulator, 0u);
        }
        app.stopAutoMode();
    }
}

TEST_F(AutoModeTest, DrawsXThenYWithinTheMarginsAgainWhileOnBackground) {
    state.currentPicture->setPixel(21, 21, kBackground);
    state.currentPicture->setPixel(210, 21, kBackground);
    struct Case {
        std::vector<int32_t> draws;  // after the five tick draws
        uint32_t x, y;
    } const cases[] = {
        {{0, 0}, 20, 20},
        {{439, 279}, 459, 299},
        {{440, 280}, 20, 20},
        {{32767, 279}, 227, 299},
        {{279, 32767}, 299, 27},
        // (21, 21) and (210, 21) are background; y drawn first would aim at (21, 210).
        {{1, 1, 190, 1, 190, 85}, 210, 105},
    };
    std::vector<uint32_t> seen;
    app.startAutoMode();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.draws));
        platform.calls.clear();
        seen.clear();
        platform.onRepaintView = [&] { seen.push_back(currentAt(c.x, c.y)); };
        std::vector<int32_t> draws{7, 7, 7, 7, 7};
        draws.insert(draws.end(), c.draws.begin(), c.draws.end());
        random.draws = 0;
        random.script(draws, 0);
        const uint32_t before = currentAt(c.x, c.y);
        ASSERT_EQ(ticksUntilSlap(5), 5);
        const std::string y = std::to_string(c.y);
        EXPECT_EQ(platform.calls, (Calls{"repaintView " + std::to_string(c.x) + "," + y,
                                         "playSound 0", "pause 250", "repaintView 0," + y}));
        // The hand is shown over the picture before the slap reddens it.
        EXPECT_EQ(seen, (std::vector<uint32_t>{before, currentAt(c.x, c.y)}));
        EXPECT_NE(seen[0], seen[1]);
    }
}

TEST_F(AutoModeTest, GivesUpAfterTheLastAttemptWithoutAnyTrace) {
    // Skin only in the margins, where no attempt aims, and at (300, 200),
    // which the draws 280 and 180 reach; every other attempt aims at (20, 20).
    paintBoth(kBackground, kBackground);
    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 0; x < 480; ++x)
            if (x < 20 || x > 459 || y < 20 || y > 299 || (x == 300 && y == 200))
                state.currentPicture->setPixel(x, y, kSkin);
    const std::vector<uint32_t> before = wordsOf(*state.currentPicture);
    app.pointerMoved(101, 119);
    app.startAutoMode();
    platform.calls.clear();
    for (int32_t hit : {kAutoPointAttempts, kAutoPointAttempts, kAutoPointAttempts - 1}) {
        random.draws = 0;
        random.generator = [hit](int64_t i) {
            return i < 5 ? 7 : (i - 5) / 2 != hit ? 0 : (i - 5) % 2 == 0 ? 280 : 180;
        };
        const bool hits = hit < kAutoPointAttempts;
        EXPECT_EQ(ticksUntilSlap(5), hits ? 5 : 0);
        EXPECT_EQ(state.autoAccumulator, 0u);
        if (hits)
            break;
        // Each sum starts afresh and gives up again just as quickly, leaving no trace.
        EXPECT_EQ(random.draws, 5 + 2 * kAutoPointAttempts);
        EXPECT_TRUE(platform.calls.empty());
        EXPECT_EQ(state.handX, 100u);
        EXPECT_EQ(state.handY, 200u);
        EXPECT_EQ(wordsOf(*state.currentPicture), before);
    }
    EXPECT_EQ(state.slapCount, 1);
    EXPECT_TRUE(state.autoMode);
}
