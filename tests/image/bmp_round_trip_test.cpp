#include "tests/image/image_test_support.h"

// save in each format, then load: every pixel comes back, on widths that take
// every padding of a 24-bit row.
struct RoundTrip {
    int32_t width;
    int32_t height;
    int32_t saveId;
};

static std::ostream& operator<<(std::ostream& os, const RoundTrip& r)
{
    return os << r.width << "x" << r.height << " id " << r.saveId;
}

class BmpRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(BmpRoundTrip, EveryPixelComesBack)
{
    const RoundTrip p = GetParam();
    Dib32Image original(p.width, p.height);
    paintPattern(original);
    // Bits 24-31 are not part of a colour and do not survive.
    setRawWord(original, 0, rawWord(original, 0) | 0x7F000000u);
    const Bytes file = saveToBytes(original, p.saveId);

    Dib32Image viaBlock(3, 7);
    Dib32Image viaStream(3, 7);
    CountingReader reader(file);
    ScriptedInput input(file);
    ASSERT_TRUE(viaBlock.loadFromBlock(&reader, 0x30));
    ASSERT_TRUE(viaStream.loadFromStream(&input, 0x30));
    for (Dib32Image* loaded : {&viaBlock, &viaStream}) {
        ASSERT_EQ(loaded->width(), p.width);
        ASSERT_EQ(loaded->height(), p.height);
        EXPECT_TRUE(loaded->isBottomUp());
        for (int32_t y = 0; y < p.height; ++y)
            for (int32_t x = 0; x < p.width; ++x)
                ASSERT_EQ(loaded->pixel(x, y), original.pixel(x, y) & 0x00FFFFFFu) << x << "," << y;
    }
    // Saved again, the file is the same but for the dropped top byte.
    Bytes expected = file;
    if (p.saveId == 0 || p.saveId == 0x31)
        expected[57] = 0;
    EXPECT_TRUE(saveToBytes(viaBlock, p.saveId) == expected);
}

static std::vector<RoundTrip> roundTrips()
{
    std::vector<RoundTrip> all;
    for (int32_t id : {0x30, 0x32, 0, 0x31})
        for (int32_t w : {1, 2, 3, 4, 5, 479})
            for (int32_t h : {1, 2, 3})
                all.push_back({w, h, id});
    all.push_back({480, 320, 0x30});
    all.push_back({480, 320, 0x31});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Formats, BmpRoundTrip, ::testing::ValuesIn(roundTrips()));

TEST(BmpRoundTripCopy, TopDownCopySavesUpright)
{
    // A top-down source copied upright and saved loads back as the picture the
    // source showed, bottom row first.
    VectorImage source(5, 3, false);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            source.set(x, y, patternColour(x, y));
    Dib32Image upright(1, 1);
    ASSERT_TRUE(upright.copyFrom(&source));
    const Bytes file = saveToBytes(upright, 0x30);
    Dib32Image loaded(1, 1);
    CountingReader reader(file);
    ASSERT_TRUE(loaded.loadFromBlock(&reader, 0x30));
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(loaded.pixel(x, y), source.pixel(x, 2 - y));
}
