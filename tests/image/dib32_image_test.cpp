#include <climits>
#include <string>
#include <type_traits>

#include "tests/image/image_test_support.h"

static_assert(std::is_final<Dib32Image>::value, "the codec relies on direct calls");
static_assert(!std::is_destructible<ImageSaver>::value, "nothing is deleted through ImageSaver");
static_assert(std::has_virtual_destructor<ImageReader>::value &&
                  std::has_virtual_destructor<ImageWriter>::value &&
                  std::has_virtual_destructor<ObjectBase>::value,
              "images are deleted through these");

// The header an image of w x h must carry, written out field by field.
static Bytes expectedHeader32(int32_t w, int32_t h)
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    putLe32At(b, 2, uint32_t(54 + 4 * w * h));
    b[10] = 54;
    b[14] = 40;
    putLe32At(b, 18, uint32_t(w));
    putLe32At(b, 22, uint32_t(h));
    b[26] = 1;
    b[28] = 32;
    return b;
}

static std::string readError(Dib32Image& image, int32_t x, int32_t y)
{
    try {
        image.pixel(x, y);
    } catch (const std::out_of_range& e) {
        return e.what();
    }
    return "no exception";
}

TEST(Dib32Image, DefaultIsWhite256SquareBottomUp)
{
    Dib32Image image;
    EXPECT_EQ(image.width(), 256);
    EXPECT_EQ(image.height(), 256);
    EXPECT_TRUE(image.isBottomUp());
    const Bytes storage = saveToBytes(image, 0x31);
    ASSERT_EQ(storage.size(), 262198u);
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x)
            ASSERT_EQ(image.pixel(x, y), 0x00FFFFFFu) << x << "," << y;
}

TEST(Dib32Image, StorageIsACompleteBmpFile)
{
    Dib32Image image(480, 320);
    const Bytes storage = saveToBytes(image, 0x31);
    ASSERT_EQ(storage.size(), 614454u);
    EXPECT_EQ(Bytes(storage.begin(), storage.begin() + 54), expectedHeader32(480, 320));
    for (size_t i = 54; i < storage.size(); i += 4) {
        ASSERT_EQ(le32At(storage, i), 0x00FFFFFFu) << "byte " << i;
    }
    // header() and bits() are views into that same storage.
    const uint8_t* header = static_cast<const uint8_t*>(image.header());
    EXPECT_EQ(Bytes(header - 14, header + 40), expectedHeader32(480, 320));
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(image.bits()) - header, 40);
}

TEST(Dib32Image, AnswersItsIdentity)
{
    Dib32Image image(2, 2);
    ObjectBase& object = image;
    EXPECT_EQ(object.typeId(), 0x8030);
    EXPECT_EQ(object.version(), 0x00100021u);
    EXPECT_FALSE(object.attributeFlag());
    EXPECT_EQ(object.attributeByte(), 0x10);
    EXPECT_EQ(object.attributeWord(), 0x21);
    EXPECT_STREQ(object.text(), "32Bit DIB");
}

TEST(Dib32Image, QueryInterfaceMapsIdsToParts)
{
    Dib32Image image(2, 2);
    ObjectBase& object = image;
    void* reader = static_cast<ImageReader*>(&image);
    void* writer = static_cast<ImageWriter*>(&image);
    ASSERT_NE(reader, writer);
    EXPECT_EQ(object.queryInterface(0), static_cast<void*>(&object));
    EXPECT_EQ(object.queryInterface(0x30), reader);
    EXPECT_EQ(object.queryInterface(0x31), writer);
    EXPECT_EQ(object.queryInterface(0x32), reader);
    EXPECT_EQ(object.queryInterface(0x33), reader);
    EXPECT_EQ(object.queryInterface(0x32), static_cast<void*>(static_cast<DibAccess*>(&image)));
    EXPECT_EQ(object.queryInterface(0x33), static_cast<void*>(static_cast<PixelAccess*>(&image)));
    for (int32_t id : {0x34, 0x12, 0x24, 0x28, 0x2F, -1, INT32_MIN, INT32_MAX})
        EXPECT_EQ(object.queryInterface(id), nullptr) << id;
}

TEST(Dib32Image, BothDimensionTablesAgree)
{
    Dib32Image image(7, 3);
    image.setSignedHeight(-3);
    ImageReader& r = image;
    ImageWriter& w = image;
    EXPECT_EQ(r.width(), w.width());
    EXPECT_EQ(r.height(), w.height());
    EXPECT_EQ(r.isBottomUp(), w.isBottomUp());
    EXPECT_EQ(w.width(), 7);
    EXPECT_EQ(w.height(), 3);
    EXPECT_FALSE(w.isBottomUp());
}

struct Coordinate {
    int32_t x;
    int32_t y;
};

class Dib32ImageBounds : public ::testing::TestWithParam<Coordinate> {};

