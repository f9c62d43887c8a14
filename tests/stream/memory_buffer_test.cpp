#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

#include "stream/block.h"
#include "stream/memory_block_reader.h"
#include "stream/memory_buffer.h"
#include "stream/object_base.h"
#include "tests/stream/stream_test_support.h"

// ---- construction and raw storage

TEST(MemoryBuffer, NonPositiveOrUnholdableSizesGiveAnEmptyBuffer) {
    for (int32_t n : {0, -5, INT32_MIN, INT32_MAX}) {
        MemoryBuffer b(n);
        EXPECT_EQ(b.size(), 0) << n;
        EXPECT_EQ(b.data(), nullptr) << n;
        EXPECT_EQ(b.text(), nullptr) << n;
        EXPECT_EQ(b.copyOut(), nullptr) << n;
    }
}

TEST(MemoryBuffer, HoldsZeroBytesAndAZeroSpareByte) {
    MemoryBuffer b(10);
    ASSERT_EQ(b.size(), 10);
    EXPECT_EQ(b.lastIndex(), 9);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(b.data()[i], 0) << i;
    }
}

TEST(MemoryBuffer, ResizeKeepsThePrefixAndZeroesGrowth) {
    auto b = bufferOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    ASSERT_TRUE(b->resize(20));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b->data()[20], 0);
    ASSERT_TRUE(b->resize(5));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(b->data()[5], 0);
    const uint8_t* before = b->data();
    EXPECT_TRUE(b->resize(5));
    EXPECT_EQ(b->data(), before);
    ASSERT_TRUE(b->resize(0));
    EXPECT_EQ(b->size(), 0);
    EXPECT_EQ(b->data(), nullptr);
    EXPECT_TRUE(b->resize(3));
    EXPECT_EQ(contentOf(*b), (Bytes{0, 0, 0}));
}

TEST(MemoryBuffer, RefusedSizesChangeNothing) {
    auto b = bufferOf({1, 2, 3});
    const uint8_t* before = b->data();
    // INT32_MAX leaves no room for the spare byte.
    EXPECT_FALSE(b->resize(-1));
    EXPECT_FALSE(b->resize(INT32_MAX));
    EXPECT_FALSE(b->allocate(-1));
    EXPECT_FALSE(b->allocate(INT32_MAX));
    EXPECT_FALSE(b->resizeFilled(-1, 9));
    EXPECT_FALSE(b->resizeFilled(INT32_MAX, 9));
    EXPECT_EQ(b->data(), before);
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3}));
}

TEST(MemoryBuffer, AllocateOfTheSameLengthZeroesInPlace) {
    auto b = bufferOf({1, 2, 3});
    const uint8_t* before = b->data();
    EXPECT_TRUE(b->allocate(3));
    EXPECT_EQ(b->data(), before);
    EXPECT_EQ(contentOf(*b), (Bytes{0, 0, 0}));
    EXPECT_TRUE(b->allocate(5));
    EXPECT_EQ(contentOf(*b), (Bytes{0, 0, 0, 0, 0}));
    EXPECT_TRUE(b->allocate(0));
    EXPECT_EQ(b->data(), nullptr);
}

TEST(MemoryBuffer, ResizeFilledDiscardsTheContent) {
    auto b = bufferOf({1, 2, 3, 4, 5, 6});
    EXPECT_TRUE(b->resizeFilled(4, 0xAB));
    EXPECT_EQ(contentOf(*b), (Bytes{0xAB, 0xAB, 0xAB, 0xAB}));
    EXPECT_EQ(b->data()[4], 0);
    EXPECT_TRUE(b->resizeFilled(0, 0xAB));
    EXPECT_EQ(b->size(), 0);
}

TEST(MemoryBuffer, TextEndsAtTheFirstZeroOrTheSpareByte) {
    auto b = bufferOf({0x41, 0x42});
    EXPECT_STREQ(b->text(), "AB");
    EXPECT_EQ(b->text(), reinterpret_cast<const char*>(b->data()));
    auto c = bufferOf({0x41, 0, 0x42});
    EXPECT_STREQ(c->text(), "A");
}

TEST(MemoryBuffer, WritesNeverTouchTheSpareByte) {
    auto b = bufferOf({1, 2, 3});
    const uint8_t src[4] = {9, 9, 9, 9};
    EXPECT_EQ(b->writeAt(1, src, 4), 2);
    EXPECT_TRUE(b->fill(0, 7, INT32_MAX));
    EXPECT_EQ(contentOf(*b), (Bytes{7, 7, 7}));
    EXPECT_EQ(b->data()[3], 0);
}

