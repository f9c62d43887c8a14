#include <gtest/gtest.h>

#include <vector>

#include "image/image.h"
#include "stream/memory_block_reader.h"
#include "tests/resources/resource_bytes.h"

namespace {

struct BitmapCase {
    const char* label;
    const char* name;
    int32_t width;
    int32_t height;
    uint32_t bytes;
};
void PrintTo(const BitmapCase& c, std::ostream* os) {
    *os << c.name;
}

class BuiltInBitmap : public ::testing::TestWithParam<BitmapCase> {
protected:
    void SetUp() override {
        file = readResource(GetParam().name);
        ASSERT_EQ(file.size(), GetParam().bytes);
    }
    Bytes file;
};

// 24 bits, bottom-up (positive height), uncompressed, pixels right after the two headers.
TEST_P(BuiltInBitmap, IsAWhole24BitBottomUpBmpFile) {
    const BitmapCase& c = GetParam();
    expectFields(file,
                 {{0, 1, 'B'}, {1, 1, 'M'}, {2, 4, c.bytes}, {6, 4, 0}, {10, 4, 54}, {46, 4, 0}});
    expectInfoHeader(file, 14, uint32_t(c.width), uint32_t(c.height), 24);
}

// Loaded the way the program loads it: through a reader over the bytes.
TEST_P(BuiltInBitmap, DecodesWithLoadFromBlockToItsSizeAndPixels) {
    const BitmapCase& c = GetParam();
    const BmpPixels raw = rawPixels(file);
    ASSERT_EQ(raw.words.size(), size_t(c.width) * c.height);
    MemoryBlockReader reader(static_cast<const uint8_t*>(file.data()),
                             static_cast<int32_t>(file.size()));
    Dib32Image image(c.width, c.height);
    ASSERT_TRUE(image.loadFromBlock(&reader, kImageReaderId));
    ASSERT_EQ(image.width(), c.width);
    ASSERT_EQ(image.height(), c.height);
    int32_t differing = 0;
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x)
            differing += image.pixel(x, y) != raw.at(x, y);
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, BuiltInBitmap,
                         ::testing::Values(BitmapCase{"Picture", "radav.bmp", 480, 320, 460854},
                                           BitmapCase{"Hand", "hand.bmp", 196, 100, 58854}),
                         [](const ::testing::TestParamInfo<BitmapCase>& info) {
                             return info.param.label;
                         });

constexpr uint32_t kWhite = 0xFFFFFF;

// The pixels of the picture and the hand, read once.
class BuiltInPixels : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        picture = rawPixels(readResource("radav.bmp"));
        hand = rawPixels(readResource("hand.bmp"));
    }
    void SetUp() override {
        ASSERT_EQ(picture.words.size(), 480u * 320u);
        ASSERT_EQ(hand.words.size(), 196u * 100u);
    }
    static bool background(uint32_t w) { return blueOf(w) == 255; }
    static BmpPixels picture, hand;
};
BmpPixels BuiltInPixels::picture, BuiltInPixels::hand;
using BuiltInPicture = BuiltInPixels;
using BuiltInHand = BuiltInPixels;

// The program takes blue 255 for background: only the pure blue round the
// figure may have it, and the figure never reaches it.
TEST_F(BuiltInPicture, OnlyThePureBlueBackgroundHasBlue255) {
    int32_t backgroundCount = 0, impure = 0;
    for (uint32_t w : picture.words) {
        backgroundCount += background(w);
        impure += background(w) && w != 0x0000FFu;
    }
    EXPECT_EQ(impure, 0);
    EXPECT_GT(backgroundCount, 480 * 320 / 10);
    EXPECT_LT(backgroundCount, 480 * 320 / 2);
}

// Auto mode aims at random points of columns 20..459 and rows 20..299.
TEST_F(BuiltInPicture, SkinFillsAtLeastFortyPercentOfTheAutoModeArea) {
    int32_t skin = 0;
    for (int32_t y = 20; y <= 299; ++y)
        for (int32_t x = 20; x <= 459; ++x)
            skin += !background(picture.at(x, y)) && redOf(picture.at(x, y)) >= 160;
    EXPECT_GE(skin * 100, 40 * 440 * 280) << skin << " skin pixels";
}