TEST_P(Dib32ImageBounds, ReadsThrowAndWritesChangeNothing)
{
    Dib32Image image(5, 3);
    paintPattern(image);
    const ImageSnapshot before(image);
    const Coordinate c = GetParam();
    const std::string message = "無効な座標指定";

    EXPECT_EQ(readError(image, c.x, c.y), message);
    EXPECT_THROW(image.red(c.x, c.y), std::out_of_range);
    EXPECT_THROW(image.green(c.x, c.y), std::out_of_range);
    EXPECT_THROW(image.blue(c.x, c.y), std::out_of_range);
    EXPECT_THROW(image.pixelAt(c.x, c.y), std::out_of_range);
    EXPECT_FALSE(image.setPixel(c.x, c.y, 0x123456));
    EXPECT_FALSE(image.setRed(c.x, c.y, 1));
    EXPECT_FALSE(image.setGreen(c.x, c.y, 1));
    EXPECT_FALSE(image.setBlue(c.x, c.y, 1));
    EXPECT_FALSE(image.setPixelAt(c.x, c.y, 0x123456));
    EXPECT_TRUE(ImageSnapshot(image) == before);
}

INSTANTIATE_TEST_SUITE_P(OutsideFiveByThree, Dib32ImageBounds,
                         ::testing::Values(Coordinate{-1, 0}, Coordinate{0, -1}, Coordinate{5, 0},
                                           Coordinate{0, 3}, Coordinate{5, 3},
                                           Coordinate{INT32_MIN, 0}, Coordinate{0, INT32_MIN},
                                           Coordinate{INT32_MAX, 0}, Coordinate{0, INT32_MAX},
                                           Coordinate{-1, -1}, Coordinate{4, -1}));

TEST(Dib32Image, CornersAreInside)
{
    Dib32Image image(5, 3);
    for (Coordinate c : {Coordinate{0, 0}, Coordinate{4, 0}, Coordinate{0, 2}, Coordinate{4, 2}}) {
        EXPECT_TRUE(image.setPixel(c.x, c.y, 0x010203u * uint32_t(c.x + 1 + c.y * 5)));
        EXPECT_EQ(image.pixel(c.x, c.y), 0x010203u * uint32_t(c.x + 1 + c.y * 5));
    }
    // Pixel (x, y) is word y * width + x: the corners land at the right words.
    EXPECT_EQ(rawWord(image, 4), 0x010203u * 5);
    EXPECT_EQ(rawWord(image, 10), 0x010203u * 11);
    EXPECT_EQ(rawWord(image, 14), 0x010203u * 15);
}

TEST(Dib32Image, WritesClearTheTopByte)
{
    Dib32Image image(3, 2);
    EXPECT_TRUE(image.setPixel(1, 1, 0xFF123456u));
    EXPECT_EQ(image.pixel(1, 1), 0x00123456u);
    EXPECT_EQ(image.red(1, 1), 0x12);
    EXPECT_EQ(image.green(1, 1), 0x34);
    EXPECT_EQ(image.blue(1, 1), 0x56);
    EXPECT_TRUE(image.setPixelAt(2, 0, 0xAB000001u));
    EXPECT_EQ(image.pixelAt(2, 0), 0x00000001u);
}

TEST(Dib32Image, ChannelSettersReplaceOneChannel)
{
    Dib32Image image(2, 2);
    image.setPixel(0, 0, 0x00112233u);
    EXPECT_TRUE(image.setRed(0, 0, 0xA1));
    EXPECT_EQ(image.pixel(0, 0), 0x00A12233u);
    EXPECT_TRUE(image.setGreen(0, 0, 0xB2));
    EXPECT_EQ(image.pixel(0, 0), 0x00A1B233u);
    EXPECT_TRUE(image.setBlue(0, 0, 0xC3));
    EXPECT_EQ(image.pixel(0, 0), 0x00A1B2C3u);
    // Only the low 8 bits of a wider value count.
    const int wide = 0x1FF;
    const int carry = 0x100;
    image.setRed(1, 1, uint8_t(wide));
    EXPECT_EQ(image.red(1, 1), 0xFF);
    image.setRed(1, 1, uint8_t(carry));
    EXPECT_EQ(image.red(1, 1), 0x00);
    EXPECT_EQ(image.pixel(0, 1), 0x00FFFFFFu);
}

TEST(Dib32Image, ChannelSetterDropsTopByteSetThroughBits)
{
    for (int channel = 0; channel < 3; ++channel) {
        Dib32Image image(2, 1);
        setRawWord(image, 1, 0xEE445566u);
        if (channel == 0)
            image.setRed(1, 0, 0x44);
        else if (channel == 1)
            image.setGreen(1, 0, 0x55);
        else
            image.setBlue(1, 0, 0x66);
        EXPECT_EQ(rawWord(image, 1), 0x00445566u) << channel;
        EXPECT_EQ(rawWord(image, 0), 0x00FFFFFFu);
    }
}

