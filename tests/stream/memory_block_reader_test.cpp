#include <cstring>

#include "stream/block.h"
#include "stream/memory_block_reader.h"
#include "tests/stream/stream_test_support.h"

static Bytes readerContent(const MemoryBlockReader& r) {
    return r.block() == nullptr ? Bytes{} : Bytes(r.block(), r.block() + r.size());
}

TEST(MemoryBlockReader, WithoutBytesOrLengthItIsEmpty) {
    uint8_t bytes[3] = {1, 2, 3};
    uint8_t* noBytes = nullptr;
    MemoryBlockReader readers[] = {{nullptr, 10},
                                   {noBytes, 10},
                                   {bytes, 0},
                                   {bytes, -3},
                                   {static_cast<const uint8_t*>(bytes), 0}};
    for (MemoryBlockReader& r : readers) {
        EXPECT_EQ(r.size(), 0);
        EXPECT_EQ(r.block(), nullptr);
        EXPECT_EQ(r.text(), nullptr);
    }
}

// The caller's bytes are read and written in place and never released: the
// fixture releases them itself, so a reader that did would release them twice.
class BorrowingReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(caller, nullptr);
        std::memcpy(caller, untouched.data(), 6);
        reader = std::make_unique<MemoryBlockReader>(caller, 6);
    }
    void TearDown() override { EXPECT_TRUE(freeBlock(caller)); }
    Bytes callerBytes() const { return Bytes(caller, caller + 6); }

    const Bytes untouched{1, 2, 3, 4, 5, 6};
    uint8_t* caller = allocBlock(6);
    std::unique_ptr<MemoryBlockReader> reader;
};

TEST_F(BorrowingReaderTest, AllocateZeroesInPlaceOrSwitchesToAnOwnedBlock) {
    EXPECT_FALSE(reader->allocate(-1));
    EXPECT_TRUE(reader->allocate(6));  // the same length zeroes the caller's bytes
    EXPECT_EQ(reader->block(), caller);
    EXPECT_EQ(callerBytes(), Bytes(6, 0));
    std::memcpy(caller, untouched.data(), 6);
    EXPECT_TRUE(reader->allocate(4));
    EXPECT_NE(reader->block(), caller);
    EXPECT_EQ(readerContent(*reader), Bytes(4, 0));
    EXPECT_TRUE(reader->setByte(0, 0x5A));
    // Replacing and dropping the owned block must release it exactly once.
    EXPECT_TRUE(reader->allocate(8));
    EXPECT_EQ(readerContent(*reader), Bytes(8, 0));
    EXPECT_TRUE(reader->allocate(0));
    EXPECT_EQ(readerContent(*reader), Bytes{});
    EXPECT_TRUE(reader->allocate(3));
    EXPECT_EQ(callerBytes(), untouched);
}

TEST_F(BorrowingReaderTest, CopiesAreFreshAndWritesReachTheCallersBytes) {
    uint8_t* p = reader->copyOut();
    EXPECT_NE(p, caller);
    freeBlock(p);
    EXPECT_EQ(std::memcmp(reader->text(), "\1\2\3\4\5\6", 7), 0);
    // The heap may hand back the released address: freshness shows in the content.
    const uint8_t nine[1] = {9};
    EXPECT_EQ(reader->writeAt(0, nine, 1), 1);
    const char* second = reader->text();
    EXPECT_EQ(reader->textCopy(), reinterpret_cast<const uint8_t*>(second));
    EXPECT_EQ(std::memcmp(second, "\11\2\3\4\5\6", 7), 0);
    reader->setByte(2, 0);
    EXPECT_STREQ(reader->text(), "\11\2");
    // No room for the terminator; only the length is looked at.
    reader->setSize(INT32_MAX);
    EXPECT_EQ(reader->text(), nullptr);
    EXPECT_EQ(reader->textCopy(), nullptr);
    reader->setSize(6);
    reader.reset();
    EXPECT_EQ(callerBytes(), (Bytes{9, 2, 0, 4, 5, 6}));
}

TEST_F(BorrowingReaderTest, ExhaustedMemoryLeavesNoCopyAndNoBlock) {
    if (!hugeBlocksFail())
        GTEST_SKIP() << "a block of INT32_MAX bytes is available here";
    ASSERT_NE(reader->text(), nullptr);
    reader->setSize(INT32_MAX - 1);
    EXPECT_EQ(reader->copyOut(), nullptr);
    EXPECT_EQ(reader->text(), nullptr);
    EXPECT_EQ(reader->textCopy(), nullptr);
    reader->setSize(6);
    EXPECT_FALSE(reader->allocate(INT32_MAX));
    EXPECT_EQ(readerContent(*reader), Bytes{});
    EXPECT_EQ(callerBytes(), untouched);
}

TEST(ReadOnlyReader, RefusesEveryWriteUntilItOwnsABlock) {
    // Writable storage handed over as const, so a stray write would show.
    uint8_t bytes[4] = {1, 2, 3, 4};
    MemoryBlockReader reader(static_cast<const uint8_t*>(bytes), 4);
    const uint8_t src[2] = {9, 9};
    EXPECT_TRUE(reader.equalsBytes(bytes, 4));
    EXPECT_EQ(reader.writeAt(0, src, 2), 0);
    EXPECT_FALSE(reader.setByte(0, 9));
    EXPECT_FALSE(reader.fill(0, 9, 4));
    EXPECT_FALSE(reader.allocate(4));
    EXPECT_EQ(readerContent(reader), (Bytes{1, 2, 3, 4}));
    EXPECT_TRUE(reader.allocate(2));
    EXPECT_EQ(reader.writeAt(0, src, 1), 1);
    EXPECT_TRUE(reader.fill(1, 7, 1));
    EXPECT_EQ(readerContent(reader), (Bytes{9, 7}));
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{1, 2, 3, 4}));
}
