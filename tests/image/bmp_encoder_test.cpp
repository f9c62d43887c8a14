#include <climits>
#include <cstdio>

#include "tests/image/image_test_support.h"

// The 24-bit header for a w x h picture, written out field by field.
static Bytes expectedHeader24(int32_t w, int32_t h, uint32_t fileSize)
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    putLe32At(b, 2, fileSize);
    b[10] = 54;
    b[14] = 40;
    putLe32At(b, 18, uint32_t(w));
    putLe32At(b, 22, uint32_t(h));
    b[26] = 1;
    b[28] = 24;
    return b;
}

// Checks every byte of a 24-bit file against the image it was made from.
static void expectFile24Of(const Bytes& file, Dib32Image& image, size_t stride)
{
    const int32_t w = image.width();
    const int32_t h = image.height();
    ASSERT_EQ(file.size(), 54 + stride * size_t(h));
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 54), expectedHeader24(w, h, uint32_t(file.size())));
    for (int32_t y = 0; y < h; ++y) {
        const size_t row = 54 + size_t(y) * stride;
        for (int32_t x = 0; x < w; ++x) {
            const size_t p = row + 3 * size_t(x);
            ASSERT_EQ(file[p], image.blue(x, y)) << x << "," << y;
            ASSERT_EQ(file[p + 1], image.green(x, y)) << x << "," << y;
            ASSERT_EQ(file[p + 2], image.red(x, y)) << x << "," << y;
        }
        for (size_t p = row + 3 * size_t(w); p < row + stride; ++p)
            ASSERT_EQ(file[p], 0) << "padding of row " << y;
    }
}

TEST(BmpEncoder, PictureOfTheProgramMakesA460854ByteFile)
{
    Dib32Image image(480, 320);
    paintPattern(image);
    const Bytes file = saveToBytes(image, 0x30);
    ASSERT_EQ(file.size(), 460854u);
    expectFile24Of(file, image, 1440);
}

struct WidthStride {
    int32_t width;
    size_t stride;
};

class BmpEncoderPadding : public ::testing::TestWithParam<WidthStride> {};

TEST_P(BmpEncoderPadding, RowsArePaddedWithZeros)
{
    Dib32Image image(GetParam().width, 3);
    paintPattern(image);
    // Top bytes set behind the interface must not reach the file.
    for (int32_t i = 0; i < image.width() * 3; ++i)
        setRawWord(image, size_t(i), rawWord(image, size_t(i)) | 0xFF000000u);
    expectFile24Of(saveToBytes(image, 0x30), image, GetParam().stride);
}

INSTANTIATE_TEST_SUITE_P(Widths, BmpEncoderPadding,
                         ::testing::Values(WidthStride{1, 4}, WidthStride{2, 8}, WidthStride{3, 12},
                                           WidthStride{4, 12}, WidthStride{5, 16},
                                           WidthStride{479, 1440}));

TEST(BmpEncoder, PaletteIdsPairUp)
{
    Dib32Image image(5, 2);
    paintPattern(image);
    EXPECT_EQ(saveToBytes(image, 0x32), saveToBytes(image, 0x30));
    EXPECT_EQ(saveToBytes(image, 0), saveToBytes(image, 0x31));
    EXPECT_NE(saveToBytes(image, 0), saveToBytes(image, 0x30));
}

TEST(BmpEncoder, StorageFileIsTheStorageByteForByte)
{
    Dib32Image image(480, 320);
    paintPattern(image);
    setRawWord(image, 7, 0xAB000007u);  // kept as it is: the storage is written unchanged
    const Bytes file = saveToBytes(image, 0x31);
    ASSERT_EQ(file.size(), 614454u);
    EXPECT_EQ(le32At(file, 2), 614454u);
    EXPECT_EQ(file[28], 32);
    const uint8_t* storage = static_cast<const uint8_t*>(image.header()) - 14;
    EXPECT_TRUE(Bytes(storage, storage + 614454) == file);
    EXPECT_EQ(le32At(file, 54 + 28), 0xAB000007u);
}

TEST(BmpEncoder, OtherIdsWriteNothing)
{
    Dib32Image image(3, 3);
    for (int32_t id : {0x33, 0x2F, 0x12, 1, -1, 0x130, INT32_MIN, INT32_MAX}) {
        CollectingStream out;
        EXPECT_FALSE(image.save(&out, id)) << id;
        EXPECT_EQ(out.blockCalls + out.otherCalls, 0) << id;
    }
}

