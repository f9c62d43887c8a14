#include <algorithm>
#include <climits>
#include <utility>

#include "app/seeded_random.h"
#include "app_test_support.h"

// The slap step by step through the image interfaces, two sweeps, with the
// limits in floating point (1.6 times red, green and blue over 1.4,
// truncated): a slow reference the single sweep must match exactly.
static void referenceSlap(Dib32Image& current, Dib32Image& untouched, int x, int y,
                          RandomSource& random) {
    const auto inside = [](int px, int py) { return px >= 0 && px < 480 && py >= 0 && py < 320; };
    if (!inside(x, y) || current.blue(x, y) == 255)
        return;
    for (int pass = 0; pass < 2; ++pass) {
        const int rows = pass == 0 ? 49 : 45, columns = pass == 0 ? 80 : 75,
                  limit = pass == 0 ? 3300 : 2200;
        for (int dy = -rows; dy < rows; ++dy)
            for (int dx = -columns; dx < columns; ++dx) {
                const int px = x + dx, py = y + dy;
                if (!inside(px, py) || current.blue(px, py) == 255 || dx * dx + dy * dy >= limit)
                    continue;
                const int fall = pass == 1 && random.next() % 2 != 0 ? 2 : 1;
                const int red =
                    std::min({current.red(px, py) + 1, 255, int(untouched.red(px, py) * 1.6)});
                const int green =
                    std::max(current.green(px, py) - fall, int(untouched.green(px, py) / 1.4));
                const int blue =
                    std::max(current.blue(px, py) - fall, int(untouched.blue(px, py) / 1.4));
                current.setPixel(px, py, rgb(red, green, blue));
            }
    }
    random.next();
}

using SlapTest = AppFixture;