TEST(Dib32Image, FillColorClampsEachComponent)
{
    Dib32Image image(4, 3);
    EXPECT_TRUE(image.fillColor(-5, 300, 128));
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(image.pixel(x, y), 0x0000FF80u);
    setRawWord(image, 5, 0xFF000000u);
    EXPECT_TRUE(image.fillColor(INT32_MAX, INT32_MIN, 17));
    EXPECT_EQ(image.pixel(1, 1), 0x00FF0011u);
}

TEST(Dib32Image, ReservedOperationDoesNothing)
{
    Dib32Image image(2, 2);
    paintPattern(image);
    const ImageSnapshot before(image);
    EXPECT_FALSE(image.reservedOperation(0, 0, 0));
    EXPECT_FALSE(image.reservedOperation(1, 1, 0x123456));
    EXPECT_TRUE(ImageSnapshot(image) == before);
}

TEST(Dib32Image, CreateZeroHeightGivesAnEmptyPicture)
{
    Dib32Image image(3, 3);
    ASSERT_TRUE(image.create(1, 0));
    EXPECT_EQ(image.width(), 1);
    EXPECT_EQ(image.height(), 0);
    EXPECT_EQ(saveToBytes(image, 0x31).size(), 54u);
    EXPECT_THROW(image.pixel(0, 0), std::out_of_range);
    EXPECT_FALSE(image.setPixel(0, 0, 1));
    EXPECT_TRUE(image.fillColor(1, 2, 3));
}

TEST(Dib32Image, CreateReplacesStorageWithBlackPixels)
{
    Dib32Image image(3, 2);
    const uint32_t* old = image.bits();
    ASSERT_TRUE(image.create(3, 2));
    EXPECT_NE(image.bits(), old);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(image.pixel(x, y), 0u);
    EXPECT_EQ(saveToBytes(image, 0x31), [] {
        Bytes b = expectedHeader32(3, 2);
        b.resize(54 + 24, 0);
        return b;
    }());
}

TEST(Dib32Image, CreateTurnsTopDownBackToBottomUp)
{
    Dib32Image image(4, 4);
    image.setSignedHeight(-4);
    ASSERT_TRUE(image.create(2, 5));
    EXPECT_TRUE(image.isBottomUp());
    EXPECT_EQ(image.height(), 5);
}

struct Size {
    int32_t width;
    int32_t height;
};

class Dib32ImageRefusedSize : public ::testing::TestWithParam<Size> {};

TEST_P(Dib32ImageRefusedSize, CreateChangesNothing)
{
    Dib32Image image(5, 3);
    paintPattern(image);
    image.setSignedHeight(-3);
    const ImageSnapshot before(image);
    EXPECT_FALSE(image.create(GetParam().width, GetParam().height));
    EXPECT_TRUE(ImageSnapshot(image) == before);
}

TEST_P(Dib32ImageRefusedSize, ConstructorLeavesAnEmptyImage)
{
    Dib32Image image(GetParam().width, GetParam().height);
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(image.height(), 0);
    EXPECT_EQ(image.header(), nullptr);
    EXPECT_EQ(image.bits(), nullptr);
    EXPECT_THROW(image.pixel(0, 0), std::out_of_range);
    EXPECT_FALSE(image.setPixel(0, 0, 1));
    EXPECT_FALSE(image.setBlue(0, 0, 1));
    EXPECT_FALSE(image.setPixelAt(0, 0, 1));
    EXPECT_FALSE(image.fillColor(1, 2, 3));
    CollectingStream out;
    for (int32_t id : {0, 0x30, 0x31, 0x32})
        EXPECT_FALSE(image.save(&out, id)) << id;
    EXPECT_EQ(out.blockCalls, 0);
    // It is an ordinary image again after a good create.
    ASSERT_TRUE(image.create(2, 1));
    EXPECT_TRUE(image.setPixel(1, 0, 7));
    EXPECT_EQ(image.pixel(1, 0), 7u);
}

// Sizes below 1 column or 0 rows, and sizes whose storage of 54 + 4 * w * h
// bytes does not fit a signed 32-bit length (including products that wrap).
INSTANTIATE_TEST_SUITE_P(
    Sizes, Dib32ImageRefusedSize,
    ::testing::Values(Size{0, 5}, Size{5, -1}, Size{-1, 5}, Size{INT32_MIN, 1}, Size{1, INT32_MIN},
                      Size{0, 0}, Size{65536, 8192}, Size{8192, 65536}, Size{536870899, 1},
                      Size{1, 536870899}, Size{46341, 46341}, Size{INT32_MAX, INT32_MAX},
                      Size{INT32_MAX, 1}, Size{1, INT32_MAX}, Size{0x40000000, 4},
                      Size{65536, 65536}));

