#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "stream/block.h"
#include "stream/memory_block_reader.h"
#include "tests/stream/stream_test_support.h"

namespace {

Bytes readerContent(const MemoryBlockReader& r) {
    if (r.block() == nullptr) {
        return {};
    }
    return Bytes(r.block(), r.block() + r.size());
}

}  // namespace

TEST(MemoryBlockReader, WithoutBytesOrLengthItIsEmpty) {
    uint8_t bytes[3] = {1, 2, 3};
    uint8_t* noBytes = nullptr;
    const MemoryBlockReader readers[] = {
        {nullptr, 10}, {noBytes, 10}, {bytes, 0}, {bytes, -3},
        {static_cast<const uint8_t*>(bytes), 0}};
    for (const MemoryBlockReader& r : readers) {
        EXPECT_EQ(r.size(), 0);
        EXPECT_EQ(r.block(), nullptr);
    }
    MemoryBlockReader r(bytes, 0);
    EXPECT_EQ(r.text(), nullptr);
}

// ---- borrowing: the caller's bytes are read and written in place, never released

class BorrowingReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        caller = allocBlock(6);
        ASSERT_NE(caller, nullptr);
        for (int i = 0; i < 6; ++i) {
            caller[i] = static_cast<uint8_t>(i + 1);
        }
        reader = std::make_unique<MemoryBlockReader>(caller, 6);
    }
    // A reader that released the caller's block makes this a double release.
    void TearDown() override { EXPECT_TRUE(freeBlock(caller)); }

    Bytes callerBytes() const { return Bytes(caller, caller + 6); }

    uint8_t* caller = nullptr;
    std::unique_ptr<MemoryBlockReader> reader;
};

TEST_F(BorrowingReaderTest, ReadsAndWritesTheCallersBytesInPlace) {
    EXPECT_EQ(reader->block(), caller);
    EXPECT_EQ(reader->byteAt(2), 3);
    const uint8_t src[6] = {9, 8, 7, 6, 5, 4};
    EXPECT_EQ(reader->writeAt(0, src, 2), 2);
    EXPECT_EQ(reader->writeAt(4, src, INT32_MAX), 2);
    EXPECT_TRUE(reader->setByte(2, 0x33));
    EXPECT_TRUE(reader->fill(3, 0x44, 1));
    EXPECT_EQ(callerBytes(), (Bytes{9, 8, 0x33, 0x44, 9, 8}));
    EXPECT_EQ(reader->size(), 6);
}