TEST_F(SlapTest, ReddensWithinCapsAndFloors) {
    struct Case {
        const char* name;
        uint32_t untouched, current;
        int32_t draw;  // every draw
        uint32_t inner, ring;
    } const cases[] = {
        {"fresh, even draws", kSkin, kSkin, 0, kInner, kRing},
        {"fresh, odd draws", kSkin, kSkin, 1, rgb(102, 97, 97), kRing},
        {"R0 0 never reddens", rgb(0, 100, 100), rgb(0, 100, 100), 0, rgb(0, 98, 98),
         rgb(0, 99, 99)},
        {"R0 1 stops at 1", rgb(1, 100, 100), rgb(0, 100, 100), 1, rgb(1, 97, 97), rgb(1, 99, 99)},
        {"R0 159 caps at 254", rgb(159, 100, 100), rgb(252, 100, 100), 0, rgb(254, 98, 98),
         rgb(253, 99, 99)},
        {"R0 160 caps at 255", rgb(160, 100, 100), rgb(253, 100, 100), 0, rgb(255, 98, 98),
         rgb(254, 99, 99)},
        {"red 255 stays", rgb(160, 100, 100), rgb(255, 100, 100), 0, rgb(255, 98, 98),
         rgb(255, 99, 99)},
        {"red above its cap falls to it", rgb(10, 100, 100), rgb(200, 100, 100), 0, rgb(16, 98, 98),
         rgb(16, 99, 99)},
        {"G0 B0 0", rgb(100, 0, 0), rgb(100, 0, 0), 1, rgb(102, 0, 0), rgb(101, 0, 0)},
        {"G0 B0 1 reach 0", rgb(100, 1, 1), rgb(100, 1, 1), 0, rgb(102, 0, 0), rgb(101, 0, 0)},
        {"G0 B0 2 floor 1", rgb(100, 2, 2), rgb(100, 2, 2), 1, rgb(102, 1, 1), rgb(101, 1, 1)},
        {"G0 B0 7 floor 5, even", rgb(100, 7, 7), rgb(100, 7, 7), 0, rgb(102, 5, 5),
         rgb(101, 6, 6)},
        {"G0 B0 255", rgb(100, 255, 255), rgb(100, 255, 254), 1, rgb(102, 252, 251),
         rgb(101, 254, 253)},
        {"G0 B0 255 floor 182", rgb(100, 255, 255), rgb(100, 183, 183), 1, rgb(102, 182, 182),
         rgb(101, 182, 182)},
        {"below the floor rises to it", rgb(100, 255, 255), kSkin, 0, rgb(102, 182, 182),
         rgb(101, 182, 182)},
        {"channels apart", rgb(160, 7, 2), rgb(254, 7, 2), 1, rgb(255, 5, 1), rgb(255, 6, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        paintBoth(c.current, c.untouched);
        random.always(c.draw);
        app.slapAt(240, 160);
        EXPECT_EQ(currentAt(240, 160), c.inner);
        EXPECT_EQ(currentAt(240 - 46, 160), c.inner);
        EXPECT_EQ(currentAt(240 + 50, 160), c.ring);
        EXPECT_EQ(currentAt(240, 160 - 49), c.ring);
        EXPECT_EQ(currentAt(240 + 58, 160), c.current);
        EXPECT_EQ(state.untouchedPicture->pixel(240, 160), c.untouched);
    }
}

TEST_F(SlapTest, AreasAreDiscsWithFlatCuts) {
    app.slapAt(240, 160);
    int changed = 0, inner = 0;
    for (uint32_t word : wordsOf(*state.currentPicture)) {
        ASSERT_TRUE(word == kSkin || word == kInner || word == kRing);
        changed += word != kSkin;
        inner += word == kInner;
    }
    EXPECT_EQ(changed, 9690);
    EXPECT_EQ(inner, 6844);
    EXPECT_EQ(random.draws, 6844 + 1);
    // Row, the word sought, its first and last column (-1: none). The cuts
    // are one row deeper below the point than above it.
    // clang-format off
    const int32_t rows[][4] = {
        {160, kRing, 183, 297},
        {111, kRing, 211, 269},
        {208, kRing, 209, 271},
        {110, kSkin, 0, 479},
        {209, kSkin, 0, 479},
        {160, kInner, 194, 286},
        {115, kInner, 227, 253},
        {204, kInner, 224, 256},
        {114, kInner, -1, -1},
        {205, kInner, -1, -1},
    };
    // clang-format on
    for (const auto& r : rows) {
        int32_t first = -1, last = -1;
        for (int32_t x = 0; x < 480; ++x)
            if (currentAt(x, r[0]) == static_cast<uint32_t>(r[1])) {
                first = first < 0 ? x : first;
                last = x;
            }
        EXPECT_EQ(std::make_pair(first, last), std::make_pair(r[2], r[3])) << "row " << r[0];
    }
}

TEST_F(SlapTest, BackgroundKeepsItsColourAndTakesNoDrawAndPointsOnItOrOutsideDoNothing) {
    // A background row of another colour and a background band, both crossing the areas.
    for (int32_t x = 0; x < 480; ++x)
        state.currentPicture->setPixel(x, 170, rgb(40, 50, 255));
    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 225; x <= 232; ++x)
            state.currentPicture->setPixel(x, y, kBackground);
    const std::vector<uint32_t> before = wordsOf(*state.currentPicture);
    app.pointerMoved(241, 159);
    for (bool autoMode : {false, true}) {
        if (autoMode)
            app.startAutoMode();
        platform.calls.clear();
        for (const auto& p : {std::make_pair(228, 160),
                              {240, 170},
                              {-1, 0},
                              {480, 0},
                              {0, -1},
                              {0, 320},
                              {-1, 160},
                              {479, 320},
                              {INT32_MIN, 0},
                              {0, INT32_MAX}})
            app.slapAt(p.first, p.second);
        EXPECT_TRUE(platform.calls.empty()) << autoMode;
    }
    EXPECT_EQ(wordsOf(*state.currentPicture), before);
    EXPECT_EQ(random.draws, 0);
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_EQ(state.handX, 240u);

    app.stopAutoMode();
    app.slapAt(240, 160);
    const std::vector<uint32_t> after = wordsOf(*state.currentPicture);
    int inner = 0;
    for (size_t i = 0; i < after.size(); ++i) {
        ASSERT_TRUE((before[i] & 0xFFu) != 0xFFu || after[i] == before[i]) << i;
        inner += after[i] == kInner;
    }
    // Skin beside it is reddened all the same, with one draw per position.
    EXPECT_EQ(currentAt(224, 160), kInner);
    EXPECT_EQ(currentAt(240, 171), kInner);
    EXPECT_EQ(random.draws, inner + 1);
    EXPECT_LT(inner, 6844);
}

TEST_F(SlapTest, MatchesTheStepByStepSlapEverywhere) {
    // Varied colours with scattered and banded background; points at the
    // corners, edges and inside, some repeated so that caps and floors come in.
    Dib32Image& untouched = *state.untouchedPicture;
    paintPattern(untouched, 7);
    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 0; x < 480; ++x)
            if ((x * 7 + y * 13) % 29 == 0 || (x > 300 && x < 320))
                untouched.setPixel(x, y, untouched.pixel(x, y) | 0xFFu);
    Dib32Image reference(480, 320), referenceUntouched(480, 320);
    ASSERT_TRUE(state.currentPicture->copyFrom(&untouched) && reference.copyFrom(&untouched) &&
                referenceUntouched.copyFrom(&untouched));

    SeededRandom appSource(12345), referenceSource(12345);
    random.generator = [&](int64_t) { return appSource.next(); };
    ScriptedRandom referenceRandom;
    referenceRandom.generator = [&](int64_t) { return referenceSource.next(); };

    std::vector<std::pair<int32_t, int32_t>> points = {
        {0, 0},     {479, 0}, {0, 319},   {479, 319}, {1, 1},   {478, 318}, {240, 0},
        {240, 319}, {0, 160}, {479, 160}, {310, 160}, {80, 49}, {399, 270}, {57, 48}};
    SeededRandom placement(99);
    for (int i = 0; i < 12; ++i)
        points.insert(points.end(),
                      {{200, 150}, {30, 300}, {placement.next() % 480, placement.next() % 320}});

    int slaps = 0;
    for (const auto& p : points) {
        SCOPED_TRACE(std::to_string(p.first) + "," + std::to_string(p.second));
        slaps += reference.blue(p.first, p.second) != 255;
        referenceSlap(reference, referenceUntouched, p.first, p.second, referenceRandom);
        app.slapAt(p.first, p.second);
        ASSERT_EQ(wordsOf(*state.currentPicture), wordsOf(reference));
        ASSERT_EQ(random.draws, referenceRandom.draws);
        ASSERT_EQ(state.slapCount, slaps);
    }
    EXPECT_EQ(wordsOf(untouched), wordsOf(referenceUntouched));
    EXPECT_GT(slaps, 20);
}

