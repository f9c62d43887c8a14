#include "stream/memory_buffer.h"

#include <cstdint>

#include "stream/block.h"
#include "stream/internal/block_range.h"
#include "stream/object_base.h"

namespace {

// The block carries one spare byte, so the longest content is INT32_MAX - 1.
constexpr int64_t kMaxLength = INT32_MAX - 1;

bool fitsLength(int64_t n) {
    return n >= 0 && n <= kMaxLength;
}

// The grow-and-insert steps free the old block before reading src, so bytes
// taken from the buffer itself are copied aside first.
struct SourceCopy {
    const uint8_t* bytes = nullptr;
    OwnedBlock owned;
};

bool takeSource(SourceCopy& out, const uint8_t* src, int32_t count, const uint8_t* block,
                int32_t length) {
    const uintptr_t s = reinterpret_cast<uintptr_t>(src);
    const uintptr_t b = reinterpret_cast<uintptr_t>(block);
    if (block == nullptr || s < b || s > b + static_cast<uintptr_t>(length)) {
        out.bytes = src;
        return true;
    }
    out.owned.reset(allocBlock(count));
    if (out.owned == nullptr) {
        return false;
    }
    copyBytes(out.owned.get(), src, count);
    out.bytes = out.owned.get();
    return true;
}

}  // namespace

MemoryBuffer::MemoryBuffer(int32_t n) {
    if (n >= 1) {
        allocate(n);
    }
}

MemoryBuffer::~MemoryBuffer() {
    if (block() != nullptr) {
        freeBlock(block());
    }
}

// ---- own storage operations

bool MemoryBuffer::allocate(int32_t n) {
    if (!fitsLength(n)) {
        return false;
    }
    if (n == size()) {
        if (n > 0) {
            fillBytes(block(), n, 0);
        }
        return true;
    }
    return renewBlock(n, true);
}

bool MemoryBuffer::allocateUnfilled(int32_t n) {
    if (!fitsLength(n)) {
        return false;
    }
    return n == size() || renewBlock(n, false);
}

bool MemoryBuffer::renewBlock(int32_t n, bool zeroed) {
    if (block() != nullptr) {
        freeBlock(block());
        setBlock(nullptr);
    }
    setSize(0);
    if (n == 0) {
        return true;
    }
    uint8_t* p = zeroed ? allocBlock(n + 1) : allocBlockUnfilled(n + 1);
    if (p == nullptr) {
        return false;
    }
    p[n] = 0;
    setBlock(p);
    setSize(n);
    return true;
}

bool MemoryBuffer::setSize(int32_t n) {
    length_ = n;
    return true;
}

uint8_t* MemoryBuffer::block() const {
    return block_;
}

bool MemoryBuffer::setBlock(uint8_t* p) {
    block_ = p;
    return true;
}

int32_t MemoryBuffer::lastIndex() const {
    return size() - 1;
}

// ---- object queries

int32_t MemoryBuffer::typeId() const {
    return 0x8021;
}

uint32_t MemoryBuffer::version() const {
    return 0;
}

bool MemoryBuffer::attributeFlag() const {
    return false;
}

uint8_t MemoryBuffer::attributeByte() const {
    return 0;
}

uint16_t MemoryBuffer::attributeWord() const {
    return 0;
}

void* MemoryBuffer::queryInterface(int32_t id) {
    switch (id) {
    case kObjectId: return this;
    case kByteReaderId: return static_cast<ByteReader*>(this);
    case kByteReadWriterId: return static_cast<ByteReadWriter*>(this);
    case kByteBufferId: return static_cast<ByteBuffer*>(this);
    case kByteWriterId: return static_cast<ByteWriter*>(this);
    case kByteStorageId: return static_cast<ByteStorage*>(this);
    default: return nullptr;
    }
}

const char* MemoryBuffer::text() {
    return reinterpret_cast<const char*>(block());
}

// ---- ByteReader

int32_t MemoryBuffer::size() const {
    return length_;
}

uint8_t* MemoryBuffer::copyOut() const {
    return rangeCopyOut(block(), size());
}

int32_t MemoryBuffer::readAt(int32_t pos, uint8_t* dst, int32_t count) const {
    return rangeRead(block(), size(), pos, dst, count);
}

uint8_t MemoryBuffer::byteAt(int32_t index) const {
    return rangeByteAt(block(), size(), index);
}

bool MemoryBuffer::equals(const ByteReader* other) const {
    return rangeEquals(block(), size(), other);
}

