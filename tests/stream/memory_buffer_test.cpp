#include "stream/memory_block_reader.h"
#include "tests/stream/stream_test_support.h"

// contentOf checks the spare zero byte and the null block of an empty buffer on
// every look, so each case below watches those invariants too.

namespace {

const uint8_t s78[2] = {7, 8};
const MemoryBlockReader r78(s78, 2);
const MemoryBuffer none;
const Bytes abc{1, 2, 3};
uint8_t four[4] = {4, 5, 6, 7};

}  // namespace

TEST(MemoryBuffer, NonPositiveOrUnholdableSizesGiveAnEmptyBuffer) {
    for (int32_t n : {0, -5, INT32_MIN, INT32_MAX}) {
        MemoryBuffer b(n);
        EXPECT_EQ(contentOf(b), Bytes{}) << n;
        EXPECT_EQ(b.text(), nullptr) << n;
    }
    MemoryBuffer ten(10);
    EXPECT_EQ(contentOf(ten), Bytes(10, 0));
    EXPECT_EQ(ten.lastIndex(), 9);
}

// Every operation that changes the length or replaces the content: the result
// and the content after, from a fresh buffer each.
TEST(MemoryBuffer, LengthChangesAndReplacements) {
    using B = MemoryBuffer;
    struct Case {
        const char* name;
        bool (*op)(B&);
        bool ok;
        Bytes want;
        Bytes start = abc;
    };
    const Case cases[] = {
        {"resize grows", [](B& b) { return b.resize(5); }, true, {1, 2, 3, 0, 0}},
        {"resize shrinks", [](B& b) { return b.resize(2); }, true, {1, 2}},
        {"resize to 0", [](B& b) { return b.resize(0); }, true, {}},
        {"resize empty", [](B& b) { return b.resize(2); }, true, {0, 0}, {}},
        {"allocate", [](B& b) { return b.allocate(4); }, true, {0, 0, 0, 0}},
        {"allocate 0", [](B& b) { return b.allocate(0); }, true, {}},
        {"resizeFilled", [](B& b) { return b.resizeFilled(4, 9); }, true, {9, 9, 9, 9}},
        {"resizeFilled 0", [](B& b) { return b.resizeFilled(0, 9); }, true, {}},
        // INT32_MAX leaves no room for the spare byte.
        {"resize -1", [](B& b) { return b.resize(-1); }, false, abc},
        {"resize max", [](B& b) { return b.resize(INT32_MAX); }, false, abc},
        {"allocate -1", [](B& b) { return b.allocate(-1); }, false, abc},
        {"allocate max", [](B& b) { return b.allocate(INT32_MAX); }, false, abc},
        {"resizeFilled -1", [](B& b) { return b.resizeFilled(-1, 9); }, false, abc},
        {"resizeFilled max", [](B& b) { return b.resizeFilled(INT32_MAX, 9); }, false, abc},
        {"insert", [](B& b) { return b.insertBytes(1, s78, 2); }, true, {1, 7, 8, 2, 3}},
        {"insert first", [](B& b) { return b.insertBytes(0, s78, 2); }, true, {7, 8, 1, 2, 3}},
        {"before end", [](B& b) { return b.insertBytes(2, s78, 1); }, true, {1, 2, 7, 3}},
        {"at end", [](B& b) { return b.insertBytes(3, s78, 2); }, true, {1, 2, 3, 7, 8}},
        {"beyond", [](B& b) { return b.insertBytes(5, s78, 2); }, true, {1, 2, 3, 0, 0, 7, 8}},
        {"insert empty", [](B& b) { return b.insertBytes(2, s78, 2); }, true, {0, 0, 7, 8}, {}},
        {"insert 0 bytes", [](B& b) { return b.insertBytes(0, s78, 0); }, false, abc},
        {"insert -1 bytes", [](B& b) { return b.insertBytes(0, s78, -1); }, false, abc},
        {"insert at -1", [](B& b) { return b.insertBytes(-1, s78, 1); }, false, abc},
        {"insert null", [](B& b) { return b.insertBytes(1, nullptr, 2); }, false, abc},
        {"append", [](B& b) { return b.appendBytes(s78, 2); }, true, {1, 2, 3, 7, 8}},
        {"append byte", [](B& b) { return b.appendByte(7) && b.appendByte(8); }, true, {7, 8}, {}},
        {"append 0 bytes", [](B& b) { return b.appendBytes(s78, 0); }, true, abc},
        {"append 0 from null", [](B& b) { return b.appendBytes(nullptr, 0); }, true, abc},
        {"append -1 bytes", [](B& b) { return b.appendBytes(s78, -1); }, false, abc},
        {"append null", [](B& b) { return b.appendBytes(nullptr, 2); }, false, abc},
        // The sums below overflow 32 bits or leave no room for the spare byte:
        // refused, not wrapped.
        {"at max", [](B& b) { return b.insertBytes(INT32_MAX, s78, 2); }, false, abc},
        {"at max-1", [](B& b) { return b.insertBytes(INT32_MAX - 1, s78, 1); }, false, abc},
        {"max-1 bytes", [](B& b) { return b.insertBytes(1, s78, INT32_MAX - 1); }, false, abc},
        {"append max", [](B& b) { return b.appendBytes(s78, INT32_MAX); }, false, abc},
        {"append max-3", [](B& b) { return b.appendBytes(s78, INT32_MAX - 3); }, false, abc},
        {"append huge reader",
         [](B& b) {
             MemoryBlockReader huge(four, 4);
             huge.setSize(INT32_MAX - 1);  // only its size is asked before the refusal
             return b.appendReader(&huge);
         },
         false, abc},
        {"append reader", [](B& b) { return b.appendReader(&r78); }, true, {1, 2, 3, 7, 8}},
        {"insert reader", [](B& b) { return b.insertReader(1, &r78); }, true, {1, 7, 8, 2, 3}},
        {"append empty", [](B& b) { return b.appendReader(&none); }, true, abc},
        {"insert empty", [](B& b) { return b.insertReader(0, &none); }, false, abc},
        {"append no reader", [](B& b) { return b.appendReader(nullptr); }, false, abc},
        {"insert no reader", [](B& b) { return b.insertReader(0, nullptr); }, false, abc},
        {"insert reader at -1", [](B& b) { return b.insertReader(-1, &b); }, false, abc},
        {"assign", [](B& b) { return b.assign(&r78) && b.data() != s78; }, true, {7, 8}},
        {"assign empty", [](B& b) { return b.assign(&none); }, true, {}},
        {"assign null", [](B& b) { return b.assign(nullptr); }, false, abc},
        // Growth frees the old block, so bytes taken from the buffer itself must
        // survive the move, and assigning its own content must not zero it.
        {"append self", [](B& b) { return b.appendBytes(b.data(), 3); }, true, {1, 2, 3, 1, 2, 3}},
        {"insert self",
         [](B& b) { return b.insertBytes(1, b.data() + 1, 2); },
         true,
         {1, 2, 3, 2, 3}},
        {"self beyond",
         [](B& b) { return b.insertBytes(4, b.data(), 2); },
         true,
         {1, 2, 3, 0, 1, 2}},
        {"append own", [](B& b) { return b.appendReader(&b); }, true, {1, 2, 3, 1, 2, 3}},
        {"insert own", [](B& b) { return b.insertReader(1, &b); }, true, {1, 1, 2, 3, 2, 3}},
        {"assign itself", [](B& b) { return b.assign(&b); }, true, abc},
        {"append reader over own bytes",
         [](B& b) {
             MemoryBlockReader own(b.data(), b.size());
             return b.appendReader(&own);
         },
         true,
         {1, 2, 3, 1, 2, 3}},
        {"assign reader over own bytes",
         [](B& b) {
             MemoryBlockReader own(b.data() + 1, 2);
             return b.assign(&own);
         },
         true,
         {2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto b = bufferOf(c.start);
        EXPECT_EQ(c.op(*b), c.ok);
        EXPECT_EQ(contentOf(*b), c.want);
    }
}

TEST(MemoryBuffer, SameLengthAndRefusalsKeepTheBlock) {
    auto b = bufferOf(abc);
    const uint8_t* before = b->data();
    EXPECT_TRUE(b->resize(3));
    EXPECT_FALSE(b->resize(-1));
    EXPECT_FALSE(b->appendBytes(s78, INT32_MAX));
    EXPECT_TRUE(b->allocate(3));
    EXPECT_EQ(b->data(), before);
    EXPECT_EQ(contentOf(*b), Bytes(3, 0));
}

TEST(MemoryBuffer, UnfilledAllocationGivesTheLengthWithAZeroSpareByte) {
    MemoryBuffer b;
    EXPECT_FALSE(b.allocateUnfilled(-1));
    EXPECT_FALSE(b.allocateUnfilled(INT32_MAX));
    ASSERT_TRUE(b.allocateUnfilled(5));
    ASSERT_EQ(b.size(), 5);
    EXPECT_EQ(b.data()[5], 0);
    EXPECT_EQ(b.writeAt(0, s78, 2), 2);
    EXPECT_TRUE(b.fill(2, 9, 3));
    EXPECT_EQ(contentOf(b), (Bytes{7, 8, 9, 9, 9}));
    EXPECT_TRUE(b.allocateUnfilled(0));
    EXPECT_EQ(b.size(), 0);
    EXPECT_EQ(b.data(), nullptr);
}

// A renewed block would come from a new address (the sanitizers hold freed
// blocks back) and lose the bytes, which the caller may be about to reuse.
TEST(MemoryBuffer, UnfilledAllocationAtTheCurrentLengthKeepsTheBlockAndItsBytes) {
    auto b = bufferOf(abc);
    const uint8_t* before = b->data();
    ASSERT_TRUE(b->allocateUnfilled(3));
    EXPECT_EQ(b->data(), before);
    EXPECT_EQ(contentOf(*b), abc);
}

TEST(MemoryBuffer, TextIsTheContentUpToItsFirstZero) {
    auto b = bufferOf({0x41, 0x42, 0x43});
    EXPECT_EQ(b->text(), reinterpret_cast<const char*>(b->data()));
    EXPECT_STREQ(b->text(), "ABC");
    EXPECT_TRUE(b->fill(1, 0, INT32_MAX));  // cut before the spare byte
    EXPECT_STREQ(b->text(), "A");
    EXPECT_EQ(contentOf(*b), (Bytes{0x41, 0, 0}));
}

TEST(MemoryBuffer, ExhaustedMemory) {
    if (!hugeBlocksFail())
        GTEST_SKIP() << "a block of INT32_MAX bytes is available here";
    auto b = bufferOf(abc);
    // Growth fails with the content kept...
    EXPECT_FALSE(b->resize(INT32_MAX - 1));
    EXPECT_FALSE(b->appendBytes(s78, INT32_MAX - 4));
    EXPECT_FALSE(b->insertBytes(INT32_MAX - 2, s78, 1));
    // ...and so does taking a source that cannot be copied...
    uint8_t bytes[2] = {7, 8};
    MemoryBlockReader unreadable(bytes, 2);
    unreadable.setSize(INT32_MAX - 1);
    EXPECT_FALSE(b->assign(&unreadable));
    unreadable.setSize(2);
    EXPECT_EQ(contentOf(*b), abc);
    // ...allocation, which discards first, leaves the buffer empty but usable.
    EXPECT_FALSE(b->allocate(INT32_MAX - 1));
    EXPECT_EQ(contentOf(*b), Bytes{});
    EXPECT_TRUE(b->appendByte(5));
    EXPECT_EQ(contentOf(*b), (Bytes{5}));
    EXPECT_EQ(MemoryBuffer(INT32_MAX - 1).size(), 0);
}
