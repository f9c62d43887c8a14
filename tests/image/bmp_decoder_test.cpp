#include "tests/image/image_test_support.h"

// A 2 x 2, 24-bit file spelled out byte by byte: rows of 8 bytes, 2 of padding.
static const Bytes kTwoByTwo24 = {
    0x42, 0x4D, 0x46, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,  // file
    0x28, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00,  // info
    0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x13, 0x0B, 0x00, 0x00,
    0x13, 0x0B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02,
    0x03, 0x04, 0x05, 0x06, 0x00, 0x00,              // row 0
    0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0xEE, 0xEE,  // row 1
};
static const uint32_t kMin = 0x80000000u, kMax = 0x7FFFFFFFu, kMinusOne = 0xFFFFFFFFu;
static const uint32_t kTwoByTwoPixels[] = {0x030201, 0x060504, 0x090807, 0x0C0B0A};

// Two painted images, b reporting top-down rows, loaded through one entry point each.
class BmpDecoder : public ::testing::Test {
protected:
    BmpDecoder() {
        paintPattern(a);
        paintPattern(b);
        b.setSignedHeight(-5);
    }

    // Whether each load succeeded; a failed one must leave its image as it was.
    std::pair<bool, bool> load(const Bytes& file, int32_t id = 0x30) {
        const Snapshot blockBefore = snapshot(a), streamBefore = snapshot(b);
        FileSource source(file);
        const std::pair<bool, bool> r{a.loadFromBlock(&source, id), b.loadFromStream(&source, id)};
        streamRequests = source.requests;
        EXPECT_TRUE(r.first || snapshot(a) == blockBefore) << "a failed load changed the image";
        EXPECT_TRUE(r.second || snapshot(b) == streamBefore) << "a failed load changed the image";
        return r;
    }

    void expectBoth(int32_t w, int32_t h, uint32_t (*expected)(int32_t, int32_t)) {
        EXPECT_TRUE(a.isBottomUp() && b.isBottomUp());
        expectPixels(a, w, h, expected);
        expectPixels(b, w, h, expected);
    }

    Dib32Image a{7, 5};
    Dib32Image b{7, 5};
    std::vector<int32_t> streamRequests;  // of the last load
};

TEST_F(BmpDecoder, ReadsTheHandMadeFileWithEveryAcceptedId) {
    for (int32_t id : {0, 0x30, 0x31, 0x32}) {
        ASSERT_EQ(load(kTwoByTwo24, id), std::make_pair(true, true)) << id;
        expectBoth(2, 2, [](int32_t x, int32_t y) { return kTwoByTwoPixels[x + 2 * y]; });
    }
}

// Every padding of a 24-bit row, both formats, the program's picture size,
// longer info headers with a gap, bytes after the pixel array: each decodes,
// and each is refused once its size field is one byte short of the pixel array.
TEST_F(BmpDecoder, DecodesEveryShapeWhoseSizeFieldCoversThePixelArray) {
    std::vector<BmpShape> shapes = {{480, 320},
                                    {5, 4, 24, 108, 3},
                                    {3, 2, 32, 124, 3},
                                    {3, 2, 24, 40, 0, 9},
                                    {5, 3, 32, 40, 0, 9}};
    for (int32_t width : {1, 2, 3, 4, 5, 6, 7, 479})
        for (int bpp : {24, 32})
            shapes.push_back({width, 3, bpp});
    for (const BmpShape& s : shapes) {
        SCOPED_TRACE(::testing::Message()
                     << s.width << "x" << s.height << " " << s.bitsPerPixel << "-bit, info "
                     << s.infoSize << ", trailing " << s.trailing);
        Bytes file = buildBmp(s);
        ASSERT_EQ(load(file), std::make_pair(true, true));
        expectBoth(s.width, s.height, patternColour);
        // The storage's headers are the image's own, whatever the file's said.
        const Bytes header = expectedHeader(s.width, s.height, 32, 54 + 4 * s.width * s.height);
        for (Dib32Image* image : {&a, &b}) {
            const Bytes stored = std::get<4>(snapshot(*image));
            EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 54), header);
        }
        putLe32At(file, 2, le32At(file, 2) - 1);
        EXPECT_EQ(load(file), std::make_pair(false, false));
    }
}

// Every prefix lacks part of the pixel array; the sanitizer sees any read past
// the bytes held, and the stream entry point meets every kind of short read.
TEST_F(BmpDecoder, EveryPrefixIsRefused) {
    for (int bpp : {24, 32}) {
        const Bytes file = buildBmp({5, 3, bpp});
        for (size_t n = 0; n < file.size(); ++n)
            ASSERT_EQ(load(Bytes(file.begin(), file.begin() + long(n))),
                      std::make_pair(false, false))
                << bpp << "-bit prefix of " << n << " bytes";
    }
}

