#include <gtest/gtest.h>

#include "tests/resources/resource_bytes.h"

namespace {

// The directory entry of a one-image file and the image's info header.
struct OneImageFile {
    uint16_t type;
    uint8_t colourCount;
    uint16_t field1;  // icon: planes; cursor: hot spot x
    uint16_t field2;  // icon: bits per pixel; cursor: hot spot y
    uint16_t bitCount;
    size_t bytes;
};

void expectOneImageFile(const Bytes& file, const OneImageFile& want) {
    ASSERT_EQ(file.size(), want.bytes);
    EXPECT_EQ(le16(file, 0), 0);
    EXPECT_EQ(le16(file, 2), want.type);
    EXPECT_EQ(le16(file, 4), 1) << "one image";
    EXPECT_EQ(file[6], 32);
    EXPECT_EQ(file[7], 32);
    EXPECT_EQ(file[8], want.colourCount);
    EXPECT_EQ(file[9], 0);
    EXPECT_EQ(le16(file, 10), want.field1);
    EXPECT_EQ(le16(file, 12), want.field2);
    EXPECT_EQ(le32(file, 14), file.size() - 22) << "image bytes";
    EXPECT_EQ(le32(file, 18), 22u) << "image offset";
    // The image: 32 wide, 64 high (colour rows and mask rows), uncompressed.
    EXPECT_EQ(le32(file, 22), 40u);
    EXPECT_EQ(les32(file, 26), 32);
    EXPECT_EQ(les32(file, 30), 64);
    EXPECT_EQ(le16(file, 34), 1);
    EXPECT_EQ(le16(file, 36), want.bitCount);
    EXPECT_EQ(le32(file, 38), 0u);
}

constexpr size_t kIconPalette = 22 + 40;
constexpr size_t kIconColours = kIconPalette + 16 * 4;
constexpr size_t kIconMask = kIconColours + 32 * 32 / 2;

class AppIcon : public ::testing::Test {
protected:
    void SetUp() override {
        file = readResource("app.ico");
        ASSERT_EQ(file.size(), kIconMask + 32 * 4);
    }
    // x from the left, y from the top.
    bool transparent(int x, int y) const {
        return (file[kIconMask + (31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
    }
    int colourIndex(int x, int y) const {
        const uint8_t pair = file[kIconColours + (31 - y) * 16 + x / 2];
        return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
    }
    uint32_t paletteColour(int i) const { return le32(file, kIconPalette + 4 * i); }
    Bytes file;
};

TEST_F(AppIcon, IsOne32By32ImageOf16ColoursWithMask) {
    expectOneImageFile(file, {1, 16, 1, 4, 4, 766});
}

// Under a set mask bit the colour is XORed onto the screen: it must be colour
// 0 (black) there, or the "transparent" pixels would show as garbage.
TEST_F(AppIcon, TransparentPixelsLeaveTheScreenAlone) {
    int32_t clear = 0, opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (!transparent(x, y)) {
                ++opaque;
                continue;
            }
            ++clear;
            EXPECT_EQ(paletteColour(colourIndex(x, y)) & 0xFFFFFF, 0u) << x << ", " << y;
        }
    }
    EXPECT_TRUE(transparent(0, 0) && transparent(31, 0) && transparent(0, 31) && transparent(31, 31));
    EXPECT_FALSE(transparent(16, 16));
    EXPECT_GE(opaque, 32 * 32 / 2);
    EXPECT_GT(clear, 0);
}

// The red hand print must read at this size: plenty of strong red pixels.
TEST_F(AppIcon, ShowsARedHandPrint) {
    int32_t red = 0, opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (transparent(x, y)) continue;
            ++opaque;
            const uint32_t c = paletteColour(colourIndex(x, y));
            if (redOf(c) >= 150 && greenOf(c) < 80 && blueOf(c) < 80) ++red;
        }
    }
    EXPECT_GE(red * 100, opaque * 20) << red << " red of " << opaque;
}

TEST(NullCursor, IsAnAllTransparentMonochromeCursorWithHotSpotAtOrigin) {
    const Bytes file = readResource("null.cur");
    expectOneImageFile(file, {2, 2, 0, 0, 1, 326});
    // Two palette entries, then 32 rows of colour bits and 32 of mask bits.
    const size_t colours = 22 + 40 + 2 * 4;
    const size_t mask = colours + 32 * 4;
    ASSERT_EQ(file.size(), mask + 32 * 4);
    for (size_t i = colours; i < mask; ++i) EXPECT_EQ(file[i], 0x00) << "colour byte " << i - colours;
    for (size_t i = mask; i < file.size(); ++i) EXPECT_EQ(file[i], 0xFF) << "mask byte " << i - mask;
}

}  // namespace
