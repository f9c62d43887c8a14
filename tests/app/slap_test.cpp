#include <climits>
#include <cmath>
#include <utility>

#include "app/seeded_random.h"
#include "app_test_support.h"

// The slap as described, step by step through the image interfaces, with the
// caps computed in floating point as "1.6 times, truncated": a slow reference
// the fast path must match exactly.
static void referenceSlap(Dib32Image& current, Dib32Image& untouched, int32_t x, int32_t y,
                          RandomSource& random)
{
    if (x < 0 || x > 479 || y < 0 || y > 319)
        return;
    if (current.blue(x, y) == 255)
        return;
    for (int pass = 0; pass < 2; ++pass) {
        const int dyLow = pass == 0 ? -49 : -45, dyHigh = pass == 0 ? 48 : 44;
        const int dxLow = pass == 0 ? -80 : -75, dxHigh = pass == 0 ? 79 : 74;
        const int limit = pass == 0 ? 3300 : 2200;
        for (int dy = dyLow; dy <= dyHigh; ++dy)
            for (int dx = dxLow; dx <= dxHigh; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px < 0 || px > 479 || py < 0 || py > 319 || current.blue(px, py) == 255 ||
                    dx * dx + dy * dy >= limit)
                    continue;
                const int r = current.red(px, py), g = current.green(px, py),
                          b = current.blue(px, py);
                const int r0 = untouched.red(px, py), g0 = untouched.green(px, py),
                          b0 = untouched.blue(px, py);
                int red = r + 1;
                int fall = 1;
                if (pass == 1 && random.next() % 2 != 0)
                    fall = 2;
                if (red > 255)
                    red = 255;
                if (red > static_cast<int>(r0 * 1.6))
                    red = static_cast<int>(r0 * 1.6);
                int green = g - fall, blue = b - fall;
                if (green < static_cast<int>(g0 / 1.4))
                    green = static_cast<int>(g0 / 1.4);
                if (blue < static_cast<int>(b0 / 1.4))
                    blue = static_cast<int>(b0 / 1.4);
                current.setRed(px, py, static_cast<uint8_t>(red));
                current.setGreen(px, py, static_cast<uint8_t>(green));
                current.setBlue(px, py, static_cast<uint8_t>(blue));
            }
    }
    random.next();
}

class SlapTest : public AppFixture {};

struct ReddeningCase {
    const char* name;
    uint32_t untouched;
    uint32_t current;
    int32_t draw;  // every inner-area draw
    uint32_t inner;
    uint32_t ring;
};

