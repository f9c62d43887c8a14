#include "stream/memory_block_reader.h"

#include <cstdint>

#include "stream/block.h"
#include "stream/internal/block_range.h"

MemoryBlockReader::MemoryBlockReader(uint8_t* bytes, int32_t n) {
    if (bytes != nullptr && n >= 1) {
        setBlock(bytes);
        setSize(n);
    }
}

MemoryBlockReader::MemoryBlockReader(const uint8_t* bytes, int32_t n) {
    if (bytes != nullptr && n >= 1) {
        // Never written through while readOnly_ holds.
        setBlock(const_cast<uint8_t*>(bytes));
        setSize(n);
        readOnly_ = true;
    }
}

MemoryBlockReader::MemoryBlockReader(std::nullptr_t, int32_t /*n*/) {}

MemoryBlockReader::~MemoryBlockReader() {
    if (owns_ && block() != nullptr) {
        freeBlock(block());
    }
    if (textCopy() != nullptr) {
        freeBlock(textCopy());
    }
}

// ---- ObjectBase

int32_t MemoryBlockReader::typeId() const {
    return 0x8020;
}

uint32_t MemoryBlockReader::version() const {
    return 0;
}

bool MemoryBlockReader::attributeFlag() const {
    return false;
}

uint8_t MemoryBlockReader::attributeByte() const {
    return 0;
}

uint16_t MemoryBlockReader::attributeWord() const {
    return 0;
}

void* MemoryBlockReader::queryInterface(int32_t id) {
    switch (id) {
    case kObjectId: return static_cast<ObjectBase*>(this);
    case kByteReaderId: return static_cast<ByteReader*>(this);
    case kByteWriterId: return static_cast<ByteWriter*>(this);
    case kByteReadWriterId: return static_cast<ByteReadWriter*>(this);
    default: return nullptr;
    }
}

const char* MemoryBlockReader::text() {
    if (textCopy() != nullptr) {
        freeBlock(textCopy());
        setTextCopy(nullptr);
    }
    const int32_t n = size();
    if (n < 1 || n == INT32_MAX) {
        return nullptr;
    }
    uint8_t* t = allocBlock(n + 1);
    if (t == nullptr) {
        return nullptr;
    }
    copyBytes(t, block(), n);
    t[n] = 0;
    setTextCopy(t);
    return reinterpret_cast<const char*>(t);
}

// ---- own operations

bool MemoryBlockReader::allocate(int32_t n) {
    if (n < 0) {
        return false;
    }
    if (n == size()) {
        if (readOnly_) {
            return false;
        }
        if (n > 0) {
            fillBytes(block(), n, 0);
        }
        return true;
    }
    if (block() != nullptr && owns_) {
        freeBlock(block());
    }
    // A borrowed block is only dropped, never released.
    setBlock(nullptr);
    owns_ = false;
    readOnly_ = false;
    if (n == 0) {
        setSize(0);
        return true;
    }
    uint8_t* p = allocBlock(n);
    if (p == nullptr) {
        setSize(0);
        return false;
    }
    setBlock(p);
    owns_ = true;
    setSize(n);
    return true;
}

bool MemoryBlockReader::setSize(int32_t n) {
    length_ = n;
    return true;
}

uint8_t* MemoryBlockReader::block() const {
    return block_;
}

bool MemoryBlockReader::setBlock(uint8_t* p) {
    block_ = p;
    return true;
}

uint8_t* MemoryBlockReader::textCopy() const {
    return textCopy_;
}

bool MemoryBlockReader::setTextCopy(uint8_t* p) {
    textCopy_ = p;
    return true;
}

// ---- ByteReader

int32_t MemoryBlockReader::size() const {
    return length_;
}

uint8_t* MemoryBlockReader::copyOut() const {
    return rangeCopyOut(block(), size());
}

int32_t MemoryBlockReader::readAt(int32_t pos, uint8_t* dst, int32_t count) const {
    return rangeRead(block(), size(), pos, dst, count);
}

uint8_t MemoryBlockReader::byteAt(int32_t index) const {
    return rangeByteAt(block(), size(), index);
}

bool MemoryBlockReader::equals(const ByteReader* other) const {
    return rangeEquals(block(), size(), other);
}

bool MemoryBlockReader::equalsBytes(const uint8_t* bytes, int32_t count) const {
    return rangeEqualsBytes(block(), size(), bytes, count);
}

// ---- ByteWriter

int32_t MemoryBlockReader::writeAt(int32_t pos, const uint8_t* src, int32_t count) {
    return readOnly_ ? 0 : rangeWrite(block(), size(), pos, src, count);
}

bool MemoryBlockReader::setByte(int32_t pos, uint8_t value) {
    return !readOnly_ && rangeSetByte(block(), size(), pos, value);
}

bool MemoryBlockReader::fill(int32_t pos, uint8_t value, int32_t count) {
    return !readOnly_ && rangeFill(block(), size(), pos, value, count);
}
