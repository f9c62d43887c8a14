#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "stream/block.h"
#include "stream/memory_block_reader.h"
#include "stream/memory_buffer.h"
#include "stream/object_base.h"
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
    const uint8_t* constBytes = bytes;
    uint8_t* noBytes = nullptr;
    std::vector<std::unique_ptr<MemoryBlockReader>> readers;
    readers.push_back(std::make_unique<MemoryBlockReader>(nullptr, 10));
    readers.push_back(std::make_unique<MemoryBlockReader>(noBytes, 10));
    readers.push_back(std::make_unique<MemoryBlockReader>(bytes, 0));
    readers.push_back(std::make_unique<MemoryBlockReader>(bytes, -3));
    readers.push_back(std::make_unique<MemoryBlockReader>(constBytes, 0));
    for (size_t i = 0; i < readers.size(); ++i) {
        MemoryBlockReader& r = *readers[i];
        EXPECT_EQ(r.size(), 0) << i;
        EXPECT_EQ(r.block(), nullptr) << i;
        EXPECT_EQ(r.copyOut(), nullptr) << i;
        EXPECT_EQ(r.text(), nullptr) << i;
        EXPECT_THROW(r.byteAt(0), std::out_of_range) << i;
        EXPECT_FALSE(r.setByte(0, 1)) << i;
        EXPECT_FALSE(r.fill(0, 1, 1)) << i;
        EXPECT_TRUE(r.equalsBytes(nullptr, 0)) << i;
    }
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

TEST_F(BorrowingReaderTest, ReadsTheCallersBytesWithoutCopying) {
    EXPECT_EQ(reader->block(), caller);
    EXPECT_EQ(reader->size(), 6);
    EXPECT_EQ(reader->byteAt(2), 3);
    uint8_t dst[8] = {0};
    EXPECT_EQ(reader->readAt(4, dst, 5), 2);
    EXPECT_EQ(dst[0], 5);
    EXPECT_EQ(dst[1], 6);
    EXPECT_EQ(dst[2], 0);
    EXPECT_EQ(reader->readAt(1, dst, INT32_MAX), 5);
    EXPECT_EQ(reader->readAt(6, dst, 1), 0);
    EXPECT_EQ(reader->readAt(-1, dst, 1), 0);
    EXPECT_EQ(reader->readAt(0, nullptr, 1), 0);
    EXPECT_EQ(reader->readAt(0, dst, 0), 0);
}

TEST_F(BorrowingReaderTest, ByteAtThrowsOutsideTheBlock) {
    for (int32_t i : {-1, 6, INT32_MAX}) {
        try {
            reader->byteAt(i);
            ADD_FAILURE() << "no exception for " << i;
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ(e.what(), "無効なインデックス");
        }
    }
}

TEST_F(BorrowingReaderTest, WritesGoIntoTheCallersBytes) {
    const uint8_t src[6] = {9, 8, 7, 6, 5, 4};
    EXPECT_EQ(reader->writeAt(0, src, 2), 2);
    EXPECT_EQ(reader->writeAt(4, src, INT32_MAX), 2);
    EXPECT_TRUE(reader->setByte(2, 0x33));
    EXPECT_TRUE(reader->fill(3, 0x44, 1));
    EXPECT_EQ(callerBytes(), (Bytes{9, 8, 0x33, 0x44, 9, 8}));
    EXPECT_EQ(reader->size(), 6);
}

