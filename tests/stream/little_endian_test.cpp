// The library and the tests' file builders share these helpers, so their byte
// order is checked here against bytes spelled out by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "stream/little_endian.h"

using Bytes = std::vector<uint8_t>;

TEST(LittleEndian, LoadsLowByteFirstAtAnyAddressWithoutSignExtension) {
    const uint8_t b[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x85, 0x96, 0xFF, 0xFF};
    EXPECT_EQ(loadLe16(b + 1), 0x2211u);
    EXPECT_EQ(loadLe16(b + 4), 0x8544u);
    EXPECT_EQ(loadLe16(b + 7), 0xFFFFu);
    EXPECT_EQ(loadLe24(b + 1), 0x332211u);
    EXPECT_EQ(loadLe24(b + 4), 0x968544u);
    EXPECT_EQ(loadLe32(b + 1), 0x44332211u);
    EXPECT_EQ(loadLe32(b + 3), 0x96854433u);
    EXPECT_EQ(loadLe32(b + 5), 0xFFFF9685u);
}

TEST(LittleEndian, StoresLowByteFirstAndOnlyItsOwnBytes) {
    Bytes b(7, 0xA5);
    storeLe16(b.data() + 1, 0xDEADBEEFu);
    EXPECT_EQ(b, (Bytes{0xA5, 0xEF, 0xBE, 0xA5, 0xA5, 0xA5, 0xA5}));
    b.assign(7, 0xA5);
    storeLe24(b.data() + 1, 0xDEADBEEFu);
    EXPECT_EQ(b, (Bytes{0xA5, 0xEF, 0xBE, 0xAD, 0xA5, 0xA5, 0xA5}));
    b.assign(7, 0xA5);
    storeLe32(b.data() + 1, 0xDEADBEEFu);
    EXPECT_EQ(b, (Bytes{0xA5, 0xEF, 0xBE, 0xAD, 0xDE, 0xA5, 0xA5}));
    storeLe32(b.data() + 3, 0x00000180u);
    EXPECT_EQ(b, (Bytes{0xA5, 0xEF, 0xBE, 0x80, 0x01, 0x00, 0x00}));
}

TEST(LittleEndian, AppendsAfterWhatIsThere) {
    Bytes b{7};
    appendLe16(b, 0x12345678u);
    EXPECT_EQ(b, (Bytes{7, 0x78, 0x56}));
    appendLe32(b, 0x89ABCDEFu);
    EXPECT_EQ(b, (Bytes{7, 0x78, 0x56, 0xEF, 0xCD, 0xAB, 0x89}));
}