bool MemoryBuffer::equalsBytes(const uint8_t* bytes, int32_t count) const {
    return rangeEqualsBytes(block(), size(), bytes, count);
}

// ---- ByteWriter

int32_t MemoryBuffer::writeAt(int32_t pos, const uint8_t* src, int32_t count) {
    return rangeWrite(block(), size(), pos, src, count);
}

bool MemoryBuffer::setByte(int32_t pos, uint8_t value) {
    return rangeSetByte(block(), size(), pos, value);
}

bool MemoryBuffer::fill(int32_t pos, uint8_t value, int32_t count) {
    return rangeFill(block(), size(), pos, value, count);
}

// ---- ByteStorage

uint8_t* MemoryBuffer::data() {
    return block();
}

bool MemoryBuffer::resize(int32_t n) {
    if (!fitsLength(n)) {
        return false;
    }
    if (n == 0) {
        return allocate(0);
    }
    if (n == size()) {
        return true;
    }
    if (size() < 1) {
        return allocate(n);
    }
    uint8_t* p = allocBlock(n + 1);
    if (p == nullptr) {
        return false;
    }
    copyBytes(p, block(), size() < n ? size() : n);
    freeBlock(block());
    setBlock(p);
    setSize(n);
    return true;
}

bool MemoryBuffer::resizeFilled(int32_t n, uint8_t value) {
    if (n < 0 || !allocate(n)) {
        return false;
    }
    if (n == 0) {
        return true;
    }
    return fillBytes(block(), size(), value);
}

bool MemoryBuffer::assign(const ByteReader* source) {
    if (source == nullptr) {
        return false;
    }
    // The copy comes first: the source may read this buffer's own bytes, which
    // allocate() zeroes or releases. A failed copy so leaves the content as it was.
    const int32_t n = source->size();
    const OwnedBlock p(n > 0 ? source->copyOut() : nullptr);
    if (n > 0 && p == nullptr) {
        return false;
    }
    const bool allocated = allocate(n);
    if (allocated && p != nullptr) {
        writeAt(0, p.get(), n);
    }
    return allocated;
}

// ---- ByteBuffer

bool MemoryBuffer::appendReader(const ByteReader* other) {
    const int32_t oldLength = size();
    if (other == nullptr) {
        return false;
    }
    const int32_t count = other->size();
    if (!fitsLength(static_cast<int64_t>(oldLength) + count)) {
        return false;
    }
    if (count < 1) {
        return true;
    }
    // Copied before growing, which releases the old block the source may read.
    const OwnedBlock p(other->copyOut());
    if (p == nullptr) {
        return false;
    }
    const bool grown = resize(oldLength + count);
    if (grown) {
        writeAt(oldLength, p.get(), count);
    }
    return grown;
}

bool MemoryBuffer::appendBytes(const uint8_t* src, int32_t count) {
    if (count < 0 || (count > 0 && src == nullptr)) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    const int32_t oldLength = size();
    if (!fitsLength(static_cast<int64_t>(oldLength) + count)) {
        return false;
    }
    SourceCopy source;
    if (!takeSource(source, src, count, block(), size())) {
        return false;
    }
    if (!resize(oldLength + count)) {
        return false;
    }
    writeAt(oldLength, source.bytes, count);
    return true;
}

bool MemoryBuffer::appendByte(uint8_t value) {
    if (!fitsLength(static_cast<int64_t>(size()) + 1) || !resize(size() + 1)) {
        return false;
    }
    return setByte(lastIndex(), value);
}

bool MemoryBuffer::insertReader(int32_t pos, const ByteReader* other) {
    if (pos < 0 || other == nullptr || other->size() < 1) {
        return false;
    }
    const int32_t n = other->size();
    const OwnedBlock p(other->copyOut());
    return p != nullptr && insertBytes(pos, p.get(), n);
}

bool MemoryBuffer::insertBytes(int32_t pos, const uint8_t* src, int32_t count) {
    if (pos < 0 || src == nullptr || count < 1) {
        return false;
    }
    const int32_t oldLength = size();
    const bool beyondEnd = pos > lastIndex();
    const int64_t newLength = static_cast<int64_t>(beyondEnd ? pos : oldLength) + count;
    if (!fitsLength(newLength)) {
        return false;
    }
    SourceCopy source;
    if (!takeSource(source, src, count, block(), size())) {
        return false;
    }
    if (!resize(static_cast<int32_t>(newLength))) {
        return false;
    }
    if (!beyondEnd) {
        copyBytes(block() + pos + count, block() + pos, oldLength - pos);
    }
    writeAt(pos, source.bytes, count);
    return true;
}
