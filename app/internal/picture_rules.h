#pragma once
// Private to the application's sources: the rules they share about the
// random source and the pictures.
#include <algorithm>
#include <cstdint>

#include "app/app.h"

// The source's next value modulo n, never negative even from a source that
// strays outside 0..32767.
inline int32_t drawBelow(RandomSource& random, int32_t n) {
    const int32_t r = random.next() % n;
    return r < 0 ? r + n : r;
}

// The raw paths work on pixel words directly (through PixelWords); they rely
// on an image of the picture's size with its storage in place.
inline bool hasPictureSize(Dib32Image& image) {
    return image.width() == kPictureWidth && image.height() == kPictureHeight &&
           !image.words().empty();
}

// A coordinate in 64 bits (a wrapped one lies far outside) clipped to 0..size.
inline int32_t clippedTo(int64_t v, int32_t size) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, size));
}

inline bool isBackgroundWord(uint32_t word) {
    return (word & 0xFFu) == 0xFFu;
}
