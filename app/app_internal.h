#pragma once
// Helpers shared by the application's own sources; not part of its interface.
#include <cstdint>
#include <cstring>

#include "app/app.h"

// The source's next value modulo n, never negative even from a source that
// strays outside 0..32767.
inline int32_t drawBelow(RandomSource& random, int32_t n)
{
    const int32_t r = random.next() % n;
    return r < 0 ? r + n : r;
}

// The raw paths work on pixel words directly; they rely on an image of the
// picture's size with its storage in place.
inline bool hasPictureSize(Dib32Image& image)
{
    return image.width() == kPictureWidth && image.height() == kPictureHeight &&
           image.bits() != nullptr;
}

// The pixel words sit 54 bytes into an image's storage, so they need not be
// 4-byte aligned: they are always moved as bytes.
inline uint8_t* pixelBytes(Dib32Image& image)
{
    return reinterpret_cast<uint8_t*>(image.bits());
}

inline uint32_t loadWord(const uint8_t* words, int32_t index)
{
    uint32_t word;
    std::memcpy(&word, words + static_cast<size_t>(index) * 4, sizeof word);
    return word;
}

inline void storeWord(uint8_t* words, int32_t index, uint32_t word)
{
    std::memcpy(words + static_cast<size_t>(index) * 4, &word, sizeof word);
}

inline bool isBackgroundWord(uint32_t word)
{
    return (word & 0xFFu) == 0xFFu;
}
