#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <set>
#include <string>

#include "image/image.h"
#include "stream/memory_block_reader.h"
#include "tests/resources/resource_bytes.h"

namespace {

struct BitmapCase {
    const char* name;
    int32_t width;
    int32_t height;
    size_t bytes;
};

// Names the case in test listings.
void PrintTo(const BitmapCase& c, std::ostream* os) { *os << c.name; }

class BuiltInBitmap : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(BuiltInBitmap, IsAWhole24BitBottomUpBmpFile) {
    const BitmapCase& c = GetParam();
    const Bytes file = readResource(c.name);
    ASSERT_EQ(file.size(), c.bytes) << c.name;
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(le32(file, 2), c.bytes);
    EXPECT_EQ(le32(file, 6), 0u);
    EXPECT_EQ(le32(file, 10), 54u);
    EXPECT_EQ(le32(file, 14), 40u);
    EXPECT_EQ(les32(file, 18), c.width);
    EXPECT_EQ(les32(file, 22), c.height);  // positive: rows bottom-up
    EXPECT_EQ(le16(file, 26), 1);
    EXPECT_EQ(le16(file, 28), 24);
    EXPECT_EQ(le32(file, 30), 0u);
    EXPECT_EQ(le32(file, 46), 0u);
    EXPECT_EQ(54 + static_cast<size_t>(c.width) * 3 * c.height, c.bytes) << "rows need no padding";
}

// Loaded the way the program loads it: through a reader over the bytes.
TEST_P(BuiltInBitmap, DecodesWithLoadFromBlockToItsSizeAndPixels) {
    const BitmapCase& c = GetParam();
    Bytes file = readResource(c.name);
    ASSERT_EQ(file.size(), c.bytes);
    const BmpPixels raw = rawPixels(file);
    ASSERT_EQ(raw.width, c.width);

    MemoryBlockReader reader(static_cast<const uint8_t*>(file.data()), static_cast<int32_t>(file.size()));
    Dib32Image image(c.width, c.height);
    ASSERT_TRUE(image.loadFromBlock(&reader, kImageReaderId));
    EXPECT_EQ(image.width(), c.width);
    EXPECT_EQ(image.height(), c.height);
    int32_t differing = 0;
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x)
            if (image.pixel(x, y) != raw.at(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, BuiltInBitmap,
                         ::testing::Values(BitmapCase{"radav.bmp", 480, 320, 460854},
                                           BitmapCase{"hand.bmp", 196, 100, 58854}),
                         [](const ::testing::TestParamInfo<BitmapCase>& info) {
                             return std::string(info.param.width == 480 ? "Picture" : "Hand");
                         });

constexpr uint32_t kBlue = 0x0000FF;

class BuiltInPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { pixels = rawPixels(readResource("radav.bmp")); }
    void SetUp() override { ASSERT_EQ(pixels.words.size(), 480u * 320u); }
    static bool background(uint32_t w) { return blueOf(w) == 255; }
    static BmpPixels pixels;
};
BmpPixels BuiltInPicture::pixels;

// The program takes blue 255 for background: any such pixel must be the pure
// blue background itself, and the figure must never reach 255.
TEST_F(BuiltInPicture, BlueOf255OccursOnlyAsPureBlueBackground) {
    int32_t backgroundCount = 0;
    int32_t impure = 0;
    for (uint32_t w : pixels.words) {
        if (!background(w)) continue;
        ++backgroundCount;
        if (w != kBlue) ++impure;
    }
    EXPECT_EQ(impure, 0);
    EXPECT_GT(backgroundCount, 480 * 320 / 10);
    EXPECT_LT(backgroundCount, 480 * 320 / 2);
}

TEST_F(BuiltInPicture, FigureIsLargeAndCentred) {
    int32_t left = 480, right = -1, bottom = 320, top = -1;
    for (int32_t y = 0; y < 320; ++y) {
        for (int32_t x = 0; x < 480; ++x) {
            if (background(pixels.at(x, y))) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            bottom = std::min(bottom, y);
            top = std::max(top, y);
        }
    }
    EXPECT_GE(right - left + 1, 300);
    EXPECT_GE(top - bottom + 1, 300);
    EXPECT_LE(std::abs((left + right) - 479), 10) << "left " << left << " right " << right;
    // Blue frames the figure at both sides.
    for (int32_t y = 0; y < 320; ++y) {
        EXPECT_EQ(pixels.at(0, y), kBlue) << "row " << y;
        EXPECT_EQ(pixels.at(479, y), kBlue) << "row " << y;
    }
}

// Auto mode aims at random points of columns 20..459 and rows 20..299.
TEST_F(BuiltInPicture, SkinFillsAtLeastFortyPercentOfTheAutoModeArea) {
    int32_t skin = 0;
    for (int32_t y = 20; y <= 299; ++y)
        for (int32_t x = 20; x <= 459; ++x) {
            const uint32_t w = pixels.at(x, y);
            if (!background(w) && redOf(w) >= 160) ++skin;
        }
    EXPECT_GE(skin * 100, 40 * 440 * 280) << skin << " skin pixels";
}

// Red at 160 or more lets the slap take red all the way to 255; only edge
// pixels blended with the background may stay below that.
TEST_F(BuiltInPicture, SkinAwayFromTheEdgeHasRedOf160OrMore) {
    int32_t inner = 0;
    int32_t dull = 0;
    for (int32_t y = 1; y < 319; ++y) {
        for (int32_t x = 1; x < 479; ++x) {
            bool edge = false;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx) edge = edge || background(pixels.at(x + dx, y + dy));
            if (edge) continue;
            ++inner;
            if (redOf(pixels.at(x, y)) < 160) ++dull;
        }
    }
    EXPECT_GT(inner, 0);
    EXPECT_EQ(dull, 0);
}

