#include <gtest/gtest.h>

#include "tests/resources/resource_bytes.h"

namespace {

// One directory entry pointing at one 32 x 32 image right behind it; the
// image's header counts 64 rows (colour rows, then mask rows), uncompressed.
// Icon: field1, field2 are planes and bits per pixel; cursor: the hot spot.
void expectOneImageFile(const Bytes& file, uint16_t type, uint8_t colourCount, uint16_t field1,
                        uint16_t field2, uint16_t bitCount) {
    expectFields(file, {{0, 2, 0},
                        {2, 2, type},
                        {4, 2, 1},
                        {6, 1, 32},
                        {7, 1, 32},
                        {8, 1, colourCount},
                        {9, 1, 0},
                        {10, 2, field1},
                        {12, 2, field2},
                        {14, 4, uint32_t(file.size() - 22)},
                        {18, 4, 22},
                        {22, 4, 40},
                        {26, 4, 32},
                        {30, 4, 64},
                        {34, 2, 1},
                        {36, 2, bitCount},
                        {38, 4, 0}});
}

constexpr size_t kIconPalette = 22 + 40;
constexpr size_t kIconColours = kIconPalette + 16 * 4;
constexpr size_t kIconMask = kIconColours + 32 * 32 / 2;

// Under a set mask bit the colour is XORed onto the screen: it must be colour
// 0 (black) there, or the "transparent" pixels would show as garbage. The
// opaque rest must show the red hand print plainly.
TEST(AppIcon, Is16Colours32By32WithBlackUnderTheMaskAndARedPrint) {
    const Bytes file = readResource("app.ico");
    ASSERT_EQ(file.size(), kIconMask + 32 * 4);
    expectOneImageFile(file, 1, 16, 1, 4, 4);
    // x from the left, y from the top; rows are stored bottom-up.
    auto transparent = [&](int x, int y) {
        return (file[kIconMask + (31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
    };
    auto colour = [&](int x, int y) {
        const uint8_t pair = file[kIconColours + (31 - y) * 16 + x / 2];
        return le32(file, kIconPalette + 4 * (x % 2 == 0 ? pair >> 4 : pair & 0x0F));
    };
    int32_t opaque = 0, red = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const uint32_t c = colour(x, y);
            EXPECT_EQ(transparent(x, y) ? c & 0xFFFFFF : 0u, 0u)
                << "transparent, not black: " << x << ", " << y;
            opaque += !transparent(x, y);
            red += !transparent(x, y) && redOf(c) >= 150 && greenOf(c) < 80 && blueOf(c) < 80;
        }
    }
    EXPECT_TRUE(transparent(0, 0) && transparent(31, 0) && transparent(0, 31) &&
                transparent(31, 31));
    EXPECT_FALSE(transparent(16, 16));
    EXPECT_GE(opaque, 32 * 32 / 2);
    EXPECT_GE(red * 100, opaque * 20) << red << " red of " << opaque;
}

// Two palette entries, then 32 rows of colour bits (nothing drawn) and 32 of
// mask bits (the screen shows through everywhere).
TEST(NullCursor, IsMonochromeWithHotSpotAtOriginAndEveryPixelTransparent) {
    const Bytes file = readResource("null.cur");
    const size_t colours = 22 + 40 + 2 * 4, mask = colours + 32 * 4;
    ASSERT_EQ(file.size(), mask + 32 * 4);
    expectOneImageFile(file, 2, 2, 0, 0, 1);
    for (size_t i = colours; i < mask; ++i)
        EXPECT_EQ(file[i], 0x00) << "colour byte " << i - colours;
    for (size_t i = mask; i < file.size(); ++i)
        EXPECT_EQ(file[i], 0xFF) << "mask byte " << i - mask;
}

}  // namespace