TEST(BmpEncoder, NullStreamIsRefused)
{
    Dib32Image image(3, 3);
    for (int32_t id : {0, 0x30, 0x31, 0x32})
        EXPECT_FALSE(image.save(nullptr, id)) << id;
}

TEST(BmpEncoder, WholeFileGoesInOneBlock)
{
    Dib32Image image(6, 4);
    for (int32_t id : {0, 0x30}) {
        CollectingStream out;
        EXPECT_TRUE(image.save(&out, id));
        EXPECT_EQ(out.blockCalls, 1);
        EXPECT_EQ(out.otherCalls, 0);
    }
}

TEST(BmpEncoder, ShortWriteIsAFailure)
{
    Dib32Image image(6, 4);
    for (int32_t id : {0, 0x30, 0x31, 0x32}) {
        for (int32_t limit : {0, 1, 53}) {
            CollectingStream out;
            out.limit = limit;
            EXPECT_FALSE(image.save(&out, id)) << id << " " << limit;
        }
        CollectingStream almost;
        almost.limit = (id == 0 || id == 0x31) ? 54 + 96 - 1 : 54 + 72 - 1;
        EXPECT_FALSE(image.save(&almost, id)) << id;
    }
}

TEST(BmpEncoder, ZeroRowsMakeAHeaderOnlyFileTheDecoderRefuses)
{
    Dib32Image image(7, 0);
    ASSERT_EQ(image.height(), 0);
    for (int32_t id : {0x30, 0x31}) {
        const Bytes file = saveToBytes(image, id);
        ASSERT_EQ(file.size(), 54u) << id;
        EXPECT_EQ(le32At(file, 2), 54u);
        Dib32Image target(2, 2);
        CountingReader reader(file);
        EXPECT_FALSE(target.loadFromBlock(&reader, 0x30));
    }
}

TEST(BmpEncoder, SavingDoesNotChangeTheImage)
{
    Dib32Image image(5, 3);
    paintPattern(image);
    const ImageSnapshot before(image);
    for (int32_t id : {0, 0x30, 0x31, 0x32})
        saveToBytes(image, id);
    EXPECT_TRUE(ImageSnapshot(image) == before);
}

TEST(BmpEncoder, TopDownImageKeepsItsRowOrderAndPositiveHeight)
{
    // The rows go out in memory order; the header keeps a positive height.
    Dib32Image image(3, 2);
    paintPattern(image);
    image.setSignedHeight(-2);
    const Bytes file = saveToBytes(image, 0x30);
    EXPECT_EQ(int32_t(le32At(file, 22)), 2);
    EXPECT_EQ(file[54], image.blue(0, 0));
    EXPECT_EQ(file[54 + 12 + 2], image.red(0, 1));
}

TEST(BmpEncoder, NarrowedFieldsDescribeTheRowsWritten)
{
    // Width and height set below the created size: the file is the smaller
    // picture, and its header says so.
    Dib32Image image(4, 3);
    paintPattern(image);
    image.setDimensions(2, 2);
    const Bytes file = saveToBytes(image, 0x30);
    expectFile24Of(file, image, 8);
    Dib32Image back(1, 1);
    CountingReader reader(file);
    ASSERT_TRUE(back.loadFromBlock(&reader, 0x30));
    ASSERT_EQ(back.width(), 2);
    ASSERT_EQ(back.height(), 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 2; ++x)
            EXPECT_EQ(back.pixel(x, y), image.pixel(x, y));
}

TEST(BmpEncoder, WritesAFileThroughTheFileStream)
{
    Dib32Image image(5, 3);
    paintPattern(image);
    const char* path = "bmp_encoder_test_out.bmp";
    {
        FileOutputStream stream(path);
        ASSERT_TRUE(image.save(&stream, 0x30));
    }
    std::FILE* f = std::fopen(path, "rb");
    ASSERT_NE(f, nullptr);
    Bytes file(200);
    file.resize(std::fread(file.data(), 1, file.size(), f));
    std::fclose(f);
    std::remove(path);
    EXPECT_EQ(file, saveToBytes(image, 0x30));
    expectFile24Of(file, image, 16);
}

TEST(BmpEncoder, UnopenableFileIsAFailure)
{
    Dib32Image image(5, 3);
    FileOutputStream stream("no-such-directory/deeper/out.bmp");
    EXPECT_FALSE(image.save(&stream, 0x30));
    EXPECT_FALSE(image.save(&stream, 0x31));
}
