#include <climits>
#include <memory>

#include "tests/image/image_test_support.h"

// A source 3 rows high with distinct rows and top bytes set.
static void fillRows(VectorImage& source)
{
    for (int32_t y = 0; y < source.height(); ++y)
        for (int32_t x = 0; x < source.width(); ++x)
            source.set(x, y, 0xA5000000u | patternColour(x, y));
}

// The same picture as a Dib32Image, so both copy paths are covered.
static void fillRows(Dib32Image& source)
{
    for (int32_t y = 0; y < source.height(); ++y)
        for (int32_t x = 0; x < source.width(); ++x)
            setRawWord(source, size_t(y * source.width() + x), 0xA5000000u | patternColour(x, y));
}

template <typename Source>
class ImageCopy : public ::testing::Test {
protected:
    std::unique_ptr<Source> make(int32_t w, int32_t h, bool bottomUp);
};

template <>
std::unique_ptr<VectorImage> ImageCopy<VectorImage>::make(int32_t w, int32_t h, bool bottomUp)
{
    auto s = std::make_unique<VectorImage>(w, h, bottomUp);
    fillRows(*s);
    return s;
}

template <>
std::unique_ptr<Dib32Image> ImageCopy<Dib32Image>::make(int32_t w, int32_t h, bool bottomUp)
{
    auto s = std::make_unique<Dib32Image>(w, h);
    fillRows(*s);
    if (!bottomUp)
        s->setSignedHeight(-h);
    return s;
}

using SourceKinds = ::testing::Types<VectorImage, Dib32Image>;
TYPED_TEST_SUITE(ImageCopy, SourceKinds);

TYPED_TEST(ImageCopy, BottomUpSourceIsCopiedRowForRow)
{
    const auto holder = this->make(4, 3, true);
    const TypeParam& source = *holder;
    Dib32Image dest(9, 9);
    ASSERT_TRUE(dest.copyFrom(&source));
    EXPECT_EQ(dest.width(), 4);
    EXPECT_EQ(dest.height(), 3);
    EXPECT_TRUE(dest.isBottomUp());
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(dest.pixel(x, y), source.pixel(x, y) & 0x00FFFFFFu) << x << "," << y;
    const uint8_t* header = static_cast<const uint8_t*>(dest.header());
    EXPECT_EQ(le32At(Bytes(header - 14, header + 40), 18), 4u);
    EXPECT_EQ(le32At(Bytes(header - 14, header + 40), 22), 3u);
}

TYPED_TEST(ImageCopy, TopDownSourceIsStoredUpright)
{
    const auto holder = this->make(5, 3, false);
    const TypeParam& source = *holder;
    Dib32Image dest(2, 2);
    ASSERT_TRUE(dest.copyFrom(&source));
    EXPECT_FALSE(dest.isBottomUp());
    EXPECT_EQ(dest.height(), 3);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(dest.pixel(x, y), source.pixel(x, 2 - y) & 0x00FFFFFFu) << x << "," << y;
    // The header keeps the positive height: memory row 0 shows at the bottom.
    const Bytes storage = saveToBytes(dest, 0x31);
    EXPECT_EQ(int32_t(le32At(storage, 22)), 3);

    // Copying on reverses once more and keeps reporting top-down.
    Dib32Image third(1, 1);
    ASSERT_TRUE(third.copyFrom(&dest));
    EXPECT_FALSE(third.isBottomUp());
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(third.pixel(x, y), source.pixel(x, y) & 0x00FFFFFFu) << x << "," << y;
}

TYPED_TEST(ImageCopy, ZeroRowsGiveAnEmptyPicture)
{
    const auto holder = this->make(5, 0, true);
    const TypeParam& source = *holder;
    Dib32Image dest(3, 3);
    ASSERT_TRUE(dest.copyFrom(&source));
    EXPECT_EQ(dest.width(), 5);
    EXPECT_EQ(dest.height(), 0);
    EXPECT_EQ(saveToBytes(dest, 0x31).size(), 54u);
}

