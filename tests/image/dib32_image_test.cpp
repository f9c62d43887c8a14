#include <type_traits>

#include "tests/image/image_test_support.h"

using Size = std::pair<int32_t, int32_t>;

static_assert(!std::is_destructible<ImageSaver>(), "images are never deleted through ImageSaver");
static_assert(std::has_virtual_destructor<ImageReader>() &&
              std::has_virtual_destructor<ImageWriter>());

TEST(Dib32Image, DefaultIsAWhiteBottomUp256SquareWithItsIdentityAndIds) {
    Dib32Image image;
    EXPECT_TRUE(image.isBottomUp());
    expectPixels(image, 256, 256, [](int32_t, int32_t) { return 0x00FFFFFF; });
    ObjectBase& object = image;
    EXPECT_EQ(object.typeId(), 0x8030);
    EXPECT_STREQ(object.text(), "32Bit DIB");
    void* reader = static_cast<ImageReader*>(&image);
    void* writer = static_cast<ImageWriter*>(&image);
    ASSERT_NE(reader, writer);
    EXPECT_EQ(object.queryInterface(0), static_cast<void*>(&object));
    EXPECT_EQ(object.queryInterface(0x31), writer);
    for (int32_t id : {0x30, 0x32, 0x33})
        EXPECT_EQ(object.queryInterface(id), reader) << id;
    for (int32_t id : {0x34, 0x12, 0x24, 0x28, 0x2F, -1, INT32_MIN, INT32_MAX})
        EXPECT_EQ(object.queryInterface(id), nullptr) << id;
}

TEST(Dib32Image, OutsideReadsThrowAndWritesChangeNothing) {
    Dib32Image image(5, 3);
    paintPattern(image);
    const Snapshot before = snapshot(image);
    for (auto [x, y] :
         {Size{-1, 0}, Size{0, -1}, Size{5, 0}, Size{0, 3}, Size{5, 3}, Size{4, -1},
          Size{INT32_MIN, 0}, Size{0, INT32_MIN}, Size{INT32_MAX, 0}, Size{0, INT32_MAX}}) {
        SCOPED_TRACE(::testing::Message() << x << "," << y);
        try {
            image.pixel(x, y);
            ADD_FAILURE() << "no exception";
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ(e.what(), "無効な座標指定");
        }
        EXPECT_THROW(image.red(x, y), std::out_of_range);
        EXPECT_THROW(image.green(x, y), std::out_of_range);
        EXPECT_THROW(image.blue(x, y), std::out_of_range);
        EXPECT_THROW(image.pixelAt(x, y), std::out_of_range);
        EXPECT_FALSE(image.setPixel(x, y, 0x123456) || image.setPixelAt(x, y, 0x123456));
        EXPECT_FALSE(image.setRed(x, y, 1) || image.setGreen(x, y, 1) || image.setBlue(x, y, 1));
    }
    EXPECT_EQ(snapshot(image), before);
}

TEST(Dib32Image, PixelWordsAndChannels) {
    Dib32Image image(5, 3);
    // Pixel (x, y) is word y * width + x; every write clears the top byte.
    EXPECT_TRUE(image.setPixel(4, 0, 0xFF123456u) && image.setPixelAt(3, 2, 0xAB000001u));
    EXPECT_EQ(rawWord(image, 4), 0x00123456u);
    EXPECT_EQ(rawWord(image, 13), 0x00000001u);
    EXPECT_EQ(uint32_t(image.red(4, 0) << 16 | image.green(4, 0) << 8 | image.blue(4, 0)),
              image.pixelAt(4, 0));
    // A channel setter replaces its channel alone and drops a top byte set through bits().
    const std::pair<bool (Dib32Image::*)(int32_t, int32_t, uint8_t), uint32_t> setters[] = {
        {&Dib32Image::setRed, 0x00C32233u},
        {&Dib32Image::setGreen, 0x0011C333u},
        {&Dib32Image::setBlue, 0x001122C3u}};
    for (auto [set, expected] : setters) {
        setRawWord(image, 1, 0xEE112233u);
        EXPECT_TRUE((image.*set)(1, 0, 0xC3));
        EXPECT_EQ(rawWord(image, 1), expected);
    }
    EXPECT_EQ(rawWord(image, 0), 0x00FFFFFFu);
    EXPECT_EQ(rawWord(image, 2), 0x00FFFFFFu);
    EXPECT_FALSE(image.reservedOperation(1, 0, 0x123456));
    EXPECT_EQ(rawWord(image, 1), 0x001122C3u);
    // A fill clamps each component and clears every top byte.
    setRawWord(image, 2, 0xFF000000u);
    EXPECT_TRUE(image.fillColor(-5, 300, 128));
    expectPixels(image, 5, 3, [](int32_t, int32_t) { return 0x0000FF80; });
    EXPECT_TRUE(image.fillColor(INT32_MAX, INT32_MIN, 17));
    EXPECT_EQ(image.pixel(4, 2), 0x00FF0011u);
}

