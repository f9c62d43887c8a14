// The ByteReader and ByteWriter contracts, run against both implementations.
#include <algorithm>
#include <stdexcept>
#include <type_traits>

#include "stream/block.h"
#include "stream/memory_block_reader.h"
#include "tests/stream/stream_test_support.h"

namespace {

std::unique_ptr<ByteReadWriter> over(MemoryBuffer*, Bytes& bytes) {
    return bufferOf(bytes);
}
std::unique_ptr<ByteReadWriter> over(MemoryBlockReader*, Bytes& bytes) {
    return std::make_unique<MemoryBlockReader>(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// Through byteAt, whose bounds are checked on their own.
Bytes readBack(const ByteReader& r) {
    Bytes out;
    for (int32_t i = 0; i < r.size(); ++i) {
        out.push_back(r.byteAt(i));
    }
    return out;
}

}  // namespace

template <typename T>
class ByteBlockContract : public ::testing::Test {
protected:
    // The other class, for equality across the two.
    using Other = std::conditional_t<std::is_same_v<T, MemoryBuffer>, MemoryBlockReader, MemoryBuffer>;
    template <typename U = T>
    std::unique_ptr<ByteReadWriter> make(Bytes& bytes) {
        return over(static_cast<U*>(nullptr), bytes);
    }
    const Bytes start{10, 11, 12, 13, 14};
    Bytes bytes = start;
    std::unique_ptr<ByteReadWriter> block = make(bytes);
};

using Implementations = ::testing::Types<MemoryBuffer, MemoryBlockReader>;
TYPED_TEST_SUITE(ByteBlockContract, Implementations);

TYPED_TEST(ByteBlockContract, EmptyBlock) {
    Bytes none;
    auto e = this->make(none);
    uint8_t io[1] = {0};
    EXPECT_EQ(e->size(), 0);
    EXPECT_EQ(e->copyOut(), nullptr);
    EXPECT_EQ(e->readAt(0, io, 1), 0);
    EXPECT_THROW(e->byteAt(0), std::out_of_range);
    EXPECT_FALSE(e->setByte(0, 1));
    EXPECT_FALSE(e->fill(0, 1, 1));
    EXPECT_EQ(e->writeAt(0, io, 1), 0);
    EXPECT_TRUE(e->equalsBytes(nullptr, 0));
    EXPECT_FALSE(e->equalsBytes(io, 1));
}

TYPED_TEST(ByteBlockContract, ReadAtCopiesUpToTheEndOrNothing) {
    struct Case { int32_t pos, count; bool nullDst; int32_t n; };
    // INT32_MAX: pos + count does not fit 32 bits.
    const Case cases[] = {{3, 10, false, 2}, {1, INT32_MAX, false, 4}, {0, 5, false, 5},
                          {5, 1, false, 0},  {-1, 1, false, 0},        {0, 1, true, 0},
                          {0, 0, false, 0},  {0, -3, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "readAt(" << c.pos << ", " << c.count << ")");
        uint8_t io[8] = {0};
        EXPECT_EQ(this->block->readAt(c.pos, c.nullDst ? nullptr : io, c.count), c.n);
        Bytes want(8, 0);
        std::copy_n(this->start.begin() + (c.n > 0 ? c.pos : 0), c.n, want.begin());
        EXPECT_EQ(Bytes(io, io + 8), want);
    }
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

TYPED_TEST(ByteBlockContract, WritesAreCutAtTheEndAndNeverChangeTheLength) {
    enum Op { kWrite, kWriteNull, kSet, kFill };
    struct Case { Op op; int32_t pos, count, result; Bytes want; };
    const Bytes& same = this->start;
    const Case cases[] = {
        {kWrite, 3, 4, 2, {10, 11, 12, 1, 2}}, {kWrite, 1, INT32_MAX, 4, {10, 1, 2, 3, 4}},
        {kWrite, 5, 1, 0, same},  {kWrite, -1, 1, 0, same}, {kWrite, 0, 0, 0, same},
        {kWriteNull, 0, 1, 0, same},
        {kSet, 4, 1, 1, {10, 11, 12, 13, 7}}, {kSet, 5, 1, 0, same}, {kSet, -1, 1, 0, same},
        {kFill, 2, INT32_MAX, 1, {10, 11, 7, 7, 7}}, {kFill, 0, 1, 1, {7, 11, 12, 13, 14}},
        {kFill, 5, 1, 0, same},   {kFill, -1, 1, 0, same},  {kFill, 0, 0, 0, same},
    };
    const uint8_t src[5] = {1, 2, 3, 4, 5};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "op " << c.op << " at " << c.pos << ", " << c.count);
        Bytes bytes = same;
        auto b = this->make(bytes);
        EXPECT_EQ(c.op == kSet ? b->setByte(c.pos, 7)
                  : c.op == kFill ? b->fill(c.pos, 7, c.count)
                                  : b->writeAt(c.pos, c.op == kWrite ? src : nullptr, c.count),
                  c.result);
        EXPECT_EQ(readBack(*b), c.want);
    }
}

TYPED_TEST(ByteBlockContract, CopyOutIsAnExactIndependentCopy) {
    uint8_t* p = this->block->copyOut();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Bytes(p, p + 5), this->start);
    p[0] = 0;
    EXPECT_EQ(this->block->byteAt(0), 10);
    EXPECT_TRUE(freeBlock(p));
}