TEST_F(SlapTest, SaturatesButStillSoundsAndCountsUpToTheLargestCount) {
    paintBoth(rgb(100, 100, 140), rgb(100, 100, 140));
    random.always(1);
    for (int i = 0; i < 100; ++i)
        app.slapAt(240, 160);
    // Red cap 160, green floor 71, blue floor 100.
    EXPECT_EQ(currentAt(240, 160), rgb(160, 71, 100));
    EXPECT_EQ(currentAt(240 + 50, 160), rgb(160, 71, 100));
    const std::vector<uint32_t> saturated = wordsOf(*state.currentPicture);
    EXPECT_EQ(state.slapCount, 100);
    state.slapCount = 300;  // the colour stays pure red from 256 on, the number does not
    app.slapAt(240, 160);
    EXPECT_TRUE(platform.changes.back().counter);
    state.slapCount = INT32_MAX - 1;
    platform.calls.clear();
    app.slapAt(240, 160);
    app.slapAt(240, 160);
    EXPECT_EQ(wordsOf(*state.currentPicture), saturated);
    EXPECT_EQ(platform.calls,
              (Calls{"playSound 1", "repaintView 0,0", "playSound 1", "repaintView 0,0"}));
    EXPECT_EQ(state.slapCount, INT32_MAX);
}