// Red of 160 or more lets a slap take red all the way to 255; only the edge,
// blended towards the blue for a smooth outline, may have less.
TEST_F(BuiltInPicture, SkinHasRed160OrMoreAndItsEdgeIsAntiAliased) {
    int32_t inner = 0, dull = 0, edge = 0, blended = 0;
    for (int32_t y = 1; y < 319; ++y) {
        for (int32_t x = 1; x < 479; ++x) {
            const uint32_t w = picture.at(x, y);
            if (background(w))
                continue;
            bool nearBackground = false;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx)
                    nearBackground |= background(picture.at(x + dx, y + dy));
            if (nearBackground) {
                ++edge;
                blended += redOf(w) < 150;
            } else {
                ++inner;
                dull += redOf(w) < 160;
            }
        }
    }
    EXPECT_GT(inner, 0);
    EXPECT_EQ(dull, 0);
    ASSERT_GT(edge, 600);
    EXPECT_GE(blended * 100, edge * 50) << blended << " of " << edge;
}

// White is transparent: a white pixel inside the hand would be a hole the
// picture shows through, so all white must connect to the border. The pixels
// along that background form a dark outline that reads on skin and blue alike.
TEST_F(BuiltInHand, WhiteIsOnlyTheBackgroundRoundADarkOutline) {
    std::vector<bool> outside(hand.words.size(), false);
    auto isOutside = [&](int32_t x, int32_t y) {
        return x < 0 || y < 0 || x >= hand.width || y >= hand.height ||
               outside[size_t(y) * hand.width + x];
    };
    auto touchesOutside = [&](int32_t x, int32_t y) {
        return isOutside(x - 1, y) || isOutside(x + 1, y) || isOutside(x, y - 1) ||
               isOutside(x, y + 1);
    };
    // Spread from the border through white until nothing more is reached.
    for (bool grew = true; grew;) {
        grew = false;
        for (int32_t y = 0; y < hand.height; ++y)
            for (int32_t x = 0; x < hand.width; ++x)
                if (hand.at(x, y) == kWhite && !isOutside(x, y) && touchesOutside(x, y))
                    outside[size_t(y) * hand.width + x] = grew = true;
    }
    int32_t holes = 0, handCount = 0, rim = 0, dark = 0;
    for (int32_t y = 0; y < hand.height; ++y) {
        for (int32_t x = 0; x < hand.width; ++x) {
            const uint32_t w = hand.at(x, y);
            if (w == kWhite) {
                holes += !isOutside(x, y);
                continue;
            }
            ++handCount;
            if (!touchesOutside(x, y))
                continue;
            ++rim;
            dark += redOf(w) <= 160 && greenOf(w) <= 160 && blueOf(w) <= 160;
        }
    }
    EXPECT_EQ(holes, 0);
    EXPECT_EQ(hand.at(0, 0), kWhite) << "the hand stands on white";
    EXPECT_GE(handCount * 100, 35 * hand.width * hand.height)
        << "the hand fills a good part of its box";
    ASSERT_GT(rim, 200);
    EXPECT_GE(dark * 100, rim * 95) << dark << " of " << rim;
}

// The slap lands at the hot spot, hand pixel (80, 50) counted from the bottom
// left, so it must sit well inside the palm, on skin.
TEST_F(BuiltInHand, HotSpotLiesInThePalm) {
    const uint32_t spot = hand.at(80, 50);
    EXPECT_GE(redOf(spot), 200);
    EXPECT_GT(redOf(spot), greenOf(spot));
    EXPECT_GT(greenOf(spot), blueOf(spot));
    for (int32_t dy = -12; dy <= 12; ++dy)
        for (int32_t dx = -12; dx <= 12; ++dx)
            EXPECT_NE(hand.at(80 + dx, 50 + dy), kWhite) << "offset " << dx << ", " << dy;
}

}  // namespace