TYPED_TEST(ByteBlockContract, EqualityWithinAndAcrossBothClasses) {
    using Other = typename TestFixture::Other;
    Bytes same = this->start, lastDiffers{10, 11, 12, 13, 15}, shorter{10, 11, 12, 13}, none;
    auto& b = this->block;
    auto twin = this->template make<Other>(same);
    auto differs = this->template make<Other>(lastDiffers);
    EXPECT_TRUE(b->equals(b.get()));
    EXPECT_TRUE(b->equals(twin.get()));
    EXPECT_TRUE(twin->equals(b.get()));
    EXPECT_FALSE(b->equals(differs.get()));
    EXPECT_FALSE(differs->equals(b.get()));
    EXPECT_FALSE(b->equals(this->template make<Other>(shorter).get()));
    EXPECT_FALSE(b->equals(nullptr));
    EXPECT_TRUE(this->make(none)->equals(this->template make<Other>(none).get()));
    EXPECT_TRUE(b->equalsBytes(same.data(), 5));
    EXPECT_FALSE(b->equalsBytes(lastDiffers.data(), 5));
    EXPECT_FALSE(b->equalsBytes(same.data(), 4));
    EXPECT_FALSE(b->equalsBytes(nullptr, 5));
}

TEST(InterfaceIds, ByteBlocksAnswerExactlyTheirOwnParts) {
    MemoryBuffer b(2);
    expectParts(b, {{kObjectId, static_cast<ByteBuffer*>(&b)},
                    {kByteReaderId, static_cast<ByteReader*>(&b)},
                    {kByteReadWriterId, static_cast<ByteReadWriter*>(&b)},
                    {kByteBufferId, static_cast<ByteBuffer*>(&b)},
                    {kByteWriterId, static_cast<ByteWriter*>(&b)},
                    {kByteStorageId, static_cast<ByteStorage*>(&b)}});
    EXPECT_EQ(b.typeId(), 0x8021);
    uint8_t bytes[2] = {1, 2};
    MemoryBlockReader r(bytes, 2);
    expectParts(r, {{kObjectId, static_cast<ObjectBase*>(&r)},
                    {kByteReaderId, static_cast<ByteReader*>(&r)},
                    {kByteWriterId, static_cast<ByteWriter*>(&r)},
                    {kByteReadWriterId, static_cast<ByteReadWriter*>(&r)}});
    EXPECT_EQ(r.typeId(), 0x8020);
}

// Holders delete through whichever interface they keep; the whole object, with
// every block it owns, must go (the leak checker watches the native run).
TEST(InterfaceIds, DeletingThroughAnyInterfaceReleasesEverything) {
    uint8_t bytes[3] = {1, 2, 3};
    auto* r = new MemoryBlockReader(bytes, 3);
    r->allocate(5);
    r->text();
    delete static_cast<ByteWriter*>(r);
    EXPECT_EQ(Bytes(bytes, bytes + 3), (Bytes{1, 2, 3}));
    delete static_cast<ByteStorage*>(new MemoryBuffer(16));
}
