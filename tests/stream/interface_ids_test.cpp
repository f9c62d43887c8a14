// What queryInterface hands out must be the exact part for the id, usable as
// that interface, and null for every id the class does not answer.
#include <gtest/gtest.h>

#include <cstdint>

#include "stream/file_output_stream.h"
#include "stream/memory_block_reader.h"
#include "stream/memory_buffer.h"
#include "stream/object_base.h"
#include "tests/stream/stream_test_support.h"

namespace {

struct QueryCase {
    int32_t id;
    void* want;
};

const int32_t kUnanswered[] = {-1, 0x11, 0x13, 0x23, 0x29, kImageReaderId, kImageWriterId,
                               kDibAccessId, kPixelAccessId};

}  // namespace

TEST(InterfaceIds, MemoryBuffer) {
    MemoryBuffer b(2);
    void* first = static_cast<ByteBuffer*>(&b);
    const QueryCase cases[] = {
        {kObjectId, first},
        {kByteReaderId, static_cast<ByteReader*>(&b)},
        {kByteReadWriterId, static_cast<ByteReadWriter*>(&b)},
        {kByteBufferId, first},
        {kByteWriterId, static_cast<ByteWriter*>(&b)},
        {kByteStorageId, static_cast<ByteStorage*>(&b)},
        {kOutputStreamId, nullptr},
    };
    for (const QueryCase& c : cases) {
        EXPECT_EQ(b.queryInterface(c.id), c.want) << std::hex << c.id;
    }
    for (int32_t id : kUnanswered) {
        EXPECT_EQ(b.queryInterface(id), nullptr) << std::hex << id;
    }
    EXPECT_EQ(b.queryInterface(kByteReaderId), first);
    EXPECT_EQ(b.typeId(), 0x8021);
    EXPECT_EQ(b.version(), 0u);
    EXPECT_FALSE(b.attributeFlag());
    EXPECT_EQ(b.attributeByte() | b.attributeWord(), 0);

    auto* w = static_cast<ByteWriter*>(b.queryInterface(kByteWriterId));
    auto* s = static_cast<ByteStorage*>(b.queryInterface(kByteStorageId));
    EXPECT_TRUE(w->setByte(0, 5));
    EXPECT_TRUE(s->resize(3));
    EXPECT_EQ(contentOf(b), (Bytes{5, 0, 0}));
    EXPECT_EQ(w->size(), 3);
}

TEST(InterfaceIds, MemoryBlockReader) {
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
    };
    for (const QueryCase& c : cases) {
        EXPECT_EQ(r.queryInterface(c.id), c.want) << std::hex << c.id;
    }
    for (int32_t id : kUnanswered) {
        EXPECT_EQ(r.queryInterface(id), nullptr) << std::hex << id;
    }
    EXPECT_EQ(r.typeId(), 0x8020);
    EXPECT_EQ(r.version(), 0u);
    EXPECT_FALSE(r.attributeFlag());
    EXPECT_EQ(r.attributeByte() | r.attributeWord(), 0);

    auto* w = static_cast<ByteWriter*>(r.queryInterface(kByteWriterId));
    EXPECT_TRUE(w->setByte(1, 9));
    EXPECT_EQ(w->size(), 2);
    EXPECT_EQ(bytes[1], 9);
}

TEST(InterfaceIds, FileOutputStream) {
    FileOutputStream out("stream-ids-missing-dir/none.bin");
    const QueryCase cases[] = {
        {kObjectId, static_cast<ObjectBase*>(&out)},
        {kOutputStreamId, static_cast<OutputStream*>(&out)},
        {kByteReaderId, nullptr},
        {kByteWriterId, nullptr},
        {kByteStorageId, nullptr},
        {kByteReadWriterId, nullptr},
        {kByteBufferId, nullptr},
    };
    for (const QueryCase& c : cases) {
        EXPECT_EQ(out.queryInterface(c.id), c.want) << std::hex << c.id;
    }
    for (int32_t id : kUnanswered) {
        EXPECT_EQ(out.queryInterface(id), nullptr) << std::hex << id;
    }
    EXPECT_NE(out.queryInterface(kOutputStreamId), out.queryInterface(kObjectId));
    EXPECT_EQ(out.typeId(), 0x8011);
    EXPECT_EQ(out.version(), 0x10000u);
    EXPECT_FALSE(out.attributeFlag());
    EXPECT_EQ(out.attributeByte() | out.attributeWord(), 0);
    EXPECT_EQ(out.text(), nullptr);
}

// Holders delete through whichever interface they keep; the whole object, with
// every block it owns, must go (the leak checker watches the native run).
TEST(InterfaceIds, DeletingThroughAnyInterfaceReleasesEverything) {
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

    ByteStorage* s = new MemoryBuffer(16);
    EXPECT_EQ(s->size(), 16);
    delete s;
    ByteWriter* w = new MemoryBuffer(16);
    EXPECT_EQ(w->size(), 16);
    delete w;
}
