#pragma once
// The one concrete image: a complete 32-bit BMP file held in one MemoryBuffer
// (14-byte file header, 40-byte info header, then the pixel words), so the same
// bytes serve pixel access, StretchDIBits and saving unchanged.
#include "image/image_interfaces.h"
#include "image/pixel_words.h"
#include "stream/memory_buffer.h"

struct BmpHeldBytes;

class Dib32Image final : public ObjectBase, public ImageSaver, public PixelAccess {
public:
    // 256 x 256, every pixel white.
    Dib32Image();
    // width x height, every pixel white. If the size is refused the image is
    // 0 x 0: reads throw, writes return false, header() and bits() are null.
    Dib32Image(int32_t width, int32_t height);
    ~Dib32Image() override;

    // ObjectBase
    int32_t typeId() const override;
    uint32_t version() const override;
    bool attributeFlag() const override;
    uint8_t attributeByte() const override;
    uint16_t attributeWord() const override;
    void* queryInterface(int32_t id) override;
    const char* text() override;

    // Decodes a whole 24- or 32-bit uncompressed BMP file; on false the image
    // is exactly as before. id: 0, 0x30, 0x31 or 0x32.
    virtual bool loadFromBlock(const ByteReader* source, int32_t id);
    virtual bool loadFromStream(InputStream* source, int32_t id);
    // New storage of the given size, every pixel 0, bottom-up. False with
    // nothing changed for width < 1, height < 0, a storage beyond a signed
    // 32-bit length, or no memory.
    virtual bool create(int32_t width, int32_t height);
    void* header() override;
    // Only 2-byte aligned: reach the words through words(), never through
    // the pointer itself.
    uint32_t* bits() override;
    PixelWords words() { return pixels_; }
    // Number of pixel words width() x height() covers when all of them lie in
    // the storage, else -1: words() holds the rows only then.
    int64_t wordsInside() const;
    // Store one field unchecked; the header keeps what create wrote.
    virtual bool setWidth(int32_t width);
    virtual bool setSignedHeight(int32_t signedHeight);

    // Makes this image a copy of source, taking over its size and showing it
    // upright through header()/bits(). False for null, self or a refused size.
    bool copyFrom(const ImageReader* source);

    // ImageSaver
    bool save(OutputStream* stream, int32_t id) const override;

    // ImageReader / ImageWriter / DibAccess / PixelAccess
    int32_t width() const override;
    int32_t height() const override;
    bool isBottomUp() const override;
    uint32_t pixel(int32_t x, int32_t y) const override;
    uint8_t red(int32_t x, int32_t y) const override;
    uint8_t green(int32_t x, int32_t y) const override;
    uint8_t blue(int32_t x, int32_t y) const override;
    bool setPixel(int32_t x, int32_t y, uint32_t value) override;
    bool setRed(int32_t x, int32_t y, uint8_t value) override;
    bool setGreen(int32_t x, int32_t y, uint8_t value) override;
    bool setBlue(int32_t x, int32_t y, uint8_t value) override;
    bool fillColor(int32_t red, int32_t green, int32_t blue) override;
    bool setDimensions(int32_t width, int32_t signedHeight) override;
    uint32_t pixelAt(int32_t x, int32_t y) const override;
    bool setPixelAt(int32_t x, int32_t y, uint32_t value) override;
    bool reservedOperation(int32_t, int32_t, int32_t) override;

private:
    // create's work. Without zeroPixels the pixel words are left unset, for
    // a decoder that writes every one of them before anything reads them.
    bool createStorage(int32_t width, int32_t height, bool zeroPixels);
    bool decodeHeld(const BmpHeldBytes& held, int32_t fileSize);

    // Index of pixel (x, y) among the storage's pixel words, or -1 when the
    // coordinate is outside the image or its word outside the storage (the
    // fields may have been set apart from the storage).
    int64_t wordIndex(int32_t x, int32_t y) const;

    const char* typeName_;
    MemoryBuffer* storage_ = nullptr;
    // The pixel words, 54 bytes into the storage.
    PixelWords pixels_;
    void* header_ = nullptr;
    int32_t width_ = 0;
    int32_t signedHeight_ = 0;
    // Pixel words the storage holds: (size - 54) / 4, 0 without storage.
    int64_t pixelWords_ = 0;
};

inline int64_t Dib32Image::wordIndex(int32_t x, int32_t y) const {
    // The same bounds width() and height() report, without the calls.
    const int32_t rows = signedHeight_ >= 0           ? signedHeight_
                         : signedHeight_ == INT32_MIN ? INT32_MAX
                                                      : -signedHeight_;
    if (x < 0 || y < 0 || x >= width_ || y >= rows)
        return -1;
    const int64_t index = int64_t(y) * width_ + x;
    return index < pixelWords_ ? index : -1;
}
