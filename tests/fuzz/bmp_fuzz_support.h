#pragma once
// What both fuzz targets check an image against.
#include <cstdint>
#include <vector>

#include "image/image.h"
#include "stream/little_endian.h"
#include "tests/support/pixel_words.h"

// A findings report the fuzzer keeps: the input that broke a promise.
#define PROMISE(cond)         \
    do {                      \
        if (!(cond))          \
            __builtin_trap(); \
    } while (0)

inline void paint(Dib32Image& image) {
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x)
            image.setPixel(x, y, uint32_t(x * 0x10203 + y * 0x30201));
}

// A signed header field; the caller has checked that its bytes are there.
inline int32_t fieldAt(const uint8_t* data, size_t at) {
    return int32_t(loadLe32(data + at));
}

// The picture the file's own fields describe, read straight from its bytes.
inline void expectFilePicture(const Dib32Image& image, const uint8_t* data) {
    const int32_t width = fieldAt(data, 18);
    const int32_t height = fieldAt(data, 22);
    const int bytesPerPixel = data[28] / 8;
    const int64_t stride =
        bytesPerPixel == 4 ? 4 * int64_t(width) : (3 * int64_t(width) + 3) / 4 * 4;
    const int64_t offset = fieldAt(data, 10);
    PROMISE(image.width() == width && image.height() == height && image.isBottomUp());
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            PROMISE(image.pixel(x, y) == loadLe24(data + offset + y * stride + x * bytesPerPixel));
}
