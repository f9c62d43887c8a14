#pragma once
// A growable byte buffer. Its block holds the content plus one spare zero byte,
// so the content reads as a NUL-terminated text. Growth is exact: every length
// change allocates anew, so build at the final length and write in place.
#include "stream/byte_interfaces.h"

class MemoryBuffer final : public ByteBuffer {
public:
    // n >= 1 allocates n zero bytes; a buffer whose allocation failed is empty,
    // so check size() == n.
    explicit MemoryBuffer(int32_t n = 0);
    ~MemoryBuffer() override;

    // ByteReader
    int32_t size() const override;
    uint8_t* copyOut() const override;
    int32_t readAt(int32_t pos, uint8_t* dst, int32_t count) const override;
    uint8_t byteAt(int32_t index) const override;
    bool equals(const ByteReader* other) const override;
    bool equalsBytes(const uint8_t* bytes, int32_t count) const override;
    // ByteBuffer
    bool appendReader(const ByteReader* other) override;
    bool appendBytes(const uint8_t* src, int32_t count) override;
    bool appendByte(uint8_t value) override;
    bool insertReader(int32_t pos, const ByteReader* other) override;
    bool insertBytes(int32_t pos, const uint8_t* src, int32_t count) override;

    // The object queries, declared here since the buffer has no ObjectBase.
    virtual int32_t typeId() const;
    virtual uint32_t version() const;
    virtual bool attributeFlag() const;
    virtual uint8_t attributeByte() const;
    virtual uint16_t attributeWord() const;
    virtual void* queryInterface(int32_t id);
    // The content up to its first zero byte; null when empty. Valid as data().
    virtual const char* text();

    // Own storage operations.
    // Discards the content and leaves n zero bytes; false for n < 0 or
    // n = INT32_MAX, which leaves no room for the spare byte (nothing changed),
    // or when out of memory (the buffer is then empty).
    virtual bool allocate(int32_t n);
    // As allocate, but the n bytes are unset (the spare byte is still zero),
    // for a caller that writes all of them before anything reads them.
    bool allocateUnfilled(int32_t n);
    virtual bool setSize(int32_t n);
    virtual uint8_t* block() const;
    virtual bool setBlock(uint8_t* p);
    virtual int32_t lastIndex() const;

    // ByteWriter
    int32_t writeAt(int32_t pos, const uint8_t* src, int32_t count) override;
    bool setByte(int32_t pos, uint8_t value) override;
    bool fill(int32_t pos, uint8_t value, int32_t count) override;
    // ByteStorage
    uint8_t* data() override;
    bool resize(int32_t n) override;
    bool resizeFilled(int32_t n, uint8_t value) override;
    bool assign(const ByteReader* source) override;

private:
    // Frees the block and takes a new one of n bytes (zeroed or unset) and the
    // spare zero byte; n = 0 leaves the buffer empty. On no memory it is empty.
    bool renewBlock(int32_t n, bool zeroed);

    int32_t length_ = 0;
    uint8_t* block_ = nullptr;
};
