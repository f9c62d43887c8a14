#include <cstring>

#include "stream/block.h"
#include "tests/stream/stream_test_support.h"

TEST(AllocBlock, HandsOutZeroedBlocksAndRefusesSizesBelowOne) {
    for (int32_t n : {0, -1, INT32_MIN})
        EXPECT_EQ(allocBlock(n), nullptr) << n;
    // Dirty a block first so a reused chunk would show through.
    uint8_t* dirty = allocBlock(64);
    ASSERT_NE(dirty, nullptr);
    std::memset(dirty, 0xEE, 64);
    ASSERT_TRUE(freeBlock(dirty));
    uint8_t* p = allocBlock(64);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Bytes(p, p + 64), Bytes(64, 0));
    EXPECT_TRUE(freeBlock(p));
    EXPECT_FALSE(freeBlock(nullptr));
}

TEST(AllocBlock, UnfilledBlocksRefuseTheSameSizesAndGoBackThroughFreeBlock) {
    for (int32_t n : {0, -1, INT32_MIN})
        EXPECT_EQ(allocBlockUnfilled(n), nullptr) << n;
    uint8_t* p = allocBlockUnfilled(3);
    ASSERT_NE(p, nullptr);
    std::memset(p, 0x5A, 3);  // all of it is the caller's
    EXPECT_TRUE(freeBlock(p));
}

TEST(BlockFunctions, CopyAndFillTouchExactlyTheirRangeOrNothing) {
    // Offsets into b; -1 stands for a null pointer.
    struct Case {
        const char* name;
        bool fill;
        int dst, src;
        int32_t n;
        bool ok;
        Bytes want;
    };
    const Bytes same{1, 2, 3, 4, 5, 6, 7, 8};
    const Case cases[] = {
        {"overlap upwards", false, 2, 0, 5, true, {1, 2, 1, 2, 3, 4, 5, 8}},
        {"overlap downwards", false, 0, 3, 5, true, {4, 5, 6, 7, 8, 6, 7, 8}},
        {"same pointer", false, 0, 0, 4, true, same},
        {"zero count", false, 0, 4, 0, false, same},
        {"negative count", false, 0, 4, -4, false, same},
        {"null dst", false, -1, 4, 4, false, same},
        {"null src", false, 0, -1, 4, false, same},
        {"fill", true, 1, 0, 3, true, {1, 0xAA, 0xAA, 0xAA, 5, 6, 7, 8}},
        {"fill zero count", true, 0, 0, 0, false, same},
        {"fill negative count", true, 0, 0, -1, false, same},
        {"fill null", true, -1, 0, 4, false, same},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = same;
        uint8_t* dst = c.dst < 0 ? nullptr : b.data() + c.dst;
        const uint8_t* src = c.src < 0 ? nullptr : b.data() + c.src;
        EXPECT_EQ(c.fill ? fillBytes(dst, c.n, 0xAA) : copyBytes(dst, src, c.n), c.ok);
        EXPECT_EQ(b, c.want);
    }
}

TEST(LiveBlocks, CountsWhatIsHandedOutUntilItIsReleased) {
    const int32_t before = liveBlocks();
    uint8_t* zeroed = allocBlock(10);
    uint8_t* unfilled = allocBlockUnfilled(10);
    ASSERT_TRUE(zeroed != nullptr && unfilled != nullptr);
    EXPECT_EQ(liveBlocks(), before + 2);
    EXPECT_EQ(allocBlock(0), nullptr);  // refusals hand out nothing
    EXPECT_FALSE(freeBlock(nullptr));
    EXPECT_EQ(liveBlocks(), before + 2);
    uint8_t* huge[] = {allocBlock(INT32_MAX), allocBlockUnfilled(INT32_MAX)};  // may fail
    EXPECT_EQ(liveBlocks(), before + 2 + (huge[0] != nullptr) + (huge[1] != nullptr));
    freeBlock(huge[0]);
    freeBlock(huge[1]);
    freeBlock(zeroed);
    freeBlock(unfilled);
    EXPECT_EQ(liveBlocks(), before);
}
