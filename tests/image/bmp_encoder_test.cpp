#include "tests/image/image_test_support.h"

// Checks every byte of a 24-bit file against the image it was made from.
static void expectFile24Of(const Bytes& file, Dib32Image& image, size_t stride) {
    const int32_t w = image.width();
    const int32_t h = image.height();
    ASSERT_EQ(file.size(), 54 + stride * size_t(h));
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 54),
              expectedHeader(w, h, 24, uint32_t(file.size())));
    for (int32_t y = 0; y < h; ++y) {
        const size_t row = 54 + size_t(y) * stride;
        for (int32_t x = 0; x < w; ++x) {
            ASSERT_EQ(le24At(file, row + 3 * size_t(x)), image.pixel(x, y) & 0x00FFFFFFu)
                << x << "," << y;
        }
        for (size_t p = row + 3 * size_t(w); p < row + stride; ++p)
            ASSERT_EQ(file[p], 0) << "padding of row " << y;
    }
}

TEST(BmpEncoder, Writes24BitRowsPaddedWithZerosAndLeavesTheImageAlone) {
    for (const Shape24& c : kShapes24) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
        Dib32Image image(c.width, c.height);
        paintPattern(image);
        // A top-down image goes out in memory order with a positive height.
        image.setSignedHeight(c.width == 5 ? -c.height : c.height);
        // Top bytes set behind the interface must not reach the file.
        for (size_t i = 0; i < size_t(c.width) * size_t(c.height); ++i)
            setRawWord(image, i, rawWord(image, i) | 0xFF000000u);
        const Snapshot before = snapshot(image);
        const Bytes file = saveToBytes(image, 0x30);
        EXPECT_EQ(snapshot(image), before);
        expectFile24Of(file, image, c.stride);
        EXPECT_TRUE(saveToBytes(image, 0x32) == file);
    }
}

TEST(BmpEncoder, FailsForNullStreamsOtherIdsAndShortWrites) {
    Dib32Image image(6, 4);
    for (int32_t id : {0x33, 0x2F, 0x12, 1, -1, 0x130, INT32_MIN, INT32_MAX}) {
        CollectingStream out;
        EXPECT_FALSE(image.save(&out, id)) << id;
        EXPECT_EQ(out.calls, 0) << id;
    }
    // 6 x 4: a 24-bit file of 54 + 72 bytes, a storage of 54 + 96.
    for (int32_t id : {0, 0x30, 0x31, 0x32}) {
        EXPECT_FALSE(image.save(nullptr, id)) << id;
        const int32_t whole = (id == 0 || id == 0x31) ? 54 + 96 : 54 + 72;
        for (int32_t limit : {0, 1, 53, whole - 1}) {
            CollectingStream out;
            out.limit = limit;
            EXPECT_FALSE(image.save(&out, id)) << id << " " << limit;
        }
    }
}

TEST(BmpEncoder, NarrowedFieldsDescribeTheRowsWritten) {
    // Width and height set below the created size: the file is the smaller
    // picture, and its header says so.
    Dib32Image image(4, 3);
    paintPattern(image);
    image.setDimensions(2, 2);
    expectFile24Of(saveToBytes(image, 0x30), image, 8);
}
