// Writing a Dib32Image as a BMP file: a 24-bit file built whole in memory, or
// the image's own 32-bit storage as it is.
#include <cstring>
#include <new>

#include "image/bmp_layout.h"
#include "image/dib32_image.h"

static void storeLe32(uint8_t* p, uint32_t v)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    std::memcpy(p, &v, 4);
}

// One row of words 0x??RRGGBB becomes blue, green, red per pixel. Each word is
// stored whole, its fourth byte cleared and overwritten by the next pixel; the
// last pixel goes byte by byte so that nothing lands past the row.
static void packRow24(uint8_t* dst, const uint32_t* src, int32_t width)
{
    int32_t c = 0;
    for (; c < width - 1; ++c)
        storeLe32(dst + 3 * c, src[c] & 0x00FFFFFFu);
    const uint32_t v = src[c];
    dst[3 * c] = uint8_t(v);
    dst[3 * c + 1] = uint8_t(v >> 8);
    dst[3 * c + 2] = uint8_t(v >> 16);
}

static bool isStorageId(int32_t id)
{
    return id == kObjectId || id == kImageWriterId;
}

static bool isFile24Id(int32_t id)
{
    return id == kImageReaderId || id == kDibAccessId;
}

bool Dib32Image::save(OutputStream* stream, int32_t id) const
{
    const int32_t w = width();
    const int32_t h = height();
    if (stream == nullptr || storage_ == nullptr)
        return false;
    if (isStorageId(id))
        return stream->writeBlock(storage_) == storage_->size();
    if (!isFile24Id(id))
        return false;

    // The reported size must lie in the storage, or the rows would be read
    // from memory that is not the image's.
    if (wordsInside() < 0)
        return false;
    const int64_t stride = bmpRowStride(w, 24);
    const int64_t total = kBmpHeaderSize + stride * h;
    if (total > INT32_MAX)
        return false;
    MemoryBuffer file{int32_t(total)};
    if (file.size() != total)
        return false;

    uint8_t* out = file.data();
    std::memcpy(out, storage_->data(), kBmpHeaderSize);
    out[kBitsPerPixelOffset] = 24;
    out[kBitsPerPixelOffset + 1] = 0;
    putLe32(out + kFileSizeOffset, uint32_t(total));
    // The header describes the rows written, also when the fields were set
    // apart from what create wrote.
    putLe32(out + kWidthOffset, uint32_t(w));
    putLe32(out + kHeightOffset, uint32_t(h));
    if (w > 0) {
        for (int32_t y = 0; y < h; ++y)
            packRow24(out + kBmpHeaderSize + y * stride, bits_ + int64_t(y) * w, w);
    }
    return stream->writeBlock(&file) == total;
}
