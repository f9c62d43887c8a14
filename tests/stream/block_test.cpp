#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "stream/block.h"
#include "tests/stream/stream_test_support.h"

TEST(AllocBlock, RefusesSizesBelowOne) {
    for (int32_t n : {0, -1, INT32_MIN}) {
        EXPECT_EQ(allocBlock(n), nullptr) << n;
    }
}

TEST(AllocBlock, HandsOutZeroedBlocksThatFreeBlockReleases) {
    // Dirty a block first so a reused chunk would show through.
    uint8_t* dirty = allocBlock(64);
    ASSERT_NE(dirty, nullptr);
    std::memset(dirty, 0xEE, 64);
    ASSERT_TRUE(freeBlock(dirty));

    uint8_t* p = allocBlock(64);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(p[i], 0) << i;
    }
    EXPECT_TRUE(freeBlock(p));
    EXPECT_FALSE(freeBlock(nullptr));
}

TEST(AllocBlock, HugeRequestGivesNullOrAWholeZeroedBlock) {
    // Must not abort: a 32-bit process cannot have it, a 64-bit one may.
    uint8_t* p = allocBlock(INT32_MAX);
    if (p != nullptr) {
        EXPECT_EQ(p[0], 0);
        EXPECT_EQ(p[INT32_MAX - 1], 0);
        p[INT32_MAX - 1] = 1;
        EXPECT_TRUE(freeBlock(p));
    }
    uint8_t* small = allocBlock(4);
    EXPECT_NE(small, nullptr);
    freeBlock(small);
}

class CopyBytesTest : public ::testing::Test {
protected:
    uint8_t b[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    void expect(std::initializer_list<uint8_t> want) {
        EXPECT_TRUE(std::equal(want.begin(), want.end(), b));
    }
};

TEST_F(CopyBytesTest, OverlapUpwardsKeepsTheSource) {
    EXPECT_TRUE(copyBytes(b + 2, b, 5));
    expect({1, 2, 1, 2, 3, 4, 5, 8});
}

TEST_F(CopyBytesTest, OverlapDownwardsKeepsTheSource) {
    EXPECT_TRUE(copyBytes(b, b + 3, 5));
    expect({4, 5, 6, 7, 8, 6, 7, 8});
}

TEST_F(CopyBytesTest, SamePointerIsTrueAndHarmless) {
    EXPECT_TRUE(copyBytes(b, b, 4));
    expect({1, 2, 3, 4, 5, 6, 7, 8});
}

TEST_F(CopyBytesTest, BadArgumentsCopyNothing) {
    uint8_t src[4] = {9, 9, 9, 9};
    EXPECT_FALSE(copyBytes(b, src, 0));
    EXPECT_FALSE(copyBytes(b, src, -4));
    EXPECT_FALSE(copyBytes(nullptr, src, 4));
    EXPECT_FALSE(copyBytes(b, nullptr, 4));
    expect({1, 2, 3, 4, 5, 6, 7, 8});
}

TEST_F(CopyBytesTest, FillBytesSetsExactlyNBytes) {
    EXPECT_TRUE(fillBytes(b + 1, 3, 0xAA));
    expect({1, 0xAA, 0xAA, 0xAA, 5, 6, 7, 8});
}

TEST_F(CopyBytesTest, FillBytesRefusesBadArgumentsAndWritesNothing) {
    EXPECT_FALSE(fillBytes(b, 0, 7));
    EXPECT_FALSE(fillBytes(b, -1, 7));
    EXPECT_FALSE(fillBytes(nullptr, 4, 7));
    expect({1, 2, 3, 4, 5, 6, 7, 8});
}
