#include <climits>

#include "tests/image/image_test_support.h"

// A 2 x 2, 24-bit file spelled out byte by byte: rows of 8 bytes, 2 of padding.
static const Bytes kTwoByTwo24 = {
    0x42, 0x4D, 0x46, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,  // file
    0x28, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00,  // info
    0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x13, 0x0B, 0x00, 0x00,
    0x13, 0x0B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00, 0x00,  // row 0
    0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0xEE, 0xEE,  // row 1
};

// A 3 x 1, 32-bit file: the fourth byte of each pixel is not part of the colour.
static const Bytes kThreeByOne32 = {
    0x42, 0x4D, 0x42, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00,
    0x28, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x80, 0x70, 0x80, 0x90, 0x01,
};

// Loads through both entry points into fresh images of a known, different
// content; returns whether each succeeded and checks that failure changed nothing.
struct LoadOutcome {
    bool block;
    bool stream;
};

static LoadOutcome loadBoth(const Bytes& file, Dib32Image& viaBlock, Dib32Image& viaStream,
                            int32_t id = 0x30)
{
    const ImageSnapshot blockBefore(viaBlock);
    const ImageSnapshot streamBefore(viaStream);
    CountingReader reader(file);
    ScriptedInput input(file);
    LoadOutcome r{viaBlock.loadFromBlock(&reader, id), viaStream.loadFromStream(&input, id)};
    if (!r.block) {
        EXPECT_TRUE(ImageSnapshot(viaBlock) == blockBefore) << "a failed load changed the image";
    }
    if (!r.stream) {
        EXPECT_TRUE(ImageSnapshot(viaStream) == streamBefore) << "a failed load changed the image";
    }
    return r;
}

static void expectPattern(Dib32Image& image, int32_t w, int32_t h)
{
    ASSERT_EQ(image.width(), w);
    ASSERT_EQ(image.height(), h);
    EXPECT_TRUE(image.isBottomUp());
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            ASSERT_EQ(image.pixel(x, y), patternColour(x, y)) << x << "," << y;
}

class BmpDecoder : public ::testing::Test {
protected:
    BmpDecoder() { paintPattern(a); paintPattern(b); }
    Dib32Image a{7, 5};
    Dib32Image b{7, 5};
};

TEST_F(BmpDecoder, ReadsTheHandMade24BitFile)
{
    const LoadOutcome r = loadBoth(kTwoByTwo24, a, b);
    ASSERT_TRUE(r.block);
    ASSERT_TRUE(r.stream);
    for (Dib32Image* image : {&a, &b}) {
        EXPECT_EQ(image->width(), 2);
        EXPECT_EQ(image->height(), 2);
        EXPECT_EQ(image->pixel(0, 0), 0x030201u);
        EXPECT_EQ(image->pixel(1, 0), 0x060504u);
        EXPECT_EQ(image->pixel(0, 1), 0x090807u);
        EXPECT_EQ(image->pixel(1, 1), 0x0C0B0Au);
    }
}

TEST_F(BmpDecoder, ReadsTheHandMade32BitFileIgnoringTheFourthByte)
{
    const LoadOutcome r = loadBoth(kThreeByOne32, a, b);
    ASSERT_TRUE(r.block);
    ASSERT_TRUE(r.stream);
    for (Dib32Image* image : {&a, &b}) {
        EXPECT_EQ(image->width(), 3);
        EXPECT_EQ(image->height(), 1);
        EXPECT_EQ(image->pixel(0, 0), 0x302010u);
        EXPECT_EQ(image->pixel(1, 0), 0x605040u);
        EXPECT_EQ(image->pixel(2, 0), 0x908070u);
    }
}

TEST_F(BmpDecoder, ReadsThePictureSizeOfTheProgram)
{
    BmpShape s;
    s.width = 480;
    s.height = 320;
    const Bytes file = buildBmp(s);
    ASSERT_EQ(file.size(), 460854u);
    const LoadOutcome r = loadBoth(file, a, b);
    ASSERT_TRUE(r.block);
    ASSERT_TRUE(r.stream);
    expectPattern(a, 480, 320);
    expectPattern(b, 480, 320);
}

// Every padding case of a 24-bit row, with padding bytes that are not zero.
class BmpDecoderWidths : public ::testing::TestWithParam<int> {};