TEST_F(SlapTest, ReddensWithinCapsAndFloors)
{
    const ReddeningCase cases[] = {
        {"fresh, even draws", rgb(100, 100, 100), rgb(100, 100, 100), 0, rgb(102, 98, 98), rgb(101, 99, 99)},
        {"fresh, odd draws", rgb(100, 100, 100), rgb(100, 100, 100), 1, rgb(102, 97, 97), rgb(101, 99, 99)},
        {"R0 0 never reddens", rgb(0, 100, 100), rgb(0, 100, 100), 0, rgb(0, 98, 98), rgb(0, 99, 99)},
        {"R0 1 stops at 1", rgb(1, 100, 100), rgb(0, 100, 100), 1, rgb(1, 97, 97), rgb(1, 99, 99)},
        {"R0 159 caps at 254", rgb(159, 100, 100), rgb(252, 100, 100), 0, rgb(254, 98, 98), rgb(253, 99, 99)},
        {"R0 159 at its cap", rgb(159, 100, 100), rgb(254, 100, 100), 0, rgb(254, 98, 98), rgb(254, 99, 99)},
        {"R0 160 caps at 255", rgb(160, 100, 100), rgb(253, 100, 100), 0, rgb(255, 98, 98), rgb(254, 99, 99)},
        {"red 255 stays", rgb(160, 100, 100), rgb(255, 100, 100), 0, rgb(255, 98, 98), rgb(255, 99, 99)},
        {"R0 255", rgb(255, 100, 100), rgb(254, 100, 100), 0, rgb(255, 98, 98), rgb(255, 99, 99)},
        {"red above its cap falls to it", rgb(10, 100, 100), rgb(200, 100, 100), 0, rgb(16, 98, 98), rgb(16, 99, 99)},
        {"G0 B0 0", rgb(100, 0, 0), rgb(100, 0, 0), 1, rgb(102, 0, 0), rgb(101, 0, 0)},
        {"G0 B0 1 reach 0", rgb(100, 1, 1), rgb(100, 1, 1), 0, rgb(102, 0, 0), rgb(101, 0, 0)},
        {"G0 B0 2 floor 1", rgb(100, 2, 2), rgb(100, 2, 2), 1, rgb(102, 1, 1), rgb(101, 1, 1)},
        {"G0 B0 7 floor 5, even", rgb(100, 7, 7), rgb(100, 7, 7), 0, rgb(102, 5, 5), rgb(101, 6, 6)},
        {"G0 B0 7 floor 5, odd", rgb(100, 7, 7), rgb(100, 7, 7), 1, rgb(102, 5, 5), rgb(101, 6, 6)},
        {"G0 B0 255", rgb(100, 255, 255), rgb(100, 255, 254), 1, rgb(102, 252, 251), rgb(101, 254, 253)},
        {"G0 B0 255 floor 182", rgb(100, 255, 255), rgb(100, 183, 183), 1, rgb(102, 182, 182), rgb(101, 182, 182)},
        {"below the floor rises to it", rgb(100, 255, 255), rgb(100, 100, 100), 0, rgb(102, 182, 182), rgb(101, 182, 182)},
        {"channels apart", rgb(160, 7, 2), rgb(254, 7, 2), 1, rgb(255, 5, 1), rgb(255, 6, 1)},
    };
    for (const ReddeningCase& c : cases) {
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

// Columns of row y whose word is word, as [first, last]; {-1, -1} for none.
static std::pair<int32_t, int32_t> columnsHolding(Dib32Image& image, int32_t y, uint32_t word)
{
    int32_t first = -1, last = -1;
    for (int32_t x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) == word) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

TEST_F(SlapTest, AreasAreFlatCutDiscs)
{
    const uint32_t skin = rgb(100, 100, 100), inner = rgb(102, 98, 98), ring = rgb(101, 99, 99);
    paintBoth(skin, skin);
    random.always(0);
    app.slapAt(240, 160);

    int changed = 0, innerCount = 0;
    for (uint32_t word : wordsOf(*state.currentPicture)) {
        changed += word != skin;
        innerCount += word == inner;
        EXPECT_TRUE(word == skin || word == inner || word == ring);
    }
    EXPECT_EQ(changed, 9690);
    EXPECT_EQ(innerCount, 6844);
    EXPECT_EQ(random.draws, 6844 + 1);

    using Span = std::pair<int32_t, int32_t>;
    Dib32Image& picture = *state.currentPicture;
    // Outer area: widest row, lowest and highest row; nothing beyond them.
    EXPECT_EQ(columnsHolding(picture, 160, ring), Span(240 - 57, 240 + 57));
    EXPECT_EQ(columnsHolding(picture, 160 - 49, ring), Span(240 - 29, 240 + 29));
    EXPECT_EQ(columnsHolding(picture, 160 + 48, ring), Span(240 - 31, 240 + 31));
    EXPECT_EQ(columnsHolding(picture, 160 - 50, skin), Span(0, 479));
    EXPECT_EQ(columnsHolding(picture, 160 + 49, skin), Span(0, 479));
    // Inner area.
    EXPECT_EQ(columnsHolding(picture, 160, inner), Span(240 - 46, 240 + 46));
    EXPECT_EQ(columnsHolding(picture, 160 - 45, inner), Span(240 - 13, 240 + 13));
    EXPECT_EQ(columnsHolding(picture, 160 + 44, inner), Span(240 - 16, 240 + 16));
    EXPECT_EQ(columnsHolding(picture, 160 - 46, inner), Span(-1, -1));
    EXPECT_EQ(columnsHolding(picture, 160 + 45, inner), Span(-1, -1));
    // The cut is one row deeper below the point than above it.
    EXPECT_EQ(currentAt(240, 160 - 49), ring);
    EXPECT_EQ(currentAt(240, 160 + 49), skin);
}

TEST_F(SlapTest, BackgroundInsideTheAreaKeepsItsColour)
{
    const uint32_t skin = rgb(100, 100, 100);
    paintBoth(skin, skin);
    Dib32Image& picture = *state.currentPicture;
    // A background band crossing both areas left of the point, and a row above it.
    for (int32_t x = 0; x < 480; ++x)
        picture.setPixel(x, 170, rgb(40, 50, 255));
    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 225; x <= 232; ++x)
            picture.setPixel(x, y, kBackground);
    const std::vector<uint32_t> before = wordsOf(picture);
    random.always(0);
    app.slapAt(240, 160);

    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 225; x <= 232; ++x)
            ASSERT_EQ(currentAt(x, y), kBackground) << x << "," << y;
    for (int32_t x = 0; x < 480; ++x)
        if (x < 225 || x > 232) {
            ASSERT_EQ(currentAt(x, 170), rgb(40, 50, 255)) << x;
        }
    // Skin right beside the background is reddened all the same.
    EXPECT_EQ(currentAt(224, 160), rgb(102, 98, 98));
    EXPECT_EQ(currentAt(233, 160), rgb(102, 98, 98));
    EXPECT_EQ(currentAt(240, 169), rgb(102, 98, 98));
    EXPECT_EQ(currentAt(240, 171), rgb(102, 98, 98));
    // One draw per reddened inner position, none for background.
    int innerCount = 0;
    for (uint32_t word : wordsOf(picture))
        innerCount += word == rgb(102, 98, 98);
    EXPECT_GT(innerCount, 0);
    EXPECT_LT(innerCount, 6844);
    EXPECT_EQ(random.draws, innerCount + 1);
    EXPECT_NE(wordsOf(picture), before);
}

