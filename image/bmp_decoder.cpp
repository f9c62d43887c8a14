// Reading 24- and 32-bit uncompressed BMP files into a Dib32Image.
// A file may come from anywhere, so every field is read through a bounds test
// and every size is computed in 64 bits, where no 32-bit field can overflow it.
#include <cstring>
#include <utility>

#include "image/internal/bmp_layout.h"
#include "image/bmp_rows.h"
#include "image/dib32_image.h"
#include "stream/block.h"

// The file bytes the decoder holds: file offsets first .. end - 1, at data.
struct BmpHeldBytes {
    const uint8_t* data;
    int64_t first;
    int64_t end;
};

struct BmpFields {
    int32_t fileSize;
    int32_t pixelOffset;
    int32_t width;
    int32_t height;
    uint8_t bitsPerPixel;
    int32_t compression;
};

struct BmpPixelArray {
    int64_t offset;
    int64_t stride;
    int64_t rows;
    int64_t bytes;  // stride x rows, or kNoFit when no 32-bit file could hold it
};

// Larger than any 32-bit size, small enough that adding an offset cannot overflow.
constexpr int64_t kNoFit = int64_t(1) << 62;

static bool isDecodeId(int32_t id) {
    return id == kObjectId || id == kImageReaderId || id == kImageWriterId || id == kDibAccessId;
}

static bool holds(const BmpHeldBytes& held, int64_t offset, int64_t count) {
    return offset >= held.first && count >= 0 && offset <= held.end - count;
}

static bool readByte(const BmpHeldBytes& held, int64_t offset, uint8_t* out) {
    if (!holds(held, offset, 1))
        return false;
    *out = held.data[offset - held.first];
    return true;
}

static bool readInt32(const BmpHeldBytes& held, int64_t offset, int32_t* out) {
    if (!holds(held, offset, 4))
        return false;
    *out = int32_t(loadLe32(held.data + (offset - held.first)));
    return true;
}

// The file size is the caller's: the stream entry point has read it already.
static bool readFields(const BmpHeldBytes& held, BmpFields* f) {
    if (!readInt32(held, kPixelOffsetOffset, &f->pixelOffset))
        return false;
    if (!readInt32(held, kWidthOffset, &f->width))
        return false;
    if (!readInt32(held, kHeightOffset, &f->height))
        return false;
    if (!readByte(held, kBitsPerPixelOffset, &f->bitsPerPixel))
        return false;
    return readInt32(held, kCompressionOffset, &f->compression);
}

static bool isSupportedFormat(const BmpFields& f) {
    return (f.bitsPerPixel == 24 || f.bitsPerPixel == 32) && f.compression == 0 && f.width >= 1 &&
           f.height != 0;
}

static BmpPixelArray locatePixels(const BmpFields& f) {
    // 64 bits hold |INT32_MIN| rows and a stride of 4 x INT32_MAX; their
    // product is only formed once the stride could fit a file at all.
    BmpPixelArray a;
    a.offset = f.pixelOffset;
    a.stride = bmpRowStride(f.width, f.bitsPerPixel);
    a.rows = f.height < 0 ? -int64_t(f.height) : int64_t(f.height);
    a.bytes = a.stride <= INT32_MAX ? a.stride * a.rows : kNoFit;
    return a;
}

// Signed, as stored: a negative size covers nothing. The stream entry point
// has already refused sizes short of the headers, since it reads by the size.
static bool fitsFileSize(const BmpFields& f, const BmpPixelArray& a) {
    return int64_t(f.fileSize) >= a.offset + a.bytes;
}

// The fields come from header; the pixel array must lie in the file bytes the
// decoder holds, offsets header.first .. heldEnd - 1, once it has them all.
static bool checkHeader(const BmpHeldBytes& header, int64_t heldEnd, BmpFields* f,
                        BmpPixelArray* a) {
    if (!readFields(header, f) || !isSupportedFormat(*f))
        return false;
    *a = locatePixels(*f);
    return fitsFileSize(*f, *a) &&
           holds(BmpHeldBytes{nullptr, header.first, heldEnd}, a->offset, a->bytes);
}

