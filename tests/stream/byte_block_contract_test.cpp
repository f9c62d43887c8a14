// The ByteReader and ByteWriter contracts, run against both implementations.
#include <stdexcept>

#include "stream/memory_block_reader.h"
#include "tests/stream/stream_test_support.h"

namespace {

std::unique_ptr<ByteReadWriter> over(MemoryBuffer*, Bytes& b) {
    return bufferOf(b);
}
std::unique_ptr<ByteReadWriter> over(MemoryBlockReader*, Bytes& b) {
    return std::make_unique<MemoryBlockReader>(b.data(), static_cast<int32_t>(b.size()));
}

// Through byteAt, whose bounds are checked on their own.
Bytes readBack(const ByteReader& r) {
    Bytes out;
    for (int32_t i = 0; i < r.size(); ++i)
        out.push_back(r.byteAt(i));
    return out;
}

}  // namespace

template <typename T>
class ByteBlockContract : public ::testing::Test {
protected:
    std::unique_ptr<ByteReadWriter> make(Bytes& bytes) {
        return over(static_cast<T*>(nullptr), bytes);
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

TYPED_TEST(ByteBlockContract, ReadsAndWritesStopAtTheEndAndRefuseBadArguments) {
    enum Op { kRead, kReadNull, kWrite, kWriteNull, kSet, kFill };
    // want: what a read delivers (its buffer has that size), else the content after.
    struct Case {
        Op op;
        int32_t pos, count, result;
        Bytes want;
    };
    const Bytes& same = this->start;
    const Case cases[] = {
        // INT32_MAX: pos + count does not fit 32 bits.
        {kRead, 3, 10, 2, {13, 14, 0}},
        {kRead, 1, INT32_MAX, 4, {11, 12, 13, 14, 0}},
        {kRead, 0, 5, 5, same},
        {kRead, 5, 1, 0, {0}},
        {kRead, -1, 1, 0, {0}},
        {kRead, 0, 0, 0, {0}},
        {kRead, 0, -3, 0, {0}},
        {kReadNull, 0, 1, 0, {}},
        {kWrite, 3, 4, 2, {10, 11, 12, 1, 2}},
        {kWrite, 1, INT32_MAX, 4, {10, 1, 2, 3, 4}},
        {kWrite, 5, 1, 0, same},
        {kWrite, -1, 1, 0, same},
        {kWrite, 0, 0, 0, same},
        {kWriteNull, 0, 1, 0, same},
        {kSet, 4, 1, 1, {10, 11, 12, 13, 7}},
        {kSet, 5, 1, 0, same},
        {kSet, -1, 1, 0, same},
        {kFill, 2, INT32_MAX, 1, {10, 11, 7, 7, 7}},
        {kFill, 0, 1, 1, {7, 11, 12, 13, 14}},
        {kFill, 5, 1, 0, same},
        {kFill, -1, 1, 0, same},
        {kFill, 0, 0, 0, same},
    };
    const uint8_t src[5] = {1, 2, 3, 4, 5};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "op " << c.op << " at " << c.pos << ", " << c.count);
        Bytes bytes = same, io(c.want.size(), 0);
        auto b = this->make(bytes);
        int32_t r = 0;
        switch (c.op) {
        case kRead: r = b->readAt(c.pos, io.data(), c.count); break;
        case kReadNull: r = b->readAt(c.pos, nullptr, c.count); break;
        case kWrite: r = b->writeAt(c.pos, src, c.count); break;
        case kWriteNull: r = b->writeAt(c.pos, nullptr, c.count); break;
        case kSet: r = b->setByte(c.pos, 7); break;
        case kFill: r = b->fill(c.pos, 7, c.count); break;
        }
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(c.op <= kReadNull ? io : readBack(*b), c.want);
    }
}

TYPED_TEST(ByteBlockContract, ByteAtThrowsOutsideTheBlock) {
    EXPECT_EQ(this->block->byteAt(0), 10);
    EXPECT_EQ(this->block->byteAt(4), 14);
    for (int32_t i : {-1, 5, INT32_MIN, INT32_MAX})
        EXPECT_THROW(this->block->byteAt(i), std::out_of_range) << i;
    try {
        this->block->byteAt(5);
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "無効なインデックス");
    }
}

TEST(ByteBlockEquality, WithinAndAcrossBothClasses) {
    Bytes same{1, 2, 3}, lastDiffers{1, 2, 4}, shorter{1, 2};
    auto buffer = bufferOf(same), bufferDiffers = bufferOf(lastDiffers);
    MemoryBlockReader reader(same.data(), 3), readerDiffers(lastDiffers.data(), 3);
    MemoryBlockReader readerShorter(shorter.data(), 2), emptyReader(nullptr, 0);
    const ByteReader* const equal[] = {buffer.get(), &reader};
    const ByteReader* const unequal[] = {bufferDiffers.get(), &readerDiffers, &readerShorter};
    for (const ByteReader* b : equal) {
        for (const ByteReader* other : equal)
            EXPECT_TRUE(b->equals(other));
        for (const ByteReader* other : unequal) {
            EXPECT_FALSE(b->equals(other));
            EXPECT_FALSE(other->equals(b));
        }
        EXPECT_FALSE(b->equals(nullptr));
        EXPECT_TRUE(b->equalsBytes(same.data(), 3));
        EXPECT_FALSE(b->equalsBytes(lastDiffers.data(), 3));
        EXPECT_FALSE(b->equalsBytes(same.data(), 2));
        EXPECT_FALSE(b->equalsBytes(nullptr, 3));
    }
    EXPECT_TRUE(MemoryBuffer().equals(&emptyReader));
    EXPECT_TRUE(emptyReader.equals(bufferOf({}).get()));
}

TEST(InterfaceIds, ByteBlocksAnswerExactlyTheirOwnParts) {
    MemoryBuffer b(2);
    expectParts(b, {{kObjectId, static_cast<ByteBuffer*>(&b)},
                    {kByteBufferId, static_cast<ByteBuffer*>(&b)},
                    {kByteReaderId, static_cast<ByteReader*>(&b)},
                    {kByteWriterId, static_cast<ByteWriter*>(&b)},
                    {kByteReadWriterId, static_cast<ByteReadWriter*>(&b)},
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