TEST(Dib32Image, CreateReplacesTheStorageWithA32BitFileOfBlackBottomUpRows) {
    Dib32Image image(3, 2);
    paintPattern(image);
    image.setSignedHeight(-2);
    const uint32_t* old = image.bits();
    ASSERT_TRUE(image.create(3, 2));
    EXPECT_NE(image.bits(), old);
    EXPECT_TRUE(image.isBottomUp());
    Bytes expected = expectedHeader(3, 2, 32, 78);
    expected.resize(78, 0);
    // Ids 0 and 0x31 save the storage byte for byte, a top byte set through bits() included.
    const uint8_t* header = static_cast<const uint8_t*>(image.header());
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(image.bits()) - header, 40);
    EXPECT_EQ(Bytes(header - 14, header + 64), expected);
    setRawWord(image, 5, 0xAB000007u);
    putLe32At(expected, 74, 0xAB000007u);
    EXPECT_EQ(saveToBytes(image, 0x31), expected);
    EXPECT_EQ(saveToBytes(image, 0), expected);
    // Zero rows: a header-only storage with no pixel to read or write.
    ASSERT_TRUE(image.create(1, 0));
    EXPECT_EQ(saveToBytes(image, 0x31), expectedHeader(1, 0, 32, 54));
    EXPECT_EQ(std::make_pair(image.width(), image.height()), Size(1, 0));
    EXPECT_THROW(image.pixel(0, 0), std::out_of_range);
    EXPECT_FALSE(image.setPixel(0, 0, 1));
    EXPECT_TRUE(image.fillColor(1, 2, 3));
}

class Dib32ImageRefusedSize : public ::testing::TestWithParam<Size> {};

TEST_P(Dib32ImageRefusedSize, CreateChangesNothingAndTheConstructorLeavesNoPixels) {
    const auto [w, h] = GetParam();
    Dib32Image image(5, 3);
    paintPattern(image);
    image.setSignedHeight(-3);
    const Snapshot before = snapshot(image);
    EXPECT_FALSE(image.create(w, h));
    EXPECT_EQ(snapshot(image), before);

    Dib32Image empty(w, h);
    EXPECT_EQ(std::make_pair(empty.width(), empty.height()), Size(0, 0));
    EXPECT_EQ(empty.header(), nullptr);
    EXPECT_EQ(empty.bits(), nullptr);
    EXPECT_THROW(empty.pixel(0, 0), std::out_of_range);
    EXPECT_FALSE(empty.setPixel(0, 0, 1) || empty.setBlue(0, 0, 1) || empty.setPixelAt(0, 0, 1));
    EXPECT_FALSE(empty.fillColor(1, 2, 3));
    CollectingStream out;
    for (int32_t id : {0, 0x30, 0x31, 0x32})
        EXPECT_FALSE(empty.save(&out, id)) << id;
    EXPECT_EQ(out.calls, 0);
    // A good create makes it an ordinary image again.
    ASSERT_TRUE(empty.create(2, 1));
    EXPECT_TRUE(empty.setPixel(1, 0, 7));
    EXPECT_EQ(empty.pixel(1, 0), 7u);
}

