#include <memory>

#include "tests/image/image_test_support.h"

// An ImageReader that is not a Dib32Image. It reports any size, and its
// pixel() throws outside the words it was given.
class VectorImage final : public ImageReader {
public:
    VectorImage(int32_t w, int32_t h, bool bottomUp, std::vector<uint32_t> words = {})
        : w_(w), h_(h), bottomUp_(bottomUp), words_(std::move(words)) {}
    int32_t width() const override { return w_; }
    int32_t height() const override { return h_; }
    bool isBottomUp() const override { return bottomUp_; }
    uint32_t pixel(int32_t x, int32_t y) const override {
        if (x < 0 || y < 0 || x >= w_ || y >= h_ ||
            size_t(y) * size_t(w_) + size_t(x) >= words_.size())
            throw std::out_of_range("無効な座標指定");
        return words_[size_t(y) * size_t(w_) + size_t(x)];
    }
    uint8_t red(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y) >> 16); }
    uint8_t green(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y) >> 8); }
    uint8_t blue(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y)); }

private:
    int32_t w_, h_;
    bool bottomUp_;
    std::vector<uint32_t> words_;
};

// Pattern colours with top bytes set, in either kind of source: a reader that is
// only the interface, or another Dib32Image, whose rows the copy may take whole.
static std::unique_ptr<ImageReader> makeSource(bool dib, int32_t w, int32_t h, bool bottomUp) {
    std::vector<uint32_t> words;
    for (int32_t i = 0; i < w * h; ++i)
        words.push_back(0xA5000000u | patternColour(i % w, i / w));
    if (!dib)
        return std::make_unique<VectorImage>(w, h, bottomUp, words);
    auto image = std::make_unique<Dib32Image>(w, h);
    for (size_t i = 0; i < words.size(); ++i)
        setRawWord(*image, i, words[i]);
    image->setSignedHeight(bottomUp ? h : -h);
    return image;
}

// dest's row y holds the source's row y (flipped: h - 1 - y) without top bytes.
static void expectRows(Dib32Image& dest, const ImageReader& source, bool flipped) {
    const int32_t h = source.height();
    expectPixels(dest, source.width(), h, [&](int32_t x, int32_t y) {
        return source.pixel(x, flipped ? h - 1 - y : y) & 0x00FFFFFFu;
    });
}

class ImageCopy : public ::testing::TestWithParam<bool> {};

TEST_P(ImageCopy, BottomUpSourceIsCopiedRowForRowIntoNewStorage) {
    const auto source = makeSource(GetParam(), 4, 3, true);
    Dib32Image dest(4, 3);
    const uint32_t* old = dest.bits();
    ASSERT_TRUE(dest.copyFrom(source.get()));
    EXPECT_NE(dest.bits(), old);
    EXPECT_TRUE(dest.isBottomUp());
    expectRows(dest, *source, false);
}

TEST_P(ImageCopy, TopDownSourceIsStoredUprightAndSavedUpright) {
    const auto source = makeSource(GetParam(), 5, 3, false);
    Dib32Image dest(2, 2);
    ASSERT_TRUE(dest.copyFrom(source.get()));
    EXPECT_FALSE(dest.isBottomUp());
    expectRows(dest, *source, true);
    // The header keeps +3, so memory row 0 shows at the bottom, and a saved
    // file loads back bottom row first.
    EXPECT_EQ(le32At(saveToBytes(dest, 0x31), 22), 3u);
    FileSource file(saveToBytes(dest, 0x30));
    Dib32Image loaded(1, 1);
    ASSERT_TRUE(loaded.loadFromBlock(&file, 0x30));
    expectRows(loaded, *source, true);
    // Copied on, the rows turn once more and the copy still reports top-down.
    Dib32Image third(1, 1);
    ASSERT_TRUE(third.copyFrom(&dest));
    EXPECT_FALSE(third.isBottomUp());
    expectRows(third, *source, false);
}

