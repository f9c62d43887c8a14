#pragma once
// Private to the image library: the BMP numbers and byte helpers shared by the
// image, the decoder and the encoder.
#include <cstdint>
#include <cstring>

#include "stream/little_endian.h"

constexpr int32_t kBmpHeaderSize = 54;  // 14-byte file header + 40-byte info header
constexpr int32_t kInfoHeaderOffset = 14;
constexpr int32_t kFileSizeOffset = 2;
constexpr int32_t kPixelOffsetOffset = 10;
constexpr int32_t kWidthOffset = 18;
constexpr int32_t kHeightOffset = 22;
constexpr int32_t kBitsPerPixelOffset = 28;
constexpr int32_t kCompressionOffset = 30;

// Bytes of one stored row: 24-bit rows are padded to whole 32-bit words.
inline int64_t bmpRowStride(int64_t width, int bitsPerPixel) {
    return bitsPerPixel == 32 ? 4 * width : (3 * width + 3) / 4 * 4;
}
