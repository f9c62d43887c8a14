#pragma once
// The pixel words of an image as bits() hands them out. They lie 54 bytes into
// the image's storage, after its headers, so they are only 2-byte aligned: a
// read or write through the uint32_t* itself is undefined behaviour (x86
// forgives it, the sanitizers do not). This view is the way to them; each
// word is stored little-endian, 0x00RRGGBB.
#include <cstdint>

#include "stream/little_endian.h"

class PixelWords {
public:
    // A view of the words at bits; a null bits gives an empty view.
    explicit PixelWords(uint32_t* bits) : bytes_(reinterpret_cast<uint8_t*>(bits)) {}
    explicit PixelWords(uint8_t* bytes) : bytes_(bytes) {}
    PixelWords() = default;

    bool empty() const { return bytes_ == nullptr; }
    uint32_t load(int64_t index) const { return loadLe32(bytes_ + 4 * index); }
    void store(int64_t index, uint32_t word) const { storeLe32(bytes_ + 4 * index, word); }
    // The words from index on, e.g. one row.
    PixelWords from(int64_t index) const { return PixelWords(bytes_ + 4 * index); }
    // The words as bytes, for copying whole runs of them.
    uint8_t* bytes() const { return bytes_; }

private:
    uint8_t* bytes_ = nullptr;
};