TEST_F(BorrowingReaderTest, DestructionLeavesTheCallersBytes) {
    reader.reset();
    EXPECT_EQ(callerBytes(), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(BorrowingReaderTest, AllocateOfTheSameLengthZeroesTheCallersBytes) {
    EXPECT_TRUE(reader->allocate(6));
    EXPECT_EQ(reader->block(), caller);
    EXPECT_EQ(callerBytes(), (Bytes{0, 0, 0, 0, 0, 0}));
}

TEST_F(BorrowingReaderTest, AllocateSwitchesToAnOwnedBlock) {
    EXPECT_TRUE(reader->allocate(4));
    EXPECT_NE(reader->block(), caller);
    EXPECT_EQ(reader->size(), 4);
    EXPECT_EQ(readerContent(*reader), (Bytes{0, 0, 0, 0}));
    EXPECT_TRUE(reader->setByte(0, 0x5A));
    EXPECT_EQ(callerBytes(), (Bytes{1, 2, 3, 4, 5, 6}));
    // Replacing and dropping the owned block must release it exactly once.
    EXPECT_TRUE(reader->allocate(8));
    EXPECT_EQ(readerContent(*reader), Bytes(8, 0));
    EXPECT_TRUE(reader->allocate(0));
    EXPECT_EQ(reader->size(), 0);
    EXPECT_EQ(reader->block(), nullptr);
    EXPECT_TRUE(reader->allocate(3));
    EXPECT_EQ(callerBytes(), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(BorrowingReaderTest, AllocateRefusesANegativeLength) {
    EXPECT_FALSE(reader->allocate(-1));
    EXPECT_EQ(reader->block(), caller);
    EXPECT_EQ(callerBytes(), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(BorrowingReaderTest, ExhaustedAllocateDropsTheBorrowedBlock) {
    if (!hugeBlocksFail()) {
        GTEST_SKIP() << "a block of INT32_MAX bytes is available here";
    }
    EXPECT_FALSE(reader->allocate(INT32_MAX));
    EXPECT_EQ(reader->size(), 0);
    EXPECT_EQ(reader->block(), nullptr);
    EXPECT_EQ(callerBytes(), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(BorrowingReaderTest, CopyOutAndTextAreFreshCopies) {
    uint8_t* p = reader->copyOut();
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p, caller);
    EXPECT_EQ(Bytes(p, p + 6), callerBytes());
    freeBlock(p);

    const char* first = reader->text();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::memcmp(first, "\1\2\3\4\5\6", 7), 0);
    // The first copy is released before the second is made, so the heap may
    // hand back the same address: freshness shows in the content.
    reader->setByte(0, 9);
    const char* second = reader->text();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(reader->textCopy(), reinterpret_cast<const uint8_t*>(second));
    EXPECT_EQ(std::memcmp(second, "\11\2\3\4\5\6", 7), 0);

    reader->setByte(2, 0);
    EXPECT_STREQ(reader->text(), "\11\2");
    // Emptying the reader drops the text copy with the next call.
    reader->allocate(0);
    EXPECT_EQ(reader->text(), nullptr);
    EXPECT_EQ(reader->textCopy(), nullptr);
}

TEST_F(BorrowingReaderTest, TextOfAnUnholdableLengthIsNull) {
    // Only the length is looked at before the refusal.
    reader->setSize(INT32_MAX);
    EXPECT_EQ(reader->text(), nullptr);
    reader->setSize(6);
}

TEST_F(BorrowingReaderTest, ExhaustedCopiesAreNull) {
    if (!hugeBlocksFail()) {
        GTEST_SKIP() << "a block of INT32_MAX bytes is available here";
    }
    ASSERT_NE(reader->text(), nullptr);
    reader->setSize(INT32_MAX - 1);
    EXPECT_EQ(reader->copyOut(), nullptr);
    EXPECT_EQ(reader->text(), nullptr);
    EXPECT_EQ(reader->textCopy(), nullptr);
    reader->setSize(6);
}

// ---- read-only bytes (resource memory)

class ReadOnlyReaderTest : public ::testing::Test {
protected:
    // Writable storage handed over as const, so a stray write would show.
    uint8_t bytes[4] = {1, 2, 3, 4};
    MemoryBlockReader reader{static_cast<const uint8_t*>(bytes), 4};
};

TEST_F(ReadOnlyReaderTest, ReadsLikeAnyBorrowedBlock) {
    EXPECT_EQ(reader.block(), bytes);
    EXPECT_EQ(reader.byteAt(3), 4);
    uint8_t* p = reader.copyOut();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{1, 2, 3, 4}));
    freeBlock(p);
}

TEST_F(ReadOnlyReaderTest, RefusesEveryWrite) {
    const uint8_t src[2] = {9, 9};
    EXPECT_EQ(reader.writeAt(0, src, 2), 0);
    EXPECT_FALSE(reader.setByte(0, 9));
    EXPECT_FALSE(reader.fill(0, 9, 4));
    EXPECT_FALSE(reader.allocate(4));
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(reader.size(), 4);
}

TEST_F(ReadOnlyReaderTest, WritesWorkOnceItOwnsABlock) {
    EXPECT_TRUE(reader.allocate(2));
    EXPECT_TRUE(reader.setByte(1, 9));
    EXPECT_TRUE(reader.allocate(2));  // zeroes its own block now
    EXPECT_TRUE(reader.setByte(0, 7));
    EXPECT_EQ(readerContent(reader), (Bytes{7, 0}));
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{1, 2, 3, 4}));
}