TEST_F(BmpDecoder, RefusesNullSourcesOtherIdsBeforeReadingAndAMissingCopy) {
    const Snapshot before = snapshot(a);
    EXPECT_FALSE(a.loadFromBlock(nullptr, 0x30) || a.loadFromStream(nullptr, 0x30));
    for (int32_t id : {0x33, 0x2F, 0x12, 1, -1, 0x130, INT32_MIN, INT32_MAX}) {
        FileSource source(kTwoByTwo24);
        EXPECT_FALSE(a.loadFromBlock(&source, id) || a.loadFromStream(&source, id)) << id;
        EXPECT_TRUE(source.copies == 0 && source.requests.empty()) << id;
    }
    FileSource noCopy(kTwoByTwo24);
    noCopy.refuseCopy = true;
    EXPECT_FALSE(a.loadFromBlock(&noCopy, 0x30));
    EXPECT_EQ(noCopy.copies, 1);
    EXPECT_EQ(snapshot(a), before);
}

// The headers come first, then pieces as large as what is held: a valid file
// is read up to its size field, and a stream that ends early has been asked
// for at most twice what it delivered, whatever its size field claims.
TEST_F(BmpDecoder, StreamReadsTheHeadersThenPiecesAsLargeAsItHolds) {
    Bytes file = kTwoByTwo24;
    file.insert(file.end(), 20, 0x33);
    FileSource source(file);
    ASSERT_TRUE(b.loadFromStream(&source, 0x30));
    EXPECT_EQ(source.requests, (std::vector<int32_t>{6, 48, 70 - 54}));
    Bytes large = buildBmp({480, 320});
    for (uint32_t sizeField : {uint32_t(large.size()), kMax}) {
        putLe32At(large, 2, sizeField);
        for (size_t delivered :
             {size_t(54), size_t(55), size_t(1000), large.size() - 1, large.size()}) {
            FileSource stream(Bytes(large.begin(), large.begin() + long(delivered)));
            const bool whole = delivered == large.size() && sizeField == large.size();
            EXPECT_EQ(b.loadFromStream(&stream, 0x30), whole) << delivered;
            int64_t asked = 0;
            for (int32_t n : stream.requests)
                asked += n;
            EXPECT_TRUE(whole ? asked == int64_t(delivered) : asked <= 2 * int64_t(delivered))
                << sizeField << ": " << asked << " asked of " << delivered;
        }
    }
}

// A 1 x 1, 24-bit file whose pixel array ends at byte `end` of the file (never
// starting before byte 6, which the stream entry point no longer holds), and
// whose size field says `size`.
static Bytes fileWithSizeField(uint32_t size, uint32_t end) {
    Bytes file = buildBmp({1, 1});
    putLe32At(file, 2, size);
    putLe32At(file, 10, std::max<uint32_t>(end, 10) - 4);
    return file;
}

// A size field short of the two headers stops the stream entry point after
// its first six bytes, since it reads the rest by that field. The block entry
// point holds the whole file and takes such a field wherever it covers the
// pixel array, which ends at byte max(size, 10) here. The same bytes with the
// field at 54 decode through both.
TEST_F(BmpDecoder, SizeFieldsBelowTheHeadersStopOnlyTheStream) {
    for (uint32_t size = 0; size < 54; ++size) {
        SCOPED_TRACE("size field " + std::to_string(size));
        const Bytes file = fileWithSizeField(size, size);
        const Snapshot blockBefore = snapshot(a), streamBefore = snapshot(b);
        FileSource source(file);
        const bool blockDecoded = a.loadFromBlock(&source, 0x30);
        EXPECT_EQ(blockDecoded, size >= 10);
        if (blockDecoded)
            EXPECT_EQ(a.pixel(0, 0), le24At(file, le32At(file, 10)));
        else
            EXPECT_EQ(snapshot(a), blockBefore);
        EXPECT_FALSE(b.loadFromStream(&source, 0x30));
        EXPECT_EQ(source.requests, std::vector<int32_t>{6});
        EXPECT_EQ(snapshot(b), streamBefore);
    }
    // A source shorter than the two headers is refused unread, whatever it describes.
    const Bytes whole = fileWithSizeField(53, 53);
    FileSource cut(Bytes(whole.begin(), whole.begin() + 53));
    EXPECT_FALSE(a.loadFromBlock(&cut, 0x30));
    EXPECT_EQ(cut.copies, 0);
    for (uint32_t end = 0; end < 54; ++end) {
        const Bytes file = fileWithSizeField(54, end);
        ASSERT_EQ(load(file), std::make_pair(true, true)) << end;
        // Cut inside the headers, which the stream reads whole before anything else.
        EXPECT_EQ(load(Bytes(file.begin(), file.begin() + 53)), std::make_pair(false, false));
        const size_t at = le32At(file, 10);
        const uint32_t colour = le24At(file, at);
        EXPECT_EQ(std::make_pair(a.pixel(0, 0), b.pixel(0, 0)), std::make_pair(colour, colour))
            << end;
    }
}

