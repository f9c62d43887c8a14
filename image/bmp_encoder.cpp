// Writing a Dib32Image as a BMP file: a 24-bit file built whole in memory, or
// the image's own 32-bit storage as it is.
#include <cstring>

#include "image/internal/bmp_layout.h"
#include "image/dib32_image.h"

// One row of words 0x??RRGGBB becomes blue, green, red per pixel. Each word is
// stored whole, its fourth byte cleared and overwritten by the next pixel; the
// last pixel is stored as three bytes so that nothing lands past the row.
static void packRow24(uint8_t* dst, const uint8_t* src, int32_t width) {
    int32_t c = 0;
    for (; c < width - 1; ++c)
        storeLe32(dst + 3 * c, loadLe32(src + 4 * c) & 0x00FFFFFFu);
    storeLe24(dst + 3 * c, loadLe32(src + 4 * c));
}

static bool isStorageId(int32_t id) {
    return id == kObjectId || id == kImageWriterId;
}

static bool isFile24Id(int32_t id) {
    return id == kImageReaderId || id == kDibAccessId;
}

bool Dib32Image::save(OutputStream* stream, int32_t id) const {
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
    storeLe32(out + kFileSizeOffset, uint32_t(total));
    // The header describes the rows written, also when the fields were set
    // apart from what create wrote.
    storeLe32(out + kWidthOffset, uint32_t(w));
    storeLe32(out + kHeightOffset, uint32_t(h));
    if (w > 0) {
        for (int32_t y = 0; y < h; ++y)
            packRow24(out + kBmpHeaderSize + y * stride, pixels_.from(int64_t(y) * w).bytes(), w);
    }
    return stream->writeBlock(&file) == total;
}