TEST_P(BmpDecoderWidths, PaddedRowsDecode)
{
    for (int bpp : {24, 32}) {
        BmpShape s;
        s.width = GetParam();
        s.height = 3;
        s.bitsPerPixel = bpp;
        s.filler = 0xFF;
        Dib32Image a(1, 1), b(1, 1);
        const LoadOutcome r = loadBoth(buildBmp(s), a, b);
        ASSERT_TRUE(r.block && r.stream) << "width " << s.width << " bpp " << bpp;
        expectPattern(a, s.width, 3);
        expectPattern(b, s.width, 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, BmpDecoderWidths, ::testing::Values(1, 2, 3, 4, 5, 6, 7, 8, 9, 479));

TEST(BmpDecoderStride, FileSizeMustCoverEveryRowWithItsPadding)
{
    // Width 1: stride 4; width 5: 16; width 4: 12 (3 rows each, array at 54).
    for (auto [width, stride] : {std::pair<int, int>{1, 4}, {5, 16}, {4, 12}, {2, 8}, {3, 12}}) {
        BmpShape s;
        s.width = width;
        s.height = 3;
        Bytes file = buildBmp(s);
        ASSERT_EQ(file.size(), size_t(54 + 3 * stride));
        Dib32Image a(1, 1), b(1, 1);
        EXPECT_TRUE(loadBoth(file, a, b).block) << width;
        // One byte short in the size field and in the bytes held.
        putLe32At(file, 2, uint32_t(54 + 3 * stride - 1));
        CountingReader shortField(file);
        EXPECT_FALSE(a.loadFromBlock(&shortField, 0x30)) << width;
        file.pop_back();
        putLe32At(file, 2, uint32_t(54 + 3 * stride));
        CountingReader shortBytes(file);
        EXPECT_FALSE(a.loadFromBlock(&shortBytes, 0x30)) << width;
    }
}

TEST_F(BmpDecoder, BytesAfterThePixelArrayAreIgnored)
{
    BmpShape s;
    s.width = 3;
    s.height = 2;
    s.trailing = 9;
    const Bytes file = buildBmp(s);
    ASSERT_EQ(le32At(file, 2), file.size() - 9);
    const LoadOutcome r = loadBoth(file, a, b);
    EXPECT_TRUE(r.block);
    EXPECT_TRUE(r.stream);
    expectPattern(a, 3, 2);
    expectPattern(b, 3, 2);
}

TEST_F(BmpDecoder, ByteAfterBitsPerPixelIsNotExamined)
{
    Bytes file = kTwoByTwo24;
    file[29] = 0x7F;
    const LoadOutcome r = loadBoth(file, a, b);
    EXPECT_TRUE(r.block);
    EXPECT_TRUE(r.stream);
    EXPECT_EQ(a.pixel(1, 1), 0x0C0B0Au);
}

class BmpDecoderInfoHeader : public ::testing::TestWithParam<int32_t> {};

TEST_P(BmpDecoderInfoHeader, LongerInfoHeadersDecode)
{
    BmpShape s;
    s.width = 5;
    s.height = 4;
    s.infoSize = GetParam();
    s.gap = 3;
    Bytes file = buildBmp(s);
    // Image size, resolutions and colour counts may hold anything.
    for (size_t i = 34; i < 54; ++i)
        file[i] = uint8_t(0x91 + i);
    Dib32Image a(1, 1), b(1, 1);
    const LoadOutcome r = loadBoth(file, a, b);
    EXPECT_TRUE(r.block);
    EXPECT_TRUE(r.stream);
    expectPattern(a, 5, 4);
    expectPattern(b, 5, 4);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpDecoderInfoHeader, ::testing::Values(40, 108, 124));

TEST_F(BmpDecoder, LoadingResizesTheImage)
{
    Dib32Image image(480, 320);
    BmpShape s;
    s.width = 196;
    s.height = 100;
    CountingReader reader(buildBmp(s));
    ASSERT_TRUE(image.loadFromBlock(&reader, 0x30));
    expectPattern(image, 196, 100);
}

TEST_F(BmpDecoder, TopDownImageBecomesBottomUp)
{
    a.setSignedHeight(-5);
    CountingReader reader(kTwoByTwo24);
    ASSERT_TRUE(a.loadFromBlock(&reader, 0x30));
    EXPECT_TRUE(a.isBottomUp());
}

TEST_F(BmpDecoder, AcceptedIdsDecodeAlike)
{
    for (int32_t id : {0, 0x30, 0x31, 0x32}) {
        Dib32Image x(3, 3), y(3, 3);
        const LoadOutcome r = loadBoth(kTwoByTwo24, x, y, id);
        EXPECT_TRUE(r.block) << id;
        EXPECT_TRUE(r.stream) << id;
        EXPECT_EQ(x.pixel(1, 0), 0x060504u) << id;
        EXPECT_EQ(y.pixel(0, 1), 0x090807u) << id;
    }
}

TEST_F(BmpDecoder, OtherIdsAreRefusedBeforeReading)
{
    for (int32_t id : {0x33, 0x2F, 0x12, 0x24, 1, -1, 0x130, INT32_MIN, INT32_MAX}) {
        const ImageSnapshot before(a);
        CountingReader reader(kTwoByTwo24);
        ScriptedInput input(kTwoByTwo24);
        EXPECT_FALSE(a.loadFromBlock(&reader, id)) << id;
        EXPECT_FALSE(a.loadFromStream(&input, id)) << id;
        EXPECT_EQ(reader.copyOutCalls, 0) << id;
        EXPECT_TRUE(input.requests.empty()) << id;
        EXPECT_TRUE(ImageSnapshot(a) == before);
    }
}

TEST_F(BmpDecoder, NullSourcesAreRefused)
{
    const ImageSnapshot before(a);
    EXPECT_FALSE(a.loadFromBlock(nullptr, 0x30));
    EXPECT_FALSE(a.loadFromStream(nullptr, 0x30));
    EXPECT_TRUE(ImageSnapshot(a) == before);
}

TEST_F(BmpDecoder, BlockSourceIsSizedOnceAndCopiedOnce)
{
    CountingReader reader(kTwoByTwo24);
    ASSERT_TRUE(a.loadFromBlock(&reader, 0x30));
    EXPECT_EQ(reader.sizeCalls, 1);
    EXPECT_EQ(reader.copyOutCalls, 1);
}

TEST_F(BmpDecoder, ShortBlockIsRefusedWithoutACopy)
{
    const Bytes file(kTwoByTwo24.begin(), kTwoByTwo24.begin() + 53);
    CountingReader reader(file);
    EXPECT_FALSE(a.loadFromBlock(&reader, 0x30));
    EXPECT_EQ(reader.copyOutCalls, 0);
}

TEST_F(BmpDecoder, MissingCopyIsRefused)
{
    const ImageSnapshot before(a);
    CountingReader reader(kTwoByTwo24);
    reader.failCopy = true;
    EXPECT_FALSE(a.loadFromBlock(&reader, 0x30));
    EXPECT_EQ(reader.copyOutCalls, 1);
    EXPECT_TRUE(ImageSnapshot(a) == before);
}

TEST_F(BmpDecoder, StreamIsReadInTwoExactRequests)
{
    ScriptedInput input(kTwoByTwo24);
    ASSERT_TRUE(a.loadFromStream(&input, 0x30));
    EXPECT_EQ(input.requests, (std::vector<int32_t>{6, 70 - 6}));
}

TEST_F(BmpDecoder, StreamStopsAtTheFileSizeField)
{
    // Bytes past the declared size stay in the stream.
    Bytes file = kTwoByTwo24;
    file.insert(file.end(), 20, 0x33);
    ScriptedInput input(file);
    ASSERT_TRUE(a.loadFromStream(&input, 0x30));
    EXPECT_EQ(input.requests, (std::vector<int32_t>{6, 64}));
}

TEST_F(BmpDecoder, StreamRefusesASizeFieldBelowTheHeaders)
{
    for (uint32_t size : {0u, 6u, 53u, 0xFFFFFFFFu, 0x80000000u}) {
        Bytes file = kTwoByTwo24;
        putLe32At(file, 2, size);
        const ImageSnapshot before(a);
        ScriptedInput input(file);
        EXPECT_FALSE(a.loadFromStream(&input, 0x30)) << size;
        EXPECT_EQ(input.requests, std::vector<int32_t>{6}) << size;
        EXPECT_TRUE(ImageSnapshot(a) == before);
    }
}

TEST_F(BmpDecoder, StreamNeedsAPixelArrayAfterTheFirstSixBytes)
{
    // Offsets below 6 lie in bytes the stream entry point no longer holds;
    // the block entry point holds them and decodes.
    for (uint32_t offset : {0u, 5u, 6u}) {
        Bytes file = kTwoByTwo24;
        putLe32At(file, 10, offset);
        Dib32Image x(3, 3), y(3, 3);
        const LoadOutcome r = loadBoth(file, x, y);
        EXPECT_TRUE(r.block) << offset;
        EXPECT_EQ(r.stream, offset >= 6) << offset;
        if (r.block) {
            EXPECT_EQ(x.pixel(0, 0), uint32_t(file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16));
        }
    }
}

// Every prefix of a valid file lacks part of its pixel array: both entry points
// refuse it, and the sanitizer sees any read past the bytes held.
class BmpDecoderPrefix : public ::testing::TestWithParam<int> {};

TEST_P(BmpDecoderPrefix, EveryPrefixIsRefused)
{
    BmpShape s;
    s.width = 5;
    s.height = 3;
    s.bitsPerPixel = GetParam();
    const Bytes file = buildBmp(s);
    Dib32Image a(2, 2), b(2, 2);
    paintPattern(a);
    paintPattern(b);
    for (size_t n = 0; n < file.size(); ++n) {
        const Bytes prefix(file.begin(), file.begin() + long(n));
        const LoadOutcome r = loadBoth(prefix, a, b);
        ASSERT_FALSE(r.block) << "prefix of " << n << " bytes";
        ASSERT_FALSE(r.stream) << "prefix of " << n << " bytes";
    }
    EXPECT_TRUE(loadBoth(file, a, b).block);
}

INSTANTIATE_TEST_SUITE_P(Formats, BmpDecoderPrefix, ::testing::Values(24, 32));

TEST_F(BmpDecoder, PrefixesOfTheHandMadeFilesAreRefused)
{
    for (const Bytes* file : {&kTwoByTwo24, &kThreeByOne32}) {
        for (size_t n = 0; n < file->size(); ++n) {
            const LoadOutcome r = loadBoth(Bytes(file->begin(), file->begin() + long(n)), a, b);
            ASSERT_FALSE(r.block || r.stream) << n;
        }
    }
}

// One header field set to a hostile value in a valid 5 x 3, 24-bit file
// (stride 16, pixel array 48 bytes at 54, file of 102 bytes).
struct HostileField {
    const char* name;
    size_t offset;
    uint32_t value;
    bool blockDecodes;
    bool streamDecodes;
};

static std::ostream& operator<<(std::ostream& os, const HostileField& f)
{
    return os << f.name << "=" << int32_t(f.value);
}

class BmpDecoderHostile : public ::testing::TestWithParam<HostileField> {};

TEST_P(BmpDecoderHostile, RefusedOrDecodedNeverHarmed)
{
    BmpShape s;
    s.width = 5;
    s.height = 3;
    Bytes file = buildBmp(s);
    ASSERT_EQ(file.size(), 102u);
    const HostileField f = GetParam();
    if (f.offset == 28) {
        file[28] = uint8_t(f.value);
    } else if (f.offset == 0) {
        file[0] = uint8_t(f.value);
        file[1] = uint8_t(f.value >> 8);
    } else {
        putLe32At(file, f.offset, f.value);
    }
    Dib32Image a(4, 4), b(4, 4);
    paintPattern(a);
    paintPattern(b);
    const LoadOutcome r = loadBoth(file, a, b);
    EXPECT_EQ(r.block, f.blockDecodes);
    EXPECT_EQ(r.stream, f.streamDecodes);
    if (r.block && f.offset != 10)
        expectPattern(a, 5, 3);
}

static const uint32_t kMin = 0x80000000u;
static const uint32_t kMax = 0x7FFFFFFFu;
static const uint32_t kMinusOne = 0xFFFFFFFFu;

INSTANTIATE_TEST_SUITE_P(
    Fields, BmpDecoderHostile,
    ::testing::Values(
        HostileField{"fileSize", 2, 0, false, false},
        HostileField{"fileSize", 2, kMinusOne, false, false},
        HostileField{"fileSize", 2, kMin, false, false},
        HostileField{"fileSize", 2, 101, false, false},
        HostileField{"fileSize", 2, 102, true, true},
        // A larger size field is only an upper bound for the block; the stream
        // asks for that many bytes and does not get them.
        HostileField{"fileSize", 2, 103, true, false},
        HostileField{"fileSize", 2, kMax, true, false},
        HostileField{"pixelOffset", 10, 0, true, false},
        HostileField{"pixelOffset", 10, 55, false, false},
        HostileField{"pixelOffset", 10, 102, false, false},
        HostileField{"pixelOffset", 10, kMinusOne, false, false},
        HostileField{"pixelOffset", 10, kMin, false, false},
        HostileField{"pixelOffset", 10, kMax, false, false},
        HostileField{"pixelOffset", 10, 0xFFFFFFD0u, false, false},
        HostileField{"width", 18, 0, false, false},
        HostileField{"width", 18, kMinusOne, false, false},
        HostileField{"width", 18, kMin, false, false},
        HostileField{"width", 18, kMax, false, false},
        HostileField{"width", 18, 6, false, false},
        // 3 x width wraps to 2 in 32 bits, 4 x width to 0 or 4.
        HostileField{"width", 18, 0x55555556u, false, false},
        HostileField{"width", 18, 0x40000000u, false, false},
        HostileField{"width", 18, 0x40000001u, false, false},
        HostileField{"width", 18, 0x80000001u, false, false},
        HostileField{"height", 22, 0, false, false},
        HostileField{"height", 22, kMinusOne, false, false},
        HostileField{"height", 22, uint32_t(-3), false, false},
        HostileField{"height", 22, kMin, false, false},
        HostileField{"height", 22, kMax, false, false},
        HostileField{"height", 22, 4, false, false},
        // 16 x 0x10000000 wraps to 0 in 32 bits.
        HostileField{"height", 22, 0x10000000u, false, false},
        HostileField{"bitsPerPixel", 28, 0, false, false},
        HostileField{"bitsPerPixel", 28, 1, false, false},
        HostileField{"bitsPerPixel", 28, 4, false, false},
        HostileField{"bitsPerPixel", 28, 8, false, false},
        HostileField{"bitsPerPixel", 28, 16, false, false},
        HostileField{"bitsPerPixel", 28, 0xFF, false, false},
        HostileField{"compression", 30, 1, false, false},
        HostileField{"compression", 30, 3, false, false},
        HostileField{"compression", 30, kMinusOne, false, false},
        HostileField{"compression", 30, kMin, false, false},
        HostileField{"compression", 30, kMax, false, false},
        HostileField{"signature", 0, 0x00004D42u, true, true},
        HostileField{"signature", 0, 0x00004240u, false, false},
        HostileField{"signature", 0, 0x0000424Du, false, false}));

TEST(BmpDecoderHostileSizes, WidthAndHeightWhoseArrayOverflowsAreRefused)
{
    // Pairs whose stride x rows wraps or exceeds every 32-bit size, each in
    // a 24- and a 32-bit file, with the size field at its largest.
    const std::pair<uint32_t, uint32_t> sizes[] = {
        {0x10000, 0x10000}, {0x7FFFFFFF, 0x7FFFFFFF}, {0x55555556, 3}, {0x40000000, 0x40000000},
        {0x2AAAAAAB, 6},    {0x20000000, 8},          {1, 0x7FFFFFFF}, {0x7FFFFFFF, 1},
        {65537, 16383},     {16384, 32768}};
    for (int bpp : {24, 32}) {
        for (auto [w, h] : sizes) {
            BmpShape s;
            s.width = 2;
            s.height = 2;
            s.bitsPerPixel = bpp;
            Bytes file = buildBmp(s);
            putLe32At(file, 2, kMax);
            putLe32At(file, 18, w);
            putLe32At(file, 22, h);
            Dib32Image a(3, 3), b(3, 3);
            const LoadOutcome r = loadBoth(file, a, b);
            EXPECT_FALSE(r.block) << bpp << " " << w << "x" << h;
            EXPECT_FALSE(r.stream) << bpp << " " << w << "x" << h;
        }
    }
}

TEST(BmpDecoderFormats, ThirtyTwoBitWithBitFieldsIsRefused)
{
    Bytes file = kThreeByOne32;
    putLe32At(file, 30, 3);
    Dib32Image a(2, 2), b(2, 2);
    const LoadOutcome r = loadBoth(file, a, b);
    EXPECT_FALSE(r.block);
    EXPECT_FALSE(r.stream);
}

TEST(BmpDecoderFormats, TopDownFilesAreRefused)
{
    for (int bpp : {24, 32}) {
        BmpShape s;
        s.width = 3;
        s.height = 2;
        s.bitsPerPixel = bpp;
        Bytes file = buildBmp(s);
        putLe32At(file, 22, uint32_t(-2));
        Dib32Image a(2, 2), b(2, 2);
        const LoadOutcome r = loadBoth(file, a, b);
        EXPECT_FALSE(r.block) << bpp;
        EXPECT_FALSE(r.stream) << bpp;
    }
}

TEST(BmpDecoderStreamFailures, ShortReadsAreRefused)
{
    BmpShape s;
    s.width = 3;
    s.height = 2;
    const Bytes file = buildBmp(s);
    // The stream ends inside the first six bytes, or inside the rest.
    for (size_t n : {size_t(0), size_t(2), size_t(5), size_t(6), size_t(30), file.size() - 1}) {
        Dib32Image image(2, 2);
        const ImageSnapshot before(image);
        ScriptedInput input(Bytes(file.begin(), file.begin() + long(n)));
        EXPECT_FALSE(image.loadFromStream(&input, 0x30)) << n;
        EXPECT_TRUE(ImageSnapshot(image) == before) << n;
        EXPECT_LE(input.requests.size(), 2u);
    }
}
