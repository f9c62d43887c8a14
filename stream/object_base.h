#pragma once
// The common first base of the library classes of both the stream and the image
// library. It lives here so that image/ depends on stream/ and never the reverse.
#include <cstdint>

// Interface ids understood by queryInterface; 0 is always the object itself.
enum InterfaceId : int32_t {
    kObjectId = 0,
    kOutputStreamId = 0x12,
    kByteReaderId = 0x24,
    kByteWriterId = 0x25,
    kByteStorageId = 0x26,
    kByteReadWriterId = 0x27,
    kByteBufferId = 0x28,
    kImageReaderId = 0x30,
    kImageWriterId = 0x31,
    kDibAccessId = 0x32,
    kPixelAccessId = 0x33,
};

class ObjectBase {
public:
    // A constant class identifier of the form 0x80nn.
    virtual int32_t typeId() const = 0;
    // Major version in the high 16 bits, minor in the low 16.
    virtual uint32_t version() const = 0;
    virtual bool attributeFlag() const = 0;
    virtual uint8_t attributeByte() const = 0;
    virtual uint16_t attributeWord() const = 0;
    // The part of this object that implements interface id, or null. The pointer
    // is a view: valid while the object lives, never deleted on its own.
    virtual void* queryInterface(int32_t id) = 0;
    // A NUL-terminated text owned by the object, or null.
    virtual const char* text() = 0;
    virtual ~ObjectBase() = default;

    ObjectBase(const ObjectBase&) = delete;
    ObjectBase& operator=(const ObjectBase&) = delete;

protected:
    ObjectBase() = default;
};