// Below 1 column or 0 rows, and storages of 54 + 4 * w * h bytes beyond a
// signed 32-bit length (536870898 words is the most that fits).
INSTANTIATE_TEST_SUITE_P(Sizes, Dib32ImageRefusedSize,
                         ::testing::Values(Size{0, 5}, Size{5, -1}, Size{-1, 5}, Size{0, 0},
                                           Size{INT32_MIN, 1}, Size{1, INT32_MIN},
                                           Size{536870899, 1}, Size{1, 536870899},
                                           Size{65536, 8192}, Size{46341, 46341},
                                           Size{0x40000000, 4}, Size{INT32_MAX, INT32_MAX}));

TEST(Dib32Image, SignedHeightTurnsTheRowOrderOnly) {
    Dib32Image image(480, 320);
    const Bytes storage = saveToBytes(image, 0x31);
    EXPECT_TRUE(image.setSignedHeight(-320));
    EXPECT_EQ(image.height(), 320);
    EXPECT_FALSE(image.isBottomUp());
    EXPECT_TRUE(saveToBytes(image, 0x31) == storage);
    // INT32_MIN has no positive int32: the count stays positive, reads stay inside.
    image.setSignedHeight(INT32_MIN);
    EXPECT_GT(image.height(), 0);
    EXPECT_FALSE(image.isBottomUp());
    EXPECT_EQ(image.pixel(479, 319), 0x00FFFFFFu);
    EXPECT_THROW(image.pixel(0, 320), std::out_of_range);
}

// Fields set apart from the storage: no pixel operation may leave its 12 words.
class Dib32ImageLooseFields : public ::testing::TestWithParam<Size> {};

TEST_P(Dib32ImageLooseFields, NothingReachesPastTheStorage) {
    Dib32Image image(4, 3);
    paintPattern(image);
    const Bytes storageBefore = saveToBytes(image, 0x31);
    EXPECT_TRUE(image.setWidth(GetParam().first) && image.setSignedHeight(GetParam().second));
    const int32_t w = image.width(), h = image.height();
    // A pixel is there only inside both the fields and the storage.
    for (auto [x, y] :
         {Size{0, 0}, Size{w - 1, h - 1}, Size{0, h - 1}, Size{w - 1, 0}, Size{12 % w, 12 / w}}) {
        const int64_t i = int64_t(y) * w + x;
        if (x >= 0 && y >= 0 && x < w && y < h && i < 12) {
            EXPECT_EQ(image.pixel(x, y), patternColour(int32_t(i % 4), int32_t(i / 4)));
            continue;
        }
        EXPECT_THROW(image.pixel(x, y), std::out_of_range) << x << "," << y;
        EXPECT_THROW(image.red(x, y), std::out_of_range);
        EXPECT_FALSE(image.setPixel(x, y, 0) || image.setGreen(x, y, 0) ||
                     image.setPixelAt(x, y, 0));
    }
    // The storage still saves whole; a 24-bit file of rows it does not hold is refused.
    CollectingStream file24;
    EXPECT_FALSE(image.save(&file24, 0x30));
    EXPECT_EQ(file24.calls, 0);
    EXPECT_EQ(saveToBytes(image, 0x31), storageBefore);
    // A fill covers the words the storage holds and fails for the rest; no columns, nothing to
    // fill.
    EXPECT_EQ(image.fillColor(1, 2, 3), w < 0);
    const Bytes after = saveToBytes(image, 0x31);
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(le32At(after, 54 + 4 * i), w < 0 ? le32At(storageBefore, 54 + 4 * i) : 0x010203u)
            << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, Dib32ImageLooseFields,
                         ::testing::Values(Size{5, 3}, Size{4, 4}, Size{13, 1}, Size{1, 13},
                                           Size{1000, 1000}, Size{INT32_MAX, INT32_MAX},
                                           Size{INT32_MAX, -INT32_MAX}, Size{4, INT32_MIN},
                                           Size{2, -7}, Size{-4, 3}));