TEST_F(SlapTest, ClickOnBackgroundDoesNothingAtAll)
{
    for (bool autoMode : {false, true}) {
        SCOPED_TRACE(autoMode ? "auto mode" : "by hand");
        paintBoth(rgb(100, 100, 100), rgb(100, 100, 100));
        state.currentPicture->setPixel(240, 160, rgb(0x12, 0x34, 0xFF));
        state.autoMode = autoMode;
        state.handX = 240;
        state.handY = 160;
        const std::vector<uint32_t> before = wordsOf(*state.currentPicture);
        platform.calls.clear();
        random.draws = 0;

        app.slapAt(240, 160);

        EXPECT_EQ(wordsOf(*state.currentPicture), before);
        EXPECT_TRUE(platform.calls.empty());
        EXPECT_EQ(random.draws, 0);
        EXPECT_EQ(state.slapCount, 0);
        EXPECT_EQ(state.handX, 240u);
    }
}

TEST_F(SlapTest, PointsOutsideThePictureDoNothing)
{
    paintBoth(rgb(100, 100, 100), rgb(100, 100, 100));
    const std::vector<uint32_t> before = wordsOf(*state.currentPicture);
    const std::pair<int32_t, int32_t> points[] = {{-1, 0},   {480, 0},       {0, -1},
                                                  {0, 320},  {-1, 160},      {479, 320},
                                                  {INT32_MIN, 0}, {0, INT32_MAX}};
    for (const auto& p : points)
        app.slapAt(p.first, p.second);
    EXPECT_EQ(wordsOf(*state.currentPicture), before);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(random.draws, 0);
    EXPECT_EQ(state.slapCount, 0);
}

TEST_F(SlapTest, MatchesTheStepByStepSlapEverywhere)
{
    // Varied colours with scattered and banded background; points at the
    // corners, edges and inside, repeated so that caps and floors come in.
    paintPattern(*state.untouchedPicture, 7);
    for (int32_t y = 0; y < 320; ++y)
        for (int32_t x = 0; x < 480; ++x)
            if ((x * 7 + y * 13) % 29 == 0 || (x > 300 && x < 320))
                state.untouchedPicture->setPixel(x, y, state.untouchedPicture->pixel(x, y) | 0xFFu);
    ASSERT_TRUE(state.currentPicture->copyFrom(state.untouchedPicture.get()));
    Dib32Image reference(480, 320), referenceUntouched(480, 320);
    ASSERT_TRUE(reference.copyFrom(state.currentPicture.get()));
    ASSERT_TRUE(referenceUntouched.copyFrom(state.untouchedPicture.get()));

    SeededRandom appSource(12345), referenceSource(12345);
    int64_t appDraws = 0;
    random.generator = [&](int64_t) {
        ++appDraws;
        return appSource.next();
    };
    int64_t referenceDraws = 0;
    ScriptedRandom referenceRandom;
    referenceRandom.generator = [&](int64_t) {
        ++referenceDraws;
        return referenceSource.next();
    };

    std::vector<std::pair<int32_t, int32_t>> points = {
        {0, 0},   {479, 0},  {0, 319},  {479, 319}, {1, 1},    {478, 318}, {240, 0},
        {240, 319}, {0, 160}, {479, 160}, {310, 160}, {80, 49}, {399, 270}, {57, 48}};
    for (int i = 0; i < 6; ++i)
        for (const auto& p : std::vector<std::pair<int32_t, int32_t>>{{200, 150}, {30, 300}})
            points.push_back(p);
    SeededRandom placement(99);
    for (int i = 0; i < 12; ++i)
        points.push_back({placement.next() % 480, placement.next() % 320});

    int slaps = 0;
    for (const auto& p : points) {
        SCOPED_TRACE(std::to_string(p.first) + "," + std::to_string(p.second));
        const bool background = reference.blue(p.first, p.second) == 255;
        referenceSlap(reference, referenceUntouched, p.first, p.second, referenceRandom);
        app.slapAt(p.first, p.second);
        slaps += background ? 0 : 1;
        ASSERT_EQ(wordsOf(*state.currentPicture), wordsOf(reference));
        ASSERT_EQ(appDraws, referenceDraws);
        ASSERT_EQ(state.slapCount, slaps);
    }
    EXPECT_EQ(wordsOf(*state.untouchedPicture), wordsOf(referenceUntouched));
    EXPECT_GT(slaps, 20);
}

