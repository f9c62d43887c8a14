// The ByteReader and ByteWriter contracts, run against both implementations.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>

#include "stream/block.h"
#include "stream/memory_block_reader.h"
#include "stream/memory_buffer.h"
#include "tests/stream/stream_test_support.h"

namespace {

std::unique_ptr<ByteReadWriter> make(MemoryBuffer*, Bytes& bytes) {
    return bufferOf(bytes);
}
std::unique_ptr<ByteReadWriter> make(MemoryBlockReader*, Bytes& bytes) {
    return std::make_unique<MemoryBlockReader>(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// The other class over the same bytes, for equality across the two.
std::unique_ptr<ByteReadWriter> makeOther(MemoryBuffer*, Bytes& bytes) {
    return make(static_cast<MemoryBlockReader*>(nullptr), bytes);
}
std::unique_ptr<ByteReadWriter> makeOther(MemoryBlockReader*, Bytes& bytes) {
    return make(static_cast<MemoryBuffer*>(nullptr), bytes);
}

}  // namespace

template <typename T>
class ByteBlockContract : public ::testing::Test {
protected:
    std::unique_ptr<ByteReadWriter> over(Bytes& bytes) {
        return make(static_cast<T*>(nullptr), bytes);
    }
    std::unique_ptr<ByteReadWriter> otherOver(Bytes& bytes) {
        return makeOther(static_cast<T*>(nullptr), bytes);
    }
    // The content read back through byteAt, whose bounds are checked separately.
    Bytes content() const {
        Bytes out;
        for (int32_t i = 0; i < block->size(); ++i) {
            out.push_back(block->byteAt(i));
        }
        return out;
    }

    Bytes bytes{10, 11, 12, 13, 14};
    std::unique_ptr<ByteReadWriter> block = over(bytes);
    uint8_t io[8] = {0};
};

using Implementations = ::testing::Types<MemoryBuffer, MemoryBlockReader>;
TYPED_TEST_SUITE(ByteBlockContract, Implementations);

TYPED_TEST(ByteBlockContract, EmptyBlock) {
    Bytes none;
    auto e = this->over(none);
    EXPECT_EQ(e->size(), 0);
    EXPECT_EQ(e->copyOut(), nullptr);
    EXPECT_EQ(e->readAt(0, this->io, 1), 0);
    EXPECT_THROW(e->byteAt(0), std::out_of_range);
    EXPECT_FALSE(e->setByte(0, 1));
    EXPECT_FALSE(e->fill(0, 1, 1));
    EXPECT_EQ(e->writeAt(0, this->io, 1), 0);
    EXPECT_TRUE(e->equalsBytes(nullptr, 0));
    EXPECT_FALSE(e->equalsBytes(this->io, 1));
}

TYPED_TEST(ByteBlockContract, ReadsAreCutAtTheEnd) {
    EXPECT_EQ(this->block->readAt(3, this->io, 10), 2);
    EXPECT_EQ(Bytes(this->io, this->io + 3), (Bytes{13, 14, 0}));
    // pos + count does not fit 32 bits.
    EXPECT_EQ(this->block->readAt(1, this->io, INT32_MAX), 4);
    EXPECT_EQ(Bytes(this->io, this->io + 5), (Bytes{11, 12, 13, 14, 0}));
}

TYPED_TEST(ByteBlockContract, BadReadsCopyNothing) {
    auto& b = this->block;
    EXPECT_EQ(b->readAt(5, this->io, 1), 0);
    EXPECT_EQ(b->readAt(-1, this->io, 1), 0);
    EXPECT_EQ(b->readAt(0, nullptr, 1), 0);
    EXPECT_EQ(b->readAt(0, this->io, 0), 0);
    EXPECT_EQ(b->readAt(0, this->io, -3), 0);
    EXPECT_EQ(Bytes(this->io, this->io + 8), Bytes(8, 0));
}

TYPED_TEST(ByteBlockContract, ByteAtThrowsOutsideTheBlock) {
    EXPECT_EQ(this->block->byteAt(0), 10);
    EXPECT_EQ(this->block->byteAt(4), 14);
    for (int32_t i : {-1, 5, INT32_MIN, INT32_MAX}) {
        try {
            this->block->byteAt(i);
            ADD_FAILURE() << "no exception for " << i;
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ(e.what(), "無効なインデックス");
        }
    }
}

TYPED_TEST(ByteBlockContract, WritesAreCutAndNeverChangeTheLength) {
    const uint8_t src[5] = {1, 2, 3, 4, 5};
    auto& b = this->block;
    EXPECT_EQ(b->writeAt(3, src, 4), 2);
    EXPECT_EQ(this->content(), (Bytes{10, 11, 12, 1, 2}));
    EXPECT_EQ(b->writeAt(1, src, INT32_MAX), 4);
    EXPECT_EQ(this->content(), (Bytes{10, 1, 2, 3, 4}));
    EXPECT_TRUE(b->setByte(4, 99));
    EXPECT_TRUE(b->fill(2, 7, INT32_MAX));
    EXPECT_EQ(this->content(), (Bytes{10, 1, 7, 7, 7}));
    EXPECT_TRUE(b->fill(0, 8, 1));
    EXPECT_EQ(this->content(), (Bytes{8, 1, 7, 7, 7}));
}

TYPED_TEST(ByteBlockContract, BadWritesChangeNothing) {
    const uint8_t src[2] = {9, 9};
    auto& b = this->block;
    EXPECT_EQ(b->writeAt(5, src, 1), 0);
    EXPECT_EQ(b->writeAt(-1, src, 1), 0);
    EXPECT_EQ(b->writeAt(0, nullptr, 1), 0);
    EXPECT_EQ(b->writeAt(0, src, 0), 0);
    EXPECT_FALSE(b->setByte(5, 9));
    EXPECT_FALSE(b->setByte(-1, 9));
    EXPECT_FALSE(b->fill(5, 9, 1));
    EXPECT_FALSE(b->fill(-1, 9, 1));
    EXPECT_FALSE(b->fill(0, 9, 0));
    EXPECT_EQ(this->content(), (Bytes{10, 11, 12, 13, 14}));
}

TYPED_TEST(ByteBlockContract, CopyOutIsAnExactIndependentCopy) {
    uint8_t* p = this->block->copyOut();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Bytes(p, p + 5), (Bytes{10, 11, 12, 13, 14}));
    p[0] = 0;
    EXPECT_EQ(this->block->byteAt(0), 10);
    EXPECT_TRUE(freeBlock(p));
}

TYPED_TEST(ByteBlockContract, EqualityAcrossBothClasses) {
    Bytes same{10, 11, 12, 13, 14};
    Bytes lastDiffers{10, 11, 12, 13, 15};
    Bytes shorter{10, 11, 12, 13};
    auto& b = this->block;
    auto twin = this->otherOver(same);
    auto differs = this->otherOver(lastDiffers);
    auto tooShort = this->otherOver(shorter);
    EXPECT_TRUE(b->equals(b.get()));
    EXPECT_TRUE(b->equals(twin.get()));
    EXPECT_TRUE(twin->equals(b.get()));
    EXPECT_FALSE(b->equals(differs.get()));
    EXPECT_FALSE(differs->equals(b.get()));
    EXPECT_FALSE(b->equals(tooShort.get()));
    EXPECT_FALSE(b->equals(nullptr));
    Bytes none;
    auto e1 = this->over(none);
    auto e2 = this->otherOver(none);
    EXPECT_TRUE(e1->equals(e2.get()));
}

TYPED_TEST(ByteBlockContract, EqualsBytes) {
    const uint8_t same[5] = {10, 11, 12, 13, 14};
    const uint8_t lastDiffers[5] = {10, 11, 12, 13, 0};
    EXPECT_TRUE(this->block->equalsBytes(same, 5));
    EXPECT_FALSE(this->block->equalsBytes(lastDiffers, 5));
    EXPECT_FALSE(this->block->equalsBytes(same, 4));
    EXPECT_FALSE(this->block->equalsBytes(nullptr, 5));
}