TEST_F(BorrowingReaderTest, BadWritesChangeNothing) {
    const uint8_t src[2] = {9, 9};
    EXPECT_EQ(reader->writeAt(6, src, 1), 0);
    EXPECT_EQ(reader->writeAt(-1, src, 1), 0);
    EXPECT_EQ(reader->writeAt(0, nullptr, 1), 0);
    EXPECT_EQ(reader->writeAt(0, src, 0), 0);
    EXPECT_FALSE(reader->setByte(6, 9));
    EXPECT_FALSE(reader->setByte(-1, 9));
    EXPECT_FALSE(reader->fill(6, 9, 1));
    EXPECT_FALSE(reader->fill(0, 9, 0));
    EXPECT_FALSE(reader->fill(-1, 9, 1));
    EXPECT_EQ(callerBytes(), (Bytes{1, 2, 3, 4, 5, 6}));
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
    const char* second = reader->text();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(reader->textCopy(), reinterpret_cast<const uint8_t*>(second));
    EXPECT_EQ(std::memcmp(second, "\1\2\3\4\5\6", 7), 0);

    reader->setByte(2, 0);
    EXPECT_STREQ(reader->text(), "\1\2");
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

// ---- identity

TEST(MemoryBlockReaderIdentity, ObjectQueries) {
    uint8_t bytes[1] = {0};
    MemoryBlockReader r(bytes, 1);
    EXPECT_EQ(r.typeId(), 0x8020);
    EXPECT_EQ(r.version(), 0u);
    EXPECT_FALSE(r.attributeFlag());
    EXPECT_EQ(r.attributeByte(), 0);
    EXPECT_EQ(r.attributeWord(), 0);
}

TEST(MemoryBlockReaderIdentity, DeletingThroughAnyInterfaceReleasesItsBlocks) {
    uint8_t bytes[3] = {1, 2, 3};
    auto* a = new MemoryBlockReader(bytes, 3);
    a->allocate(5);
    a->text();
    delete static_cast<ObjectBase*>(a);
    auto* b = new MemoryBlockReader(bytes, 3);
    b->allocate(5);
    b->text();
    delete static_cast<ByteWriter*>(b);
    EXPECT_EQ(Bytes(bytes, bytes + 3), (Bytes{1, 2, 3}));
}

struct QueryCase {
    int32_t id;
    void* want;
};

TEST(InterfaceIds, MemoryBlockReaderAnswersItsParts) {
    uint8_t bytes[2] = {1, 2};
    MemoryBlockReader r(bytes, 2);
    const QueryCase cases[] = {
        {kObjectId, static_cast<ObjectBase*>(&r)},
        {kByteReaderId, static_cast<ByteReader*>(&r)},
        {kByteWriterId, static_cast<ByteWriter*>(&r)},
        {kByteReadWriterId, static_cast<ByteReader*>(&r)},
        {kByteStorageId, nullptr},
        {kByteBufferId, nullptr},
        {kOutputStreamId, nullptr},
        {kImageReaderId, nullptr},
        {kPixelAccessId, nullptr},
        {-1, nullptr},
        {0x29, nullptr},
    };
    for (const QueryCase& c : cases) {
        EXPECT_EQ(r.queryInterface(c.id), c.want) << std::hex << c.id;
    }
    // The writer part must be usable as one, not merely non-null.
    auto* w = static_cast<ByteWriter*>(r.queryInterface(kByteWriterId));
    EXPECT_TRUE(w->setByte(1, 9));
    EXPECT_EQ(w->size(), 2);
    EXPECT_EQ(bytes[1], 9);
}

TEST(InterfaceIds, MemoryBufferAnswersItsParts) {
    MemoryBuffer b(2);
    void* first = static_cast<ByteBuffer*>(&b);
    const QueryCase cases[] = {
        {kObjectId, first},
        {kByteReaderId, first},
        {kByteReadWriterId, first},
        {kByteBufferId, first},
        {kByteWriterId, static_cast<ByteWriter*>(&b)},
        {kByteStorageId, static_cast<ByteStorage*>(&b)},
        {kOutputStreamId, nullptr},
        {kImageReaderId, nullptr},
        {-1, nullptr},
        {0x29, nullptr},
    };
    for (const QueryCase& c : cases) {
        EXPECT_EQ(b.queryInterface(c.id), c.want) << std::hex << c.id;
    }
    EXPECT_EQ(b.typeId(), 0x8021);
    EXPECT_EQ(b.version(), 0u);
    EXPECT_FALSE(b.attributeFlag());
    EXPECT_EQ(b.attributeByte(), 0);
    EXPECT_EQ(b.attributeWord(), 0);

    auto* w = static_cast<ByteWriter*>(b.queryInterface(kByteWriterId));
    auto* s = static_cast<ByteStorage*>(b.queryInterface(kByteStorageId));
    EXPECT_TRUE(w->setByte(0, 5));
    EXPECT_TRUE(s->resize(3));
    EXPECT_EQ(contentOf(b), (Bytes{5, 0, 0}));
    EXPECT_EQ(w->size(), 3);
}

TEST(InterfaceIds, BufferDeletedThroughItsStoragePartIsReleased) {
    ByteStorage* s = new MemoryBuffer(16);
    EXPECT_EQ(s->size(), 16);
    delete s;
}
