#pragma once
// The ByteReader and ByteWriter operations over a (block, length) pair, for the
// classes of this library that keep one. Internal: not part of the interfaces.
// Callers pass what their own accessors answer; refusals such as read-only
// bytes stay with them.
#include <cstdint>

class ByteReader;

uint8_t* rangeCopyOut(const uint8_t* block, int32_t length);
int32_t rangeRead(const uint8_t* block, int32_t length, int32_t pos, uint8_t* dst, int32_t count);
uint8_t rangeByteAt(const uint8_t* block, int32_t length, int32_t index);
bool rangeEquals(const uint8_t* block, int32_t length, const ByteReader* other);
bool rangeEqualsBytes(const uint8_t* block, int32_t length, const uint8_t* bytes, int32_t count);
int32_t rangeWrite(uint8_t* block, int32_t length, int32_t pos, const uint8_t* src, int32_t count);
bool rangeSetByte(uint8_t* block, int32_t length, int32_t pos, uint8_t value);
bool rangeFill(uint8_t* block, int32_t length, int32_t pos, uint8_t value, int32_t count);