// Skin away from the edge has red 160 or more (above), so an edge pixel with
// much less red is a blend towards the blue background: anti-aliasing. A hard
// cut-out edge would have none.
TEST_F(BuiltInPicture, OutlineIsAntiAliased) {
    int32_t edge = 0;
    int32_t blended = 0;
    for (int32_t y = 1; y < 319; ++y) {
        for (int32_t x = 1; x < 479; ++x) {
            const uint32_t w = pixels.at(x, y);
            if (background(w)) continue;
            if (!background(pixels.at(x - 1, y)) && !background(pixels.at(x + 1, y)) &&
                !background(pixels.at(x, y - 1)) && !background(pixels.at(x, y + 1)))
                continue;
            ++edge;
            if (redOf(w) < 150) ++blended;
        }
    }
    ASSERT_GT(edge, 600);
    EXPECT_GE(blended * 100, edge * 50) << blended << " of " << edge;
}

// Soft shading gives many tones, and the cleft down the middle of the cheeks
// is darker than the skin beside it.
TEST_F(BuiltInPicture, FigureIsShadedWithAVisibleCleft) {
    std::set<uint32_t> tones;
    for (uint32_t w : pixels.words)
        if (!background(w)) tones.insert(w);
    EXPECT_GE(tones.size(), 400u);

    auto luma = [&](int32_t x, int32_t y) {
        const uint32_t w = pixels.at(x, y);
        return 3 * redOf(w) + 6 * greenOf(w) + blueOf(w);
    };
    int32_t darkerRows = 0;
    // Rows 90..170 from the bottom: the lower half of the cheeks.
    for (int32_t y = 90; y <= 170; ++y) {
        const int32_t cleft = std::min(luma(239, y), luma(240, y));
        if (cleft + 60 < luma(225, y) && cleft + 60 < luma(255, y)) ++darkerRows;
    }
    EXPECT_GE(darkerRows, 75);
}

}  // namespace