static void copyRows24(uint8_t* dst, const uint8_t* src, int32_t width, const BmpPixelArray& a) {
    const BmpRowKernels& kernels = bmpRowKernels();
    for (int64_t r = 0; r < a.rows; ++r)
        kernels.expand24(dst + r * 4 * width, src + r * a.stride, width);
}

static void copyRows32(uint8_t* dst, const uint8_t* src, int32_t width, const BmpPixelArray& a) {
    for (int64_t r = 0; r < a.rows; ++r) {
        const uint8_t* s = src + r * a.stride;
        uint8_t* d = dst + r * 4 * width;
        for (int32_t c = 0; c < width; ++c)
            storeLe32(d + 4 * c, loadLe32(s + 4 * c) & 0x00FFFFFFu);
    }
}

// Checks the held bytes and, when they describe a picture this image can take,
// replaces the image with it. Until the storage is made nothing is touched.
bool Dib32Image::decodeHeld(const BmpHeldBytes& held, int32_t fileSize) {
    BmpFields f;
    f.fileSize = fileSize;
    BmpPixelArray a;
    if (!checkHeader(held, held.end, &f, &a))
        return false;
    // What create does, but the copy below writes every pixel word, so the
    // zero fill would only be written over.
    if (!createStorage(f.width, f.height, false))
        return false;
    // The storage took the rows and columns the checks passed, so the words
    // match the pixel array one for one.
    const uint8_t* src = held.data + (a.offset - held.first);
    uint8_t* dst = pixels_.bytes();
    if (f.bitsPerPixel == 24)
        copyRows24(dst, src, f.width, a);
    else
        copyRows32(dst, src, f.width, a);
    return true;
}

static bool hasSignature(const uint8_t* p) {
    return p[0] == 0x42 && p[1] == 0x4D;
}

bool Dib32Image::loadFromBlock(const ByteReader* source, int32_t id) {
    if (source == nullptr)
        return false;
    const int32_t size = source->size();
    if (size < kBmpHeaderSize)
        return false;
    if (!isDecodeId(id))
        return false;
    const OwnedBlock bytes(source->copyOut());
    if (bytes == nullptr)
        return false;
    const BmpHeldBytes held{bytes.get(), 0, size};
    int32_t fileSize = 0;
    return hasSignature(bytes.get()) && readInt32(held, kFileSizeOffset, &fileSize) &&
           decodeHeld(held, fileSize);
}

// File offsets 6 .. fileSize - 1 in one block, or null. The headers come
// first and must describe a picture those bytes can hold; the rest comes in
// pieces as large as what is held, so a stream that ends early has cost about
// twice what it delivered, whatever its size field claims.
static OwnedBlock readRest(InputStream* source, int32_t fileSize) {
    const int32_t restSize = fileSize - 6;
    int32_t held = kBmpHeaderSize - 6;
    OwnedBlock rest(allocBlockUnfilled(held));
    if (rest == nullptr || source->read(rest.get(), held) != held)
        return nullptr;
    BmpFields f;
    f.fileSize = fileSize;
    BmpPixelArray a;
    if (!checkHeader(BmpHeldBytes{rest.get(), 6, kBmpHeaderSize}, fileSize, &f, &a))
        return nullptr;
    while (held < restSize) {
        const int32_t grown = held < restSize - held ? 2 * held : restSize;
        OwnedBlock next(allocBlockUnfilled(grown));
        if (next == nullptr)
            return nullptr;
        copyBytes(next.get(), rest.get(), held);
        rest = std::move(next);
        if (source->read(rest.get() + held, grown - held) != grown - held)
            return nullptr;
        held = grown;
    }
    return rest;
}

bool Dib32Image::loadFromStream(InputStream* source, int32_t id) {
    if (source == nullptr)
        return false;
    if (!isDecodeId(id))
        return false;
    uint8_t head[6];
    if (source->read(head, 6) != 6 || !hasSignature(head))
        return false;
    const int32_t fileSize = int32_t(loadLe32(head + kFileSizeOffset));
    if (fileSize < kBmpHeaderSize)
        return false;
    const OwnedBlock rest(readRest(source, fileSize));
    return rest != nullptr && decodeHeld(BmpHeldBytes{rest.get(), 6, fileSize}, fileSize);
}