// ---- growth and insertion

struct InsertCase {
    const char* name;
    Bytes start;
    int32_t pos;
    int32_t count;  // bytes taken from {7, 8}
    bool ok;
    Bytes want;
};

void PrintTo(const InsertCase& c, std::ostream* os) {
    *os << c.name;
}

class MemoryBufferInsertTest : public ::testing::TestWithParam<InsertCase> {};

TEST_P(MemoryBufferInsertTest, InsertBytes) {
    const InsertCase& c = GetParam();
    const uint8_t src[2] = {7, 8};
    auto b = bufferOf(c.start);
    EXPECT_EQ(b->insertBytes(c.pos, src, c.count), c.ok);
    EXPECT_EQ(contentOf(*b), c.want);
    if (b->size() > 0) {
        EXPECT_EQ(b->data()[b->size()], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edges, MemoryBufferInsertTest,
    ::testing::Values(
        InsertCase{"Middle", {1, 2, 3, 4, 5, 6}, 2, 2, true, {1, 2, 7, 8, 3, 4, 5, 6}},
        InsertCase{"Front", {1, 2, 3}, 0, 2, true, {7, 8, 1, 2, 3}},
        InsertCase{"BeforeLast", {1, 2, 3}, 2, 1, true, {1, 2, 7, 3}},
        InsertCase{"AtEnd", {1, 2, 3, 4, 5, 6}, 6, 2, true, {1, 2, 3, 4, 5, 6, 7, 8}},
        InsertCase{"BeyondEnd", {1, 2, 3}, 10, 2, true, {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 7, 8}},
        InsertCase{"IntoEmpty", {}, 2, 2, true, {0, 0, 7, 8}},
        InsertCase{"ZeroCount", {1, 2, 3}, 0, 0, false, {1, 2, 3}},
        InsertCase{"NegativeCount", {1, 2, 3}, 0, -1, false, {1, 2, 3}},
        InsertCase{"NegativePos", {1, 2, 3}, -1, 1, false, {1, 2, 3}},
        // The sums below overflow 32 bits; they must be refused, not wrapped.
        InsertCase{"PosPlusCountOverflows", {1, 2, 3}, INT32_MAX, 2, false, {1, 2, 3}},
        InsertCase{"PosPlusCountNoRoomForSpare", {1, 2, 3}, INT32_MAX - 1, 1, false, {1, 2, 3}},
        InsertCase{"SizePlusCountOverflows", {1, 2, 3}, 1, INT32_MAX - 1, false, {1, 2, 3}}),
    [](const ::testing::TestParamInfo<InsertCase>& i) { return std::string(i.param.name); });

TEST(MemoryBufferGrowth, InsertBytesRefusesNullSource) {
    auto b = bufferOf({1, 2, 3});
    EXPECT_FALSE(b->insertBytes(1, nullptr, 2));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3}));
}

TEST(MemoryBufferGrowth, InsertReaderCopiesTheOtherBlock) {
    auto b = bufferOf({1, 2, 3});
    auto other = bufferOf({7, 8});
    MemoryBuffer empty;
    EXPECT_FALSE(b->insertReader(0, &empty));
    EXPECT_FALSE(b->insertReader(0, nullptr));
    EXPECT_FALSE(b->insertReader(-1, other.get()));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3}));
    EXPECT_TRUE(b->insertReader(1, other.get()));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 7, 8, 2, 3}));
    EXPECT_TRUE(b->insertReader(0, b.get()));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 7, 8, 2, 3, 1, 7, 8, 2, 3}));
}

TEST(MemoryBufferGrowth, AppendByteAndBytes) {
    MemoryBuffer b;
    EXPECT_TRUE(b.appendByte(7));
    EXPECT_EQ(contentOf(b), (Bytes{7}));
    const uint8_t src[3] = {1, 2, 3};
    EXPECT_TRUE(b.appendBytes(src, 3));
    EXPECT_EQ(contentOf(b), (Bytes{7, 1, 2, 3}));
    EXPECT_EQ(b.data()[4], 0);
    EXPECT_TRUE(b.appendBytes(src, 0));
    EXPECT_TRUE(b.appendBytes(nullptr, 0));
    EXPECT_EQ(contentOf(b), (Bytes{7, 1, 2, 3}));
}