TEST(Dib32Image, NegativeSignedHeightKeepsHeaderAndCount)
{
    Dib32Image image(480, 320);
    EXPECT_TRUE(image.setSignedHeight(-320));
    EXPECT_EQ(image.height(), 320);
    EXPECT_FALSE(image.isBottomUp());
    const Bytes storage = saveToBytes(image, 0x31);
    EXPECT_EQ(le32At(storage, 22), 320u);
    EXPECT_TRUE(image.setSignedHeight(320));
    EXPECT_TRUE(image.isBottomUp());
}

TEST(Dib32Image, SmallestSignedHeightStillCountsNonNegative)
{
    Dib32Image image(2, 2);
    image.setSignedHeight(INT32_MIN);
    EXPECT_GE(image.height(), 0);
    EXPECT_FALSE(image.isBottomUp());
    EXPECT_EQ(image.pixel(1, 1), 0x00FFFFFFu);
    EXPECT_THROW(image.pixel(0, 2), std::out_of_range);
}

// Dimensions stored apart from the storage: every pixel operation must stay
// inside the storage's words (the sanitizer sees any step outside).
class Dib32ImageLooseFields : public ::testing::TestWithParam<Size> {};

TEST_P(Dib32ImageLooseFields, NothingReachesPastTheStorage)
{
    Dib32Image image(4, 3);
    paintPattern(image);
    const Bytes storageBefore = saveToBytes(image, 0x31);
    image.setDimensions(GetParam().width, GetParam().height);
    const int32_t w = image.width();
    const int32_t h = image.height();
    const int64_t words = 12;

    // Probe the reported area's far corners and the first word past the storage.
    std::vector<Coordinate> probes = {{w - 1, h - 1}, {0, h - 1}, {w - 1, 0}};
    if (w > 0)
        probes.push_back({int32_t(words % w), int32_t(words / w)});
    for (Coordinate c : probes) {
        if (c.x < 0 || c.y < 0 || c.x >= w || c.y >= h)
            continue;
        const bool inside = int64_t(c.y) * w + c.x < words;
        if (inside) {
            EXPECT_NO_THROW(image.pixel(c.x, c.y));
        } else {
            EXPECT_THROW(image.pixel(c.x, c.y), std::out_of_range) << c.x << "," << c.y;
            EXPECT_THROW(image.red(c.x, c.y), std::out_of_range);
            EXPECT_FALSE(image.setPixel(c.x, c.y, 0));
            EXPECT_FALSE(image.setGreen(c.x, c.y, 0));
            EXPECT_FALSE(image.setPixelAt(c.x, c.y, 0));
        }
    }
    // The storage itself still saves whole; a 24-bit file of rows the storage
    // does not hold is refused without writing.
    CollectingStream file24;
    EXPECT_FALSE(image.save(&file24, 0x30));
    EXPECT_EQ(file24.blockCalls, 0);
    EXPECT_EQ(saveToBytes(image, 0x31), storageBefore);
    // A fill reaches the words the storage holds and reports the rest.
    EXPECT_FALSE(image.fillColor(1, 2, 3));
    const Bytes after = saveToBytes(image, 0x31);
    ASSERT_EQ(after.size(), storageBefore.size());
    for (int64_t i = 0; i < words; ++i)
        EXPECT_EQ(le32At(after, size_t(54 + 4 * i)), 0x010203u) << "word " << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, Dib32ImageLooseFields,
                         ::testing::Values(Size{5, 3}, Size{4, 4}, Size{13, 1}, Size{1, 13},
                                           Size{1000, 1000}, Size{INT32_MAX, INT32_MAX},
                                           Size{INT32_MAX, -INT32_MAX}, Size{4, INT32_MIN},
                                           Size{65536, 65536}, Size{2, -7}));

TEST(Dib32Image, NegativeWidthHasNoPixels)
{
    Dib32Image image(4, 3);
    image.setWidth(-4);
    EXPECT_THROW(image.pixel(0, 0), std::out_of_range);
    EXPECT_FALSE(image.setPixel(0, 0, 0));
    CollectingStream out;
    EXPECT_FALSE(image.save(&out, 0x30));
}

TEST(Dib32Image, DeletedThroughAnyPixelInterface)
{
    // The sanitizer's leak check fails the run if a deletion misses the storage.
    ImageReader* reader = new Dib32Image(8, 8);
    EXPECT_EQ(reader->width(), 8);
    delete reader;
    ImageWriter* writer = new Dib32Image(8, 8);
    EXPECT_TRUE(writer->setPixel(7, 7, 1));
    delete writer;
    ObjectBase* object = new Dib32Image(8, 8);
    EXPECT_EQ(object->typeId(), 0x8030);
    delete object;
}
