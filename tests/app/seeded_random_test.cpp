#include <vector>

#include "app/seeded_random.h"
#include "app_test_support.h"

TEST(SeededRandom, FollowsTheFifteenBitGeneratorFromItsSeed) {
    const std::pair<uint32_t, std::vector<int32_t>> cases[] = {
        {1, {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}},
        {0, {38, 7719, 21238, 2437, 8855}},
    };
    for (const auto& c : cases) {
        SeededRandom random(c.first);
        std::vector<int32_t> drawn;
        for (size_t i = 0; i < c.second.size(); ++i)
            drawn.push_back(random.next());
        EXPECT_EQ(drawn, c.second) << "seed " << c.first;
    }
}

TEST(SeededRandom, RunsOfDrawsMatchSingleDraws) {
    SeededRandom single(987654321u), runs(987654321u);
    // Run lengths around the four-at-a-time stride, mixed with single draws.
    for (int32_t count : {0, 1, 2, 3, 4, 5, 7, 8, 9, 93, 1, 115, 6, 1000}) {
        std::vector<int32_t> expected(static_cast<size_t>(count) + 1);
        for (int32_t& v : expected)
            v = single.next();
        std::vector<int32_t> drawn(static_cast<size_t>(count) + 1, -1);
        runs.nextMany(drawn.data(), count);
        drawn.back() = runs.next();
        ASSERT_EQ(drawn, expected) << "run of " << count;
    }
}
