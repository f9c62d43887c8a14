#include <gtest/gtest.h>

#include "tests/resources/resource_bytes.h"

namespace {

// The directory's header: reserved 0, the type (1 icon, 2 cursor), the count.
void expectDirectory(const Bytes& file, uint16_t type, uint16_t count) {
    expectFields(file, {{0, 2, 0}, {2, 2, type}, {4, 2, count}});
}

size_t entryAt(size_t i) {
    return 6 + 16 * i;
}

// Directory entry i of a square image: its size (256 as 0), colour count, reserved 0, the two
// fields (icon: planes and bits per pixel; cursor: the hot spot) and where its image starts.
void expectEntry(const Bytes& file, size_t i, uint32_t size, uint8_t colours, uint16_t field1,
                 uint16_t field2, uint32_t at) {
    const size_t e = entryAt(i);
    expectFields(file, {{e, 1, size % 256},
                        {e + 1, 1, size % 256},
                        {e + 2, 1, colours},
                        {e + 3, 1, 0},
                        {e + 4, 2, field1},
                        {e + 6, 2, field2},
                        {e + 12, 4, at}});
}

uint32_t be32(const Bytes& b, size_t at) {
    return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8 |
           b.at(at + 3);
}

uint32_t crc32(const Bytes& b, size_t at, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = at; i < at + size; ++i) {
        crc ^= b.at(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// A PNG of size x size RGBA pixels from at to end: signature, header first,
// every chunk's CRC right, the end chunk last.
void expectPng(const Bytes& file, size_t at, size_t end, uint32_t size) {
    EXPECT_EQ(be32(file, at), 0x89504E47u);
    EXPECT_EQ(be32(file, at + 4), 0x0D0A1A0Au);
    EXPECT_EQ(be32(file, at + 12), 0x49484452u);  // IHDR
    EXPECT_EQ(std::make_pair(be32(file, at + 16), be32(file, at + 20)), std::make_pair(size, size));
    EXPECT_EQ(be32(file, at + 24) >> 8, 0x080600u);  // 8 bits, RGBA, deflate
    size_t chunk = at + 8;
    uint32_t type = 0;
    while (chunk + 12 <= end) {
        const size_t length = be32(file, chunk);
        type = be32(file, chunk + 4);
        ASSERT_LE(chunk + 12 + length, end);
        EXPECT_EQ(be32(file, chunk + 8 + length), crc32(file, chunk + 4, length + 4))
            << "chunk at " << chunk - at;
        chunk += 12 + length;
    }
    EXPECT_EQ(chunk, end);
    EXPECT_EQ(type, 0x49454E44u);  // IEND
}

// The shell's sizes at 100 % to 200 %, with 256 x 256 for large views.
struct IconImage {
    uint32_t size;
    uint8_t colourCount;
    uint16_t bitCount;
};
const IconImage kAppIcon[] = {{32, 16, 4}, {16, 0, 32}, {20, 0, 32}, {24, 0, 32}, {32, 0, 32},
                              {40, 0, 32}, {48, 0, 32}, {64, 0, 32}, {256, 0, 32}};
constexpr size_t kImages = sizeof kAppIcon / sizeof kAppIcon[0];

// Every image where its entry says, one after the other up to the file's end.
TEST(AppIcon, ListsEachSizeWithItsImageWhereTheEntrySays) {
    const Bytes file = readResource("app.ico");
    expectDirectory(file, 1, kImages);
    size_t next = entryAt(kImages);
    for (size_t i = 0; i < kImages; ++i) {
        const IconImage& image = kAppIcon[i];
        SCOPED_TRACE(::testing::Message()
                     << image.size << " x " << image.size << " at " << image.bitCount << " bits");
        const size_t e = entryAt(i), at = le32(file, e + 12), bytes = le32(file, e + 8);
        expectEntry(file, i, image.size, image.colourCount, 1, image.bitCount, uint32_t(next));
        next = at + bytes;
        ASSERT_LE(next, file.size());
        if (image.size < 256) {
            // A BMP image's height counts the colour rows and the mask rows.
            expectInfoHeader(file, at, image.size, 2 * image.size, image.bitCount);
            const size_t palette = image.bitCount == 4 ? 16 * 4 : 0;
            const size_t mask = (image.size + 31) / 32 * 4 * image.size;
            EXPECT_EQ(bytes, 40 + palette + image.size * image.size * image.bitCount / 8 + mask);
            continue;
        }
        expectPng(file, at, next, 256);
    }
    EXPECT_EQ(next, file.size());
}

// The installed page's icons, whole PNG files of the sizes its manifest names.
TEST(WebIcons, AreWholePngFilesOfTheirSizes) {
    for (const auto& icon : {std::make_pair("icon-192.png", 192u),
                             {"icon-512.png", 512u},
                             {"icon-maskable.png", 512u}}) {
        SCOPED_TRACE(icon.first);
        const Bytes file = readResource(icon.first);
        ASSERT_GE(file.size(), 33u);
        expectPng(file, 0, file.size(), icon.second);
    }
}

// Each bitmap image shows the red hand print on the round cheek: the corners
// let the screen through, the middle is opaque, a fifth of it or more red.
// Under a set mask bit the colour is XORed onto the screen: it must be black
// there, or the "transparent" pixels would show as garbage; the 32-bit images'
// masks, for systems that ignore alpha, let through exactly where alpha is 0.
TEST(AppIcon, EachBitmapImageIsTheRedPrintOnACheekWithTheScreenAroundIt) {
    const Bytes file = readResource("app.ico");
    ASSERT_GE(file.size(), entryAt(kImages));
    for (size_t i = 0; i < kImages; ++i) {
        const int n = static_cast<int>(kAppIcon[i].size), bits = kAppIcon[i].bitCount;
        if (n == 256)
            continue;
        SCOPED_TRACE(::testing::Message() << n << " x " << n << " at " << bits << " bits");
        const size_t at = le32(file, entryAt(i) + 12);
        const size_t colours = at + 40 + (bits == 4 ? 16 * 4 : 0);
        const size_t mask = colours + size_t(n) * n * bits / 8;
        ASSERT_LE(mask + (n + 31) / 32 * 4 * size_t(n), file.size());
        // x from the left, y from the top; rows are stored bottom-up.
        auto transparent = [&](int x, int y) {
            return (file[mask + (n - 1 - y) * ((n + 31) / 32 * 4) + x / 8] >> (7 - x % 8)) & 1;
        };
        auto colour = [&](int x, int y) -> uint32_t {
            if (bits == 32)
                return le32(file, colours + 4 * (size_t(n - 1 - y) * n + x));
            const uint8_t pair = file[colours + (n - 1 - y) * n / 2 + x / 2];
            return le32(file, at + 40 + 4 * (x % 2 == 0 ? pair >> 4 : pair & 0x0F)) | 0xFF000000u;
        };
        int32_t opaque = 0, red = 0, wrongMask = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const uint32_t c = colour(x, y);
                wrongMask += transparent(x, y) ? c != 0 && (bits == 32 || c != 0xFF000000u)
                                               : bits == 32 && c >> 24 == 0;
                const bool solid = !transparent(x, y) && c >> 24 >= 128;
                opaque += solid;
                red += solid && redOf(c) >= 150 && greenOf(c) < 80 && blueOf(c) < 80;
            }
        }
        EXPECT_EQ(wrongMask, 0);
        EXPECT_TRUE(transparent(0, 0) && transparent(n - 1, 0) && transparent(0, n - 1) &&
                    transparent(n - 1, n - 1));
        EXPECT_FALSE(transparent(n / 2, n / 2));
        EXPECT_GE(opaque, n * n / 2);
        EXPECT_GE(red * 100, opaque * 20) << red << " red of " << opaque;
    }
}

// Two palette entries, then 32 rows of colour bits (nothing drawn) and 32 of
// mask bits (the screen shows through everywhere).
TEST(NullCursor, IsMonochromeWithHotSpotAtOriginAndEveryPixelTransparent) {
    const Bytes file = readResource("null.cur");
    const size_t colours = 22 + 40 + 2 * 4, mask = colours + 32 * 4;
    ASSERT_EQ(file.size(), mask + 32 * 4);
    expectDirectory(file, 2, 1);
    expectEntry(file, 0, 32, 2, 0, 0, 22);
    EXPECT_EQ(le32(file, 14), file.size() - 22);
    expectInfoHeader(file, 22, 32, 2 * 32, 1);
    for (size_t i = colours; i < mask; ++i)
        EXPECT_EQ(file[i], 0x00) << "colour byte " << i - colours;
    for (size_t i = mask; i < file.size(); ++i)
        EXPECT_EQ(file[i], 0xFF) << "mask byte " << i - mask;
}

}  // namespace