TEST(MemoryBufferGrowth, AppendBytesRefusesBadArgumentsWithoutGrowing) {
    auto b = bufferOf({1, 2, 3});
    const uint8_t src[2] = {7, 8};
    EXPECT_FALSE(b->appendBytes(src, -1));
    EXPECT_FALSE(b->appendBytes(nullptr, 2));
    EXPECT_FALSE(b->appendBytes(src, INT32_MAX));      // size() + count overflows
    EXPECT_FALSE(b->appendBytes(src, INT32_MAX - 3));  // leaves no room for the spare byte
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3}));
}

TEST(MemoryBufferGrowth, AppendReaderAppendsAllOfTheOther) {
    auto b = bufferOf({1, 2});
    auto other = bufferOf({3, 4, 5});
    MemoryBuffer empty;
    EXPECT_FALSE(b->appendReader(nullptr));
    EXPECT_TRUE(b->appendReader(&empty));
    EXPECT_TRUE(b->appendReader(other.get()));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_TRUE(b->appendReader(b.get()));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
}

TEST(MemoryBufferGrowth, AppendReaderRefusesAnOverflowingTotal) {
    auto b = bufferOf({1, 2, 3});
    uint8_t bytes[4] = {0};
    MemoryBlockReader huge(bytes, 4);
    huge.setSize(INT32_MAX - 1);  // only its size is asked before the refusal
    EXPECT_FALSE(b->appendReader(&huge));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3}));
    huge.setSize(4);
}

// Growing frees the old block, so bytes taken from the buffer itself must
// survive the move.
TEST(MemoryBufferGrowth, BytesFromTheBufferItselfSurviveGrowth) {
    auto b = bufferOf({1, 2, 3});
    EXPECT_TRUE(b->appendBytes(b->data(), b->size()));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3, 1, 2, 3}));
    EXPECT_TRUE(b->insertBytes(1, b->data() + 4, 2));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3, 2, 3, 1, 2, 3}));
    EXPECT_TRUE(b->insertBytes(10, b->data(), 2));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3, 2, 3, 1, 2, 3, 0, 0, 1, 2}));
}

// ---- whole-content replacement

TEST(MemoryBufferAssign, CopiesAnyReader) {
    auto b = bufferOf({9, 9});
    uint8_t bytes[3] = {4, 5, 6};
    MemoryBlockReader r(bytes, 3);
    EXPECT_TRUE(b->assign(&r));
    EXPECT_EQ(contentOf(*b), (Bytes{4, 5, 6}));
    EXPECT_NE(b->data(), bytes);
    EXPECT_EQ(b->data()[3], 0);
    MemoryBuffer empty;
    EXPECT_TRUE(b->assign(&empty));
    EXPECT_EQ(b->size(), 0);
    EXPECT_EQ(b->data(), nullptr);
}

TEST(MemoryBufferAssign, NullSourceChangesNothing) {
    auto b = bufferOf({1, 2});
    EXPECT_FALSE(b->assign(nullptr));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2}));
}

TEST(MemoryBufferAssign, SelfAssignKeepsTheContent) {
    auto b = bufferOf({1, 2, 3});
    EXPECT_TRUE(b->assign(b.get()));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3}));
    auto* asReader = static_cast<ByteReader*>(b->queryInterface(kByteReaderId));
    auto* asStorage = static_cast<ByteStorage*>(b->queryInterface(kByteStorageId));
    EXPECT_TRUE(asStorage->assign(asReader));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3}));
}

// ---- out of memory

class MemoryBufferExhaustionTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!hugeBlocksFail()) {
            GTEST_SKIP() << "a block of INT32_MAX bytes is available here";
        }
    }
    std::unique_ptr<MemoryBuffer> b = bufferOf({1, 2, 3});
};

TEST_F(MemoryBufferExhaustionTest, ResizeAndGrowthKeepTheContent) {
    const uint8_t src[1] = {7};
    EXPECT_FALSE(b->resize(INT32_MAX - 1));
    EXPECT_FALSE(b->appendBytes(src, INT32_MAX - 4));
    EXPECT_FALSE(b->insertBytes(INT32_MAX - 2, src, 1));
    EXPECT_EQ(contentOf(*b), (Bytes{1, 2, 3}));
}

TEST_F(MemoryBufferExhaustionTest, AllocateLeavesTheBufferEmpty) {
    EXPECT_FALSE(b->allocate(INT32_MAX - 1));
    EXPECT_EQ(b->size(), 0);
    EXPECT_EQ(b->data(), nullptr);
    EXPECT_TRUE(b->appendByte(5));
    EXPECT_EQ(contentOf(*b), (Bytes{5}));
    MemoryBuffer big(INT32_MAX - 1);
    EXPECT_EQ(big.size(), 0);
}