// One header field of a valid 5 x 3 file set to a hostile value. The 24-bit
// file has a stride of 16 and 102 bytes; the 32-bit one 20 and 114.
struct HostileField {
    size_t offset;
    uint32_t value;
    bool blockDecodes;
    bool streamDecodes;
    int bitsPerPixel = 24;
};

static std::ostream& operator<<(std::ostream& os, const HostileField& f) {
    return os << f.bitsPerPixel << "-bit, field at " << f.offset << " = " << int32_t(f.value);
}

class BmpDecoderHostile : public BmpDecoder, public ::testing::WithParamInterface<HostileField> {};

TEST_P(BmpDecoderHostile, RefusedOrDecodedNeverHarmed) {
    const HostileField f = GetParam();
    Bytes file = buildBmp({5, 3, f.bitsPerPixel});
    if (f.offset == 28)
        file[28] = uint8_t(f.value);
    else if (f.offset == 0)
        storeLe16(file.data(), f.value);
    else
        putLe32At(file, f.offset, f.value);
    const std::pair<bool, bool> r = load(file);
    EXPECT_EQ(r, std::make_pair(f.blockDecodes, f.streamDecodes));
    // What decodes is the 5 x 3 picture starting at the pixel array offset.
    if (r.first) {
        const size_t at = le32At(file, 10);
        EXPECT_EQ(std::make_pair(a.width(), a.height()), std::make_pair(5, 3));
        EXPECT_EQ(a.pixel(0, 0), le24At(file, at));
    }
    if (r.second)
        expectPixels(b, 5, 3, [&](int32_t x, int32_t y) { return a.pixel(x, y); });
}

static const HostileField kHostileFields[] = {
    // File size (2): a larger one only bounds the block; the stream asks for that many bytes.
    {2, 0, false, false},
    {2, 6, false, false},
    {2, 53, false, false},
    {2, 101, false, false},
    {2, kMinusOne, false, false},
    {2, kMin, false, false},
    {2, 102, true, true},
    {2, 103, true, false},
    {2, kMax, true, false},
    // Pixel array offset (10): the stream entry point no longer holds the first six bytes.
    {10, 0, true, false},
    {10, 5, true, false},
    {10, 6, true, true},
    {10, 55, false, false},
    {10, 102, false, false},
    {10, kMinusOne, false, false},
    {10, kMin, false, false},
    {10, kMax, false, false},
    {10, 0xFFFFFFD0u, false, false},
    // Width (18): 3 x width wraps to 2 in 32 bits, 4 x width to 0 or 4.
    {18, 0, false, false},
    {18, kMinusOne, false, false},
    {18, kMin, false, false},
    {18, kMax, false, false},
    {18, 6, false, false},
    {18, 6, false, false, 32},
    {18, 0x55555556u, false, false},
    {18, 0x40000000u, false, false},
    {18, 0x40000001u, false, false},
    {18, 0x80000001u, false, false},
    {18, 0x40000000u, false, false, 32},
    // Height (22): rows stored top-down are refused; 16 x 0x10000000 wraps to 0.
    {22, 0, false, false},
    {22, 4, false, false},
    {22, kMinusOne, false, false},
    {22, uint32_t(-3), false, false},
    {22, uint32_t(-3), false, false, 32},
    {22, kMin, false, false},
    {22, kMax, false, false},
    {22, 0x10000000u, false, false},
    // Bits per pixel (28), compression (30), signature (0).
    {28, 0, false, false},
    {28, 1, false, false},
    {28, 4, false, false},
    {28, 8, false, false},
    {28, 16, false, false},
    {28, 0xFF, false, false},
    {30, 1, false, false},
    {30, 3, false, false, 32},
    {30, kMinusOne, false, false},
    {30, kMin, false, false},
    {0, 0x4D42u, true, true},
    {0, 0x4240u, false, false},
    {0, 0x424Du, false, false},
    {0, 0x5842u, false, false},
};

INSTANTIATE_TEST_SUITE_P(Fields, BmpDecoderHostile, ::testing::ValuesIn(kHostileFields));

TEST_F(BmpDecoder, RefusesSizesWhosePixelArrayOverflows) {
    // stride x rows wraps or passes every 32-bit size; the size field is at its largest.
    for (auto [w, h] : {std::pair<uint32_t, uint32_t>{0x10000, 0x10000},
                        {kMax, kMax},
                        {0x55555556, 3},
                        {0x2AAAAAAB, 6},
                        {0x20000000, 8},
                        {1, kMax},
                        {kMax, 1},
                        {65537, 16383}}) {
        for (int bpp : {24, 32}) {
            Bytes file = buildBmp({2, 2, bpp});
            putLe32At(file, 2, kMax);
            putLe32At(file, 18, w);
            putLe32At(file, 22, h);
            EXPECT_EQ(load(file), std::make_pair(false, false)) << bpp << "-bit " << w << "x" << h;
            EXPECT_EQ(streamRequests, (std::vector<int32_t>{6, 48})) << "read past the headers";
        }
    }
}
