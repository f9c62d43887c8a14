#include "image/dib32_image.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "image/internal/bmp_layout.h"

static const char kInvalidCoordinate[] = "無効な座標指定";

[[noreturn]] static void throwInvalidCoordinate() {
    throw std::out_of_range(kInvalidCoordinate);
}

Dib32Image::Dib32Image() : Dib32Image(256, 256) {}

Dib32Image::Dib32Image(int32_t width, int32_t height) : typeName_("32Bit DIB") {
    if (create(width, height))
        fillColor(255, 255, 255);
}

Dib32Image::~Dib32Image() {
    delete storage_;
}

int32_t Dib32Image::typeId() const {
    return 0x8030;
}
uint32_t Dib32Image::version() const {
    return 0x00100021;
}
bool Dib32Image::attributeFlag() const {
    return false;
}
uint8_t Dib32Image::attributeByte() const {
    return 0x10;
}
uint16_t Dib32Image::attributeWord() const {
    return 0x21;
}
const char* Dib32Image::text() {
    return typeName_;
}

void* Dib32Image::queryInterface(int32_t id) {
    switch (id) {
    case kObjectId: return static_cast<ObjectBase*>(this);
    case kImageReaderId: return static_cast<ImageReader*>(this);
    case kImageWriterId: return static_cast<ImageWriter*>(this);
    case kDibAccessId: return static_cast<DibAccess*>(this);
    case kPixelAccessId: return static_cast<PixelAccess*>(this);
    default: return nullptr;
    }
}

bool Dib32Image::create(int32_t width, int32_t height) {
    return createStorage(width, height, true);
}

bool Dib32Image::createStorage(int32_t width, int32_t height, bool zeroPixels) {
    if (width < 1 || height < 0)
        return false;
    // Both factors are below 2^31, so the product of the two cannot overflow.
    const int64_t words = int64_t(width) * height;
    if (words > (INT32_MAX - kBmpHeaderSize) / 4)
        return false;
    const int32_t size = int32_t(kBmpHeaderSize + 4 * words);
    std::unique_ptr<MemoryBuffer> fresh(new (std::nothrow) MemoryBuffer());
    if (fresh == nullptr)
        return false;
    if (!(zeroPixels ? fresh->allocate(size) : fresh->allocateUnfilled(size)))
        return false;
    setDimensions(width, height);

    // The headers start at zero, which supplies every field left at 0.
    uint8_t* file = fresh->data();
    std::memset(file, 0, kBmpHeaderSize);
    file[0] = 0x42;
    file[1] = 0x4D;
    storeLe32(file + kFileSizeOffset, uint32_t(size));
    file[kPixelOffsetOffset] = kBmpHeaderSize;
    file[kInfoHeaderOffset] = 40;
    storeLe32(file + kWidthOffset, uint32_t(width));
    storeLe32(file + kHeightOffset, uint32_t(height));
    file[26] = 1;
    file[kBitsPerPixelOffset] = 32;

    delete storage_;
    storage_ = fresh.release();
    header_ = file + kInfoHeaderOffset;
    pixels_ = PixelWords(file + kBmpHeaderSize);
    pixelWords_ = (size - kBmpHeaderSize) / 4;
    return true;
}

void* Dib32Image::header() {
    return header_;
}
uint32_t* Dib32Image::bits() {
    return reinterpret_cast<uint32_t*>(pixels_.bytes());
}

bool Dib32Image::setWidth(int32_t width) {
    width_ = width;
    return true;
}

bool Dib32Image::setSignedHeight(int32_t signedHeight) {
    signedHeight_ = signedHeight;
    return true;
}

bool Dib32Image::setDimensions(int32_t width, int32_t signedHeight) {
    width_ = width;
    signedHeight_ = signedHeight;
    return true;
}

int32_t Dib32Image::width() const {
    return width_;
}

int32_t Dib32Image::height() const {
    // The magnitude of INT32_MIN has no int32; the nearest count stands in.
    if (signedHeight_ >= 0)
        return signedHeight_;
    return signedHeight_ == INT32_MIN ? INT32_MAX : -signedHeight_;
}

bool Dib32Image::isBottomUp() const {
    return signedHeight_ >= 0;
}

int64_t Dib32Image::wordsInside() const {
    if (width_ < 0)
        return -1;
    const int64_t words = int64_t(width_) * height();
    return words <= pixelWords_ ? words : -1;
}

uint32_t Dib32Image::pixel(int32_t x, int32_t y) const {
    const int64_t i = wordIndex(x, y);
    if (i < 0)
        throwInvalidCoordinate();
    return pixels_.load(i);
}

uint8_t Dib32Image::red(int32_t x, int32_t y) const {
    return uint8_t(pixel(x, y) >> 16);
}
uint8_t Dib32Image::green(int32_t x, int32_t y) const {
    return uint8_t(pixel(x, y) >> 8);
}
uint8_t Dib32Image::blue(int32_t x, int32_t y) const {
    return uint8_t(pixel(x, y));
}

bool Dib32Image::setPixel(int32_t x, int32_t y, uint32_t value) {
    const int64_t i = wordIndex(x, y);
    if (i < 0)
        return false;
    pixels_.store(i, value & 0x00FFFFFFu);
    return true;
}

bool Dib32Image::setRed(int32_t x, int32_t y, uint8_t value) {
    const int64_t i = wordIndex(x, y);
    if (i < 0)
        return false;
    return setPixel(x, y, (uint32_t(value) << 16) | (pixels_.load(i) & 0xFF00FFFFu));
}

bool Dib32Image::setGreen(int32_t x, int32_t y, uint8_t value) {
    const int64_t i = wordIndex(x, y);
    if (i < 0)
        return false;
    return setPixel(x, y, (uint32_t(value) << 8) | (pixels_.load(i) & 0xFFFF00FFu));
}

bool Dib32Image::setBlue(int32_t x, int32_t y, uint8_t value) {
    const int64_t i = wordIndex(x, y);
    if (i < 0)
        return false;
    return setPixel(x, y, uint32_t(value) | (pixels_.load(i) & 0xFFFFFF00u));
}

static uint32_t clampChannel(int32_t v) {
    return uint32_t(std::min(255, std::max(0, v)));
}

bool Dib32Image::fillColor(int32_t red, int32_t green, int32_t blue) {
    if (storage_ == nullptr)
        return false;
    const uint32_t word =
        (clampChannel(red) << 16) | (clampChannel(green) << 8) | clampChannel(blue);
    if (width_ <= 0)
        return true;
    // Pixel words run on in order, so the ones inside the storage are a prefix;
    // the rest could not be written and the fill reports that.
    const int64_t area = int64_t(width_) * height();
    const int64_t inside = std::min(area, pixelWords_);
    for (int64_t i = 0; i < inside; ++i)
        pixels_.store(i, word);
    return inside == area;
}

uint32_t Dib32Image::pixelAt(int32_t x, int32_t y) const {
    return pixel(x, y);
}

bool Dib32Image::setPixelAt(int32_t x, int32_t y, uint32_t value) {
    if (wordIndex(x, y) < 0)
        return false;
    return setPixel(x, y, value);
}

bool Dib32Image::reservedOperation(int32_t, int32_t, int32_t) {
    return false;
}
