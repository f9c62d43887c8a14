#pragma once
// Private to the image library: the BMP numbers and byte helpers shared by the
// image, the decoder and the encoder.
#include <cstdint>
#include <cstring>

constexpr int32_t kBmpHeaderSize = 54;   // 14-byte file header + 40-byte info header
constexpr int32_t kInfoHeaderOffset = 14;
constexpr int32_t kFileSizeOffset = 2;
constexpr int32_t kPixelOffsetOffset = 10;
constexpr int32_t kWidthOffset = 18;
constexpr int32_t kHeightOffset = 22;
constexpr int32_t kBitsPerPixelOffset = 28;
constexpr int32_t kCompressionOffset = 30;

// Little-endian words at any alignment; pixel words are stored this way too.
inline uint32_t loadLe32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    return v;
}

inline void storeLe32(uint8_t* p, uint32_t v)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    std::memcpy(p, &v, 4);
}

// Bytes of one stored row: 24-bit rows are padded to whole 32-bit words.
inline int64_t bmpRowStride(int64_t width, int bitsPerPixel)
{
    return bitsPerPixel == 32 ? 4 * width : (3 * width + 3) / 4 * 4;
}