INSTANTIATE_TEST_SUITE_P(Sources, ImageCopy, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Dib32Image" : "Reader"; });

TEST(ImageCopySizes, NullSelfAndRefusedSizesChangeNothingZeroRowsAreAPicture) {
    Dib32Image dest(4, 3);
    paintPattern(dest);
    dest.setSignedHeight(-3);
    const Snapshot before = snapshot(dest);
    EXPECT_FALSE(dest.copyFrom(nullptr));
    EXPECT_FALSE(dest.copyFrom(static_cast<ImageReader*>(dest.queryInterface(0x30))));
    // Sizes create refuses, from sources with no pixels to give.
    for (auto [w, h] : {std::pair<int32_t, int32_t>{0, 3},
                        {-2, 3},
                        {3, -1},
                        {0, 0},
                        {70000, 70000},
                        {INT32_MAX, 2}}) {
        const VectorImage claimed(w, h, true);
        EXPECT_FALSE(dest.copyFrom(&claimed)) << w << "x" << h;
    }
    const Dib32Image failed(0, 0);
    EXPECT_FALSE(dest.copyFrom(&failed));
    EXPECT_EQ(snapshot(dest), before);
    const VectorImage noRows(5, 0, true);
    ASSERT_TRUE(dest.copyFrom(&noRows));
    EXPECT_EQ(saveToBytes(dest, 0x31), expectedHeader(5, 0, 32, 54));
    EXPECT_EQ(dest.width(), 5);
    EXPECT_EQ(dest.height(), 0);
}

// Fields set apart from a 4 x 3 source's storage of 12 words, and whether
// every pixel they report lies in it.
struct LooseSource {
    int32_t width;
    int32_t signedHeight;
    bool fits;
};

static std::ostream& operator<<(std::ostream& os, const LooseSource& s) {
    return os << s.width << " x " << s.signedHeight;
}

class ImageCopyLooseSource : public ::testing::TestWithParam<LooseSource> {};

// A refused copy leaves the target exactly as it was, storage and header
// bytes included; one that fits takes the rows the fields report.
TEST_P(ImageCopyLooseSource, CopiesOnlyWhatTheSourceStorageHolds) {
    const LooseSource s = GetParam();
    Dib32Image source(4, 3);
    paintPattern(source);
    EXPECT_TRUE(source.setWidth(s.width) && source.setSignedHeight(s.signedHeight));
    Dib32Image dest(2, 5);
    paintPattern(dest);
    dest.setSignedHeight(-5);
    const Snapshot before = snapshot(dest);

    ASSERT_EQ(dest.copyFrom(&source), s.fits);
    if (s.fits) {
        expectRows(dest, source, s.signedHeight < 0);
        return;
    }
    EXPECT_EQ(snapshot(dest), before);
    // The refusal cost nothing: the same target still takes a source that fits.
    EXPECT_TRUE(source.setWidth(4) && source.setSignedHeight(3));
    ASSERT_TRUE(dest.copyFrom(&source));
    expectRows(dest, source, false);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ImageCopyLooseSource,
    ::testing::Values(LooseSource{3, -2, true}, LooseSource{12, 1, true}, LooseSource{1, 12, true},
                      LooseSource{6, -2, true}, LooseSource{2, 6, true}, LooseSource{4, 0, true},
                      LooseSource{5, 3, false}, LooseSource{4, 4, false}, LooseSource{13, 1, false},
                      LooseSource{1, -13, false}, LooseSource{12, 2, false},
                      LooseSource{100, 100, false}, LooseSource{4, INT32_MIN, false},
                      LooseSource{INT32_MAX, 1, false}, LooseSource{-4, 3, false}));

// A foreign reader that gives fewer pixels than it reports: its exception is
// its own to report, and the target is left as it was.
TEST(ImageCopyForeignSource, AThrowingReaderLeavesTheTargetUnchanged) {
    for (bool bottomUp : {true, false}) {
        for (size_t given : {size_t(0), size_t(1), size_t(7), size_t(11)}) {
            SCOPED_TRACE(::testing::Message() << (bottomUp ? "bottom-up" : "top-down") << ", "
                                              << given << " of 12 words");
            std::vector<uint32_t> words;
            for (size_t i = 0; i < given; ++i)
                words.push_back(patternColour(int32_t(i % 4), int32_t(i / 4)));
            const VectorImage source(4, 3, bottomUp, words);
            Dib32Image dest(5, 2);
            paintPattern(dest);
            const Snapshot before = snapshot(dest);
            EXPECT_THROW(dest.copyFrom(&source), std::out_of_range);
            EXPECT_EQ(snapshot(dest), before);
        }
    }
}