TEST_F(SlapTest, DrawsOncePerInnerPositionInRowOrderThenOnceForTheSound) {
    app.pointerMoved(101, 119);
    for (const auto& sound : {std::make_pair(5, "2"), {3, "0"}, {32767, "1"}, {0, "0"}}) {
        SCOPED_TRACE(sound.first);
        paintBoth(kSkin, kSkin);
        platform.calls.clear();
        random.draws = 0;
        // Odd for the first and the last inner position only, then the sound's.
        random.generator = [&](int64_t i) {
            return i == 0 || i == 6843 ? 1 : i == 6844 ? sound.first : 0;
        };
        app.slapAt(240, 160);
        const uint32_t odd = rgb(102, 97, 97);
        EXPECT_EQ(currentAt(240 - 13, 160 - 45), odd);  // lowest row, leftmost
        EXPECT_EQ(currentAt(240 - 12, 160 - 45), kInner);
        EXPECT_EQ(currentAt(240 + 13, 160 - 45), kInner);
        EXPECT_EQ(currentAt(240 + 16, 160 + 44), odd);  // highest row, rightmost
        EXPECT_EQ(currentAt(240 + 15, 160 + 44), kInner);
        EXPECT_EQ(random.draws, 6845);
        // By hand: no pause, and the hand stays where it is.
        EXPECT_EQ(platform.calls,
                  (Calls{std::string("playSound ") + sound.second, "repaintView 100,200"}));
    }
}

// The sweeps work on raw words sized for 480 x 320: a picture of any other
// size is not slapped at all, neither painted, nor sounded, nor counted.
TEST_F(SlapTest, PictureOfAnotherSizeIsNotSlapped) {
    const std::pair<int32_t, int32_t> sizes[] = {
        {481, 320}, {480, 321}, {479, 320}, {480, 319}, {256, 256}};
    for (const auto& size : sizes) {
        for (Dib32Image* resized : {state.currentPicture.get(), state.untouchedPicture.get()}) {
            SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second) +
                         (resized == state.currentPicture.get() ? " current" : " untouched"));
            ASSERT_TRUE(resized->create(size.first, size.second));
            paintPattern(*resized, 5);
            const std::vector<uint32_t> current = wordsOf(*state.currentPicture);
            const std::vector<uint32_t> untouched = wordsOf(*state.untouchedPicture);
            platform.calls.clear();
            app.slapAt(200, 150);
            EXPECT_EQ(wordsOf(*state.currentPicture), current);
            EXPECT_EQ(wordsOf(*state.untouchedPicture), untouched);
            EXPECT_TRUE(platform.calls.empty());
            EXPECT_EQ(random.draws, 0);
            EXPECT_EQ(state.slapCount, 0);
            ASSERT_TRUE(resized->create(480, 320));
            paintBoth(kSkin, kSkin);
        }
    }
}

TEST_F(SlapTest, SettlesAtTheLimitOfEveryChannelValue) {
    // Near the centre every untouched value of each channel occurs; enough
    // slaps drive red to 1.6 times it (at most 255) and green and blue to it
    // over 1.4, truncated.
    Dib32Image& untouched = *state.untouchedPicture;
    const auto value = [](int32_t x, int32_t y) { return uint32_t(x * 3 + y * 61) % 256u; };
    for (int32_t y = 130; y <= 190; ++y)
        for (int32_t x = 210; x <= 270; ++x) {
            const uint32_t v = value(x, y);
            untouched.setPixel(x, y, rgb(v, 255 - v, v % 255));
        }
    ASSERT_TRUE(state.currentPicture->copyFrom(&untouched));
    random.always(1);
    for (int i = 0; i < 130; ++i)
        app.slapAt(240, 160);
    for (int32_t y = 130; y <= 190; ++y)
        for (int32_t x = 210; x <= 270; ++x) {
            const uint32_t v = value(x, y);
            const uint32_t expected = rgb(std::min(255, int(v * 1.6)), uint32_t((255 - v) / 1.4),
                                          uint32_t((v % 255) / 1.4));
            ASSERT_EQ(currentAt(x, y), expected) << x << "," << y << " from " << v;
        }
}
