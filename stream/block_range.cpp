#include "stream/internal/block_range.h"

#include <stdexcept>

#include "stream/block.h"
#include "stream/byte_interfaces.h"

namespace {

// min(count, length - pos), or 0 when pos lies outside or count < 1. Written as
// a difference so that pos + count never has to fit 32 bits.
int32_t span(int32_t length, int32_t pos, int32_t count) {
    if (pos < 0 || pos >= length || count < 1) {
        return 0;
    }
    return count > length - pos ? length - pos : count;
}

}  // namespace

uint8_t* rangeCopyOut(const uint8_t* block, int32_t length) {
    if (length < 1) {
        return nullptr;
    }
    // The copy fills every byte.
    uint8_t* p = allocBlockUnfilled(length);
    if (p != nullptr) {
        copyBytes(p, block, length);
    }
    return p;
}

int32_t rangeRead(const uint8_t* block, int32_t length, int32_t pos, uint8_t* dst, int32_t count) {
    const int32_t n = dst == nullptr ? 0 : span(length, pos, count);
    if (n > 0) {
        copyBytes(dst, block + pos, n);
    }
    return n;
}

uint8_t rangeByteAt(const uint8_t* block, int32_t length, int32_t index) {
    if (index < 0 || index >= length) {
        throw std::out_of_range("無効なインデックス");
    }
    return block[index];
}

bool rangeEquals(const uint8_t* block, int32_t length, const ByteReader* other) {
    if (other == nullptr || other->size() != length) {
        return false;
    }
    for (int32_t i = 0; i < length; ++i) {
        if (other->byteAt(i) != block[i]) {
            return false;
        }
    }
    return true;
}

bool rangeEqualsBytes(const uint8_t* block, int32_t length, const uint8_t* bytes, int32_t count) {
    if (count != length || (count > 0 && bytes == nullptr)) {
        return false;
    }
    for (int32_t i = 0; i < length; ++i) {
        if (bytes[i] != block[i]) {
            return false;
        }
    }
    return true;
}

int32_t rangeWrite(uint8_t* block, int32_t length, int32_t pos, const uint8_t* src, int32_t count) {
    const int32_t n = src == nullptr ? 0 : span(length, pos, count);
    if (n > 0) {
        copyBytes(block + pos, src, n);
    }
    return n;
}

bool rangeSetByte(uint8_t* block, int32_t length, int32_t pos, uint8_t value) {
    if (span(length, pos, 1) == 0) {
        return false;
    }
    block[pos] = value;
    return true;
}

bool rangeFill(uint8_t* block, int32_t length, int32_t pos, uint8_t value, int32_t count) {
    const int32_t n = span(length, pos, count);
    return n > 0 && fillBytes(block + pos, n, value);
}
