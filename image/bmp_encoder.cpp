// Writing a Dib32Image as a BMP file: a 24-bit file built whole in memory, or
// the image's own 32-bit storage as it is.
#include <cstring>

#include "image/internal/bmp_layout.h"
#include "image/bmp_rows.h"
#include "image/dib32_image.h"

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
    // Every byte is written below: headers, rows and their padding.
    MemoryBuffer file;
    if (!file.allocateUnfilled(int32_t(total)))
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
    const BmpRowKernels& kernels = bmpRowKernels();
    const int64_t padding = stride - 3 * int64_t(w);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = out + kBmpHeaderSize + y * stride;
        kernels.pack24(row, pixels_.from(int64_t(y) * w).bytes(), w);
        std::memset(row + 3 * int64_t(w), 0, size_t(padding));
    }
    return stream->writeBlock(&file) == total;
}
