#pragma once
// An image's pixel words as the tests compare them.
#include <cstdint>
#include <vector>

#include "image/image.h"

// Every pixel word, top byte and all, in storage order (row 0 first).
inline std::vector<uint32_t> wordsOf(Dib32Image& image) {
    std::vector<uint32_t> words(static_cast<size_t>(image.width()) *
                                static_cast<size_t>(image.height()));
    const PixelWords stored = image.words();
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = stored.load(int64_t(i));
    return words;
}