TYPED_TEST(ImageCopy, EqualSizesStillGetNewStorage)
{
    const auto holder = this->make(4, 3, true);
    const TypeParam& source = *holder;
    Dib32Image dest(4, 3);
    const uint32_t* old = dest.bits();
    ASSERT_TRUE(dest.copyFrom(&source));
    EXPECT_NE(dest.bits(), old);
}

TEST(ImageCopyRefusal, NullAndSelfChangeNothing)
{
    Dib32Image dest(4, 3);
    paintPattern(dest);
    dest.setSignedHeight(-3);
    const ImageSnapshot before(dest);
    EXPECT_FALSE(dest.copyFrom(nullptr));
    EXPECT_FALSE(dest.copyFrom(static_cast<ImageReader*>(dest.queryInterface(0x30))));
    EXPECT_FALSE(dest.copyFrom(&dest));
    EXPECT_TRUE(ImageSnapshot(dest) == before);
}

// Reports any size and has no pixels to give.
class ClaimedSize final : public ImageReader {
public:
    ClaimedSize(int32_t w, int32_t h) : w_(w), h_(h) {}
    int32_t width() const override { return w_; }
    int32_t height() const override { return h_; }
    bool isBottomUp() const override { return true; }
    uint32_t pixel(int32_t, int32_t) const override { throw std::out_of_range("無効な座標指定"); }
    uint8_t red(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y)); }
    uint8_t green(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y)); }
    uint8_t blue(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y)); }

private:
    int32_t w_;
    int32_t h_;
};

TEST(ImageCopyRefusal, SizesCreateRefusesChangeNothing)
{
    for (auto [w, h] : {std::pair<int32_t, int32_t>{0, 3}, {-2, 3}, {3, -1}, {70000, 70000},
                        {INT32_MAX, 2}, {0, 0}}) {
        const ClaimedSize claimed(w, h);
        Dib32Image dest(4, 3);
        paintPattern(dest);
        const ImageSnapshot before(dest);
        EXPECT_FALSE(dest.copyFrom(&claimed)) << w << "x" << h;
        EXPECT_TRUE(ImageSnapshot(dest) == before);
    }
}

TEST(ImageCopyRefusal, EmptySourceImageIsRefused)
{
    Dib32Image failed(0, 0);
    Dib32Image dest(4, 3);
    const ImageSnapshot before(dest);
    EXPECT_FALSE(dest.copyFrom(&failed));
    EXPECT_TRUE(ImageSnapshot(dest) == before);
}

TEST(ImageCopyLooseSource, FieldsPastTheStorageAreNeverRead)
{
    // The source claims more rows and columns than its storage holds: the copy
    // reads through pixel(), which refuses the first word outside.
    for (auto [w, h] : {std::pair<int32_t, int32_t>{5, 3}, {4, 4}, {100, 100}, {12, 2}}) {
        Dib32Image source(4, 3);
        source.setDimensions(w, h);
        Dib32Image dest(2, 2);
        EXPECT_THROW(dest.copyFrom(&source), std::out_of_range) << w << "x" << h;
        // The rows copied so far stay, in new storage of the claimed size.
        EXPECT_EQ(dest.width(), w);
        EXPECT_EQ(dest.pixel(0, 0), 0x00FFFFFFu);
    }
}

TEST(ImageCopyLooseSource, NarrowedSourceCopiesWhatItReports)
{
    Dib32Image source(4, 3);
    paintPattern(source);
    source.setDimensions(3, -2);
    Dib32Image dest(1, 1);
    ASSERT_TRUE(dest.copyFrom(&source));
    EXPECT_EQ(dest.width(), 3);
    EXPECT_EQ(dest.height(), 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(dest.pixel(x, y), source.pixel(x, 1 - y)) << x << "," << y;
}

TEST(ImageCopyGeneric, ReadsEachSourcePixelOnce)
{
    VectorImage source(6, 5, true);
    fillRows(source);
    Dib32Image dest(1, 1);
    ASSERT_TRUE(dest.copyFrom(&source));
    EXPECT_EQ(source.pixelCalls, 30);
}
