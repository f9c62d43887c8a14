#pragma once
// The byte-block and sequential stream interfaces. Blocks are random access:
// every operation names its index. Indices and counts are signed; a negative one
// is an ordinary bad argument. Bad arguments give 0, false or null and change
// nothing; byteAt alone throws (std::out_of_range, "無効なインデックス").
#include <cstdint>

class ByteBlock {
public:
    // Number of bytes held, never negative.
    virtual int32_t size() const = 0;
    virtual ~ByteBlock() = default;

    ByteBlock(const ByteBlock&) = delete;
    ByteBlock& operator=(const ByteBlock&) = delete;

protected:
    ByteBlock() = default;
};

class ByteReader : public ByteBlock {
public:
    // A new block from allocBlock with a copy of all bytes; the caller releases it
    // with freeBlock. Null when empty or out of memory.
    virtual uint8_t* copyOut() const = 0;
    // Copies min(count, size() - pos) bytes into dst; 0 for a bad argument.
    virtual int32_t readAt(int32_t pos, uint8_t* dst, int32_t count) const = 0;
    // Throws std::out_of_range ("無効なインデックス") outside 0..size()-1.
    virtual uint8_t byteAt(int32_t index) const = 0;
    virtual bool equals(const ByteReader* other) const = 0;
    // bytes is not examined when count and size() are both 0.
    virtual bool equalsBytes(const uint8_t* bytes, int32_t count) const = 0;
};

// Writes in place; never changes the length.
class ByteWriter : public ByteBlock {
public:
    virtual int32_t writeAt(int32_t pos, const uint8_t* src, int32_t count) = 0;
    virtual bool setByte(int32_t pos, uint8_t value) = 0;
    virtual bool fill(int32_t pos, uint8_t value, int32_t count) = 0;
};

// Length and raw storage. The pointer from data() stays valid until the next
// operation that changes the length or replaces the content.
class ByteStorage : public ByteBlock {
public:
    virtual uint8_t* data() = 0;
    virtual bool resize(int32_t n) = 0;
    virtual bool resizeFilled(int32_t n, uint8_t value) = 0;
    // A copy of source's bytes; assigning a block its own content keeps it.
    virtual bool assign(const ByteReader* source) = 0;
};

class ByteReadWriter : public ByteReader, public ByteWriter {
public:
    // One answer for both bases.
    int32_t size() const override = 0;
};

// Growth past INT32_MAX - 1 bytes is refused with false, nothing changed.
class ByteBuffer : public ByteReadWriter, public ByteStorage {
public:
    int32_t size() const override = 0;
    virtual bool appendReader(const ByteReader* other) = 0;
    // count 0 is true with nothing changed; count < 0 or a null src is refused.
    virtual bool appendBytes(const uint8_t* src, int32_t count) = 0;
    virtual bool appendByte(uint8_t value) = 0;
    virtual bool insertReader(int32_t pos, const ByteReader* other) = 0;
    // A pos at or beyond the end places the bytes at pos; the gap is zero bytes.
    virtual bool insertBytes(int32_t pos, const uint8_t* src, int32_t count) = 0;
};

// Sequential output: each write continues where the previous one ended.
class OutputStream {
public:
    // The number of bytes written (all of source's, in order, on success).
    virtual int32_t writeBlock(const ByteReader* source) = 0;
    virtual int32_t writeBytes(const uint8_t* src, int32_t count) = 0;
    virtual bool writeByte(uint8_t value) = 0;
    virtual ~OutputStream() = default;

    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

protected:
    OutputStream() = default;
};

// Sequential source: delivers up to count bytes from the current position and
// advances by the number delivered.
class InputStream {
public:
    virtual int32_t read(uint8_t* buffer, int32_t count) = 0;
    virtual ~InputStream() = default;

    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

protected:
    InputStream() = default;
};
