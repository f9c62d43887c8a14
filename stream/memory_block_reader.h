#pragma once
// Hands bytes that already lie in memory to a ByteReader user without copying.
// The reader borrows the caller's bytes: they must outlive every read, and the
// reader never releases them. allocate() switches it to a block of its own,
// which it then owns and releases.
#include <cstddef>

#include "stream/byte_interfaces.h"
#include "stream/object_base.h"

class MemoryBlockReader final : public ObjectBase, public ByteReadWriter {
public:
    // Borrows n bytes at bytes; writes go into them. Null or n < 1 gives an empty reader.
    MemoryBlockReader(uint8_t* bytes, int32_t n);
    // Borrows bytes that must not change (resource memory): every write through
    // ByteWriter, and allocate() of the current length, is refused while the
    // reader still borrows them.
    MemoryBlockReader(const uint8_t* bytes, int32_t n);
    // A literal null pointer would fit both of the above; it gives an empty reader.
    MemoryBlockReader(std::nullptr_t, int32_t n);
    ~MemoryBlockReader() override;

    int32_t typeId() const override;
    uint32_t version() const override;
    bool attributeFlag() const override;
    uint8_t attributeByte() const override;
    uint16_t attributeWord() const override;
    void* queryInterface(int32_t id) override;
    // A fresh NUL-terminated copy of the bytes; invalidates the previous one.
    const char* text() override;

    virtual bool allocate(int32_t n);
    virtual bool setSize(int32_t n);
    virtual uint8_t* block() const;
    virtual bool setBlock(uint8_t* p);
    virtual uint8_t* textCopy() const;
    virtual bool setTextCopy(uint8_t* p);

    // ByteReader
    int32_t size() const override;
    uint8_t* copyOut() const override;
    int32_t readAt(int32_t pos, uint8_t* dst, int32_t count) const override;
    uint8_t byteAt(int32_t index) const override;
    bool equals(const ByteReader* other) const override;
    bool equalsBytes(const uint8_t* bytes, int32_t count) const override;
    // ByteWriter
    int32_t writeAt(int32_t pos, const uint8_t* src, int32_t count) override;
    bool setByte(int32_t pos, uint8_t value) override;
    bool fill(int32_t pos, uint8_t value, int32_t count) override;

private:
    int32_t length_ = 0;
    uint8_t* block_ = nullptr;
    uint8_t* textCopy_ = nullptr;
    bool owns_ = false;
    bool readOnly_ = false;
};