TEST_F(SlapTest, SaturatesButStillSoundsAndCounts)
{
    const uint32_t skin = rgb(100, 100, 140);
    paintBoth(skin, skin);
    random.always(1);
    for (int i = 0; i < 100; ++i)
        app.slapAt(240, 160);
    // Red cap 160, green floor 71, blue floor 100.
    EXPECT_EQ(currentAt(240, 160), rgb(160, 71, 100));
    EXPECT_EQ(currentAt(240 + 50, 160), rgb(160, 71, 100));
    const std::vector<uint32_t> saturated = wordsOf(*state.currentPicture);
    platform.calls.clear();

    app.slapAt(240, 160);
    EXPECT_EQ(wordsOf(*state.currentPicture), saturated);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"playSound 1", "repaintView 0,0"}));
    EXPECT_EQ(state.slapCount, 101);
}

TEST_F(SlapTest, DrawsOncePerInnerPositionInRowOrderThenForTheSound)
{
    const uint32_t skin = rgb(100, 100, 100);
    paintBoth(skin, skin);
    // Odd for the first and the last inner position only, then 5 for the sound.
    random.generator = [](int64_t i) { return i == 0 || i == 6843 ? 1 : i == 6844 ? 5 : 0; };
    app.slapAt(240, 160);

    const uint32_t odd = rgb(102, 97, 97), even = rgb(102, 98, 98);
    EXPECT_EQ(currentAt(240 - 13, 160 - 45), odd);  // lowest row, leftmost
    EXPECT_EQ(currentAt(240 - 12, 160 - 45), even);
    EXPECT_EQ(currentAt(240 + 13, 160 - 45), even);
    EXPECT_EQ(currentAt(240 + 16, 160 + 44), odd);  // highest row, rightmost
    EXPECT_EQ(currentAt(240 + 15, 160 + 44), even);
    EXPECT_EQ(currentAt(240 - 16, 160 + 44), even);
    EXPECT_EQ(random.draws, 6845);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"playSound 2", "repaintView 0,0"}));
}

TEST_F(SlapTest, SoundIsTheDrawModuloThree)
{
    const std::pair<int32_t, const char*> cases[] = {
        {0, "playSound 0"}, {1, "playSound 1"}, {2, "playSound 2"}, {3, "playSound 0"}, {32767, "playSound 1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        // A tiny skin island: no inner draws but the point itself.
        fillWords(*state.currentPicture, kBackground);
        fillWords(*state.untouchedPicture, kBackground);
        state.currentPicture->setPixel(100, 100, rgb(100, 100, 100));
        random.script({0}, c.first);
        random.draws = 0;
        platform.calls.clear();
        app.slapAt(100, 100);
        EXPECT_EQ(random.draws, 2);
        EXPECT_EQ(platform.calls.at(0), c.second);
    }
}

TEST_F(SlapTest, CounterStopsAtTheLargestCount)
{
    paintBoth(rgb(100, 100, 100), rgb(100, 100, 100));
    app.slapAt(240, 160);
    app.slapAt(10, 10);
    EXPECT_EQ(state.slapCount, 2);
    state.slapCount = INT32_MAX - 1;
    app.slapAt(240, 160);
    EXPECT_EQ(state.slapCount, INT32_MAX);
    app.slapAt(240, 160);
    EXPECT_EQ(state.slapCount, INT32_MAX);
    EXPECT_EQ(platform.count("playSound"), 4);
}

TEST_F(SlapTest, AutoModeShowsTheHandFirstThenPausesAndHidesIt)
{
    const uint32_t skin = rgb(100, 100, 100);
    paintBoth(skin, skin);
    state.autoMode = true;
    state.handX = 240;
    state.handY = 160;
    std::vector<uint32_t> seenAtRepaint;
    platform.onRepaintView = [&] { seenAtRepaint.push_back(currentAt(240, 160)); };
    random.always(0);
    app.slapAt(240, 160);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"repaintView 240,160", "playSound 0",
                                                        "pause 250", "repaintView 0,160"}));
    EXPECT_EQ(seenAtRepaint, (std::vector<uint32_t>{skin, rgb(102, 98, 98)}));
    EXPECT_EQ(state.slapCount, 1);
}

TEST_F(SlapTest, ByHandNeitherPausesNorMovesTheHand)
{
    paintBoth(rgb(100, 100, 100), rgb(100, 100, 100));
    state.handX = 100;
    state.handY = 200;
    random.always(0);
    app.slapAt(240, 160);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"playSound 0", "repaintView 100,200"}));
}
