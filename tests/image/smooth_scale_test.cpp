#include "image/smooth_scale.h"

#include "tests/image/image_test_support.h"

namespace {

constexpr uint32_t kUnwritten = 0xDEADBEEFu;

// Fills a bottom-up picture from its rows as they show, from the top.
void fillFromTop(Dib32Image& image, const std::vector<uint32_t>& fromTop) {
    for (size_t i = 0; i < fromTop.size(); ++i)
        image.setPixel(int32_t(i) % image.width(), image.height() - 1 - int32_t(i) / image.width(),
                       fromTop[i]);
}

// The source shown at width x height, within part only; the rest unwritten.
std::vector<uint32_t> shown(Dib32Image& source, int32_t width, int32_t height,
                            const PixelRect& part) {
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), kUnwritten);
    scaleSmoothly(source, {pixels.data(), width, height, width}, part);
    return pixels;
}

std::vector<uint32_t> shown(Dib32Image& source, int32_t width, int32_t height) {
    return shown(source, width, height, {0, 0, width, height});
}

}  // namespace

TEST(SmoothScale, MixesTheNeighboursOfEachSampledPoint) {
    struct Case {
        const char* name;
        int32_t width;
        std::vector<uint32_t> picture;
        int32_t shownWidth, shownHeight;
        std::vector<uint32_t> expected;
    } const cases[] = {
        {"twice as wide", 2, {0x000000, 0xFFFFFF}, 4, 1, {0x000000, 0x404040, 0xBFBFBF, 0xFFFFFF}},
        {"channels apart", 2, {0xFF0000, 0x0000FF}, 4, 1, {0xFF0000, 0xBF0040, 0x4000BF, 0x0000FF}},
        {"rows from the top", 1, {0xFFFFFF, 0x000000}, 1, 4, {0xFFFFFF, 0xBFBFBF, 0x404040, 0}},
        {"half again", 2, {0x000000, 0x0000FF}, 3, 1, {0x000000, 0x000080, 0x0000FF}},
        {"weights rounded", 2, {0x000000, 0x0000FF}, 7, 1, {0, 0, 0x37, 0x80, 0xC8, 0xFF, 0xFF}},
        {"same size", 3, {1, 2, 3, 4, 5, 6}, 3, 2, {1, 2, 3, 4, 5, 6}},
        {"one pixel", 1, {0x123456}, 2, 2, {0x123456, 0x123456, 0x123456, 0x123456}},
        {"top byte dropped", 1, {0xFF123456}, 1, 1, {0x123456}},
    };
    for (const Case& c : cases) {
        Dib32Image picture(c.width, int32_t(c.picture.size()) / c.width);
        fillFromTop(picture, c.picture);
        EXPECT_EQ(shown(picture, c.shownWidth, c.shownHeight), c.expected) << c.name;
    }
}

// A repaint of part of the view must show what a whole repaint does.
TEST(SmoothScale, APartIsThatPartOfTheWhole) {
    Dib32Image picture(37, 23);
    paintPattern(picture);
    const PixelRect parts[] = {
        {0, 0, 1, 1}, {5, 3, 17, 11}, {20, 0, 21, 400}, {-9, -9, 30, 20}, {40, 25, 900, 900},
    };
    for (const auto& [width, height] : {std::pair{46, 29}, {56, 35}, {74, 46}, {185, 115}}) {
        const std::vector<uint32_t> whole = shown(picture, width, height);
        EXPECT_EQ(std::count(whole.begin(), whole.end(), kUnwritten), 0);
        for (const PixelRect& part : parts) {
            const std::vector<uint32_t> some = shown(picture, width, height, part);
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    const bool inside =
                        x >= part.left && x < part.right && y >= part.top && y < part.bottom;
                    const size_t i = size_t(y) * size_t(width) + size_t(x);
                    ASSERT_EQ(some[i], inside ? whole[i] : kUnwritten)
                        << width << "x" << height << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(SmoothScale, WritesNothingWithoutPixelsOrPlace) {
    Dib32Image none(0, 0), picture(4, 4), beyond(4, 4);
    beyond.setDimensions(64, -64);  // a size its storage does not hold
    EXPECT_EQ(shown(none, 8, 8), std::vector<uint32_t>(64, kUnwritten));
    EXPECT_EQ(shown(beyond, 8, 8), std::vector<uint32_t>(64, kUnwritten));
    EXPECT_EQ(shown(picture, 8, 8, {6, 6, 2, 2}), std::vector<uint32_t>(64, kUnwritten));
    scaleSmoothly(picture, {nullptr, 8, 8, 8}, {0, 0, 8, 8});
}
