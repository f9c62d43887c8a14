#pragma once
// Reading the committed resource files and checking the little-endian fields in them.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "stream/little_endian.h"
#include "tests/support/file_bytes.h"

using Bytes = std::vector<uint8_t>;

// A file of the committed resources folder.
Bytes readResource(const std::string& name);

uint16_t le16(const Bytes& b, size_t at);
uint32_t le32(const Bytes& b, size_t at);

// A header field: where it starts, its width in bytes (1, 2 or 4) and the value it must hold.
struct Field {
    size_t at;
    int width;
    uint32_t value;
};
void expectFields(const Bytes& file, std::initializer_list<Field> fields);
// A BMP info header at `at`: its size 40, the dimensions, one plane, the bits per pixel, no
// compression.
void expectInfoHeader(const Bytes& file, size_t at, uint32_t width, uint32_t height,
                      uint16_t bitCount);
// Four characters as the little-endian word they make in a file.
inline uint32_t tag(const char (&s)[5]) {
    return loadLe32(reinterpret_cast<const uint8_t*>(s));
}

// Pixels of an uncompressed 24-bit BMP file as 0x00RRGGBB, in the file's own
// bottom-up row order: row 0 is the bottom row.
struct BmpPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> words;
    uint32_t at(int32_t x, int32_t y) const { return words[static_cast<size_t>(y) * width + x]; }
};
BmpPixels rawPixels(const Bytes& file);

inline uint8_t redOf(uint32_t w) {
    return static_cast<uint8_t>(w >> 16);
}
inline uint8_t greenOf(uint32_t w) {
    return static_cast<uint8_t>(w >> 8);
}
inline uint8_t blueOf(uint32_t w) {
    return static_cast<uint8_t>(w);
}
