#pragma once
// The image interfaces. Coordinates are signed: x the column, y the row of the
// image's memory (isBottomUp tells whether row 0 is the bottom of the picture).
// A pixel is one word 0x00RRGGBB. Reads outside the image throw
// std::out_of_range ("無効な座標指定"); writes outside return false.
#include <cstdint>

#include "stream/byte_interfaces.h"
#include "stream/object_base.h"

class ImageSaver {
public:
    // Writes the image as a BMP file: id 0x30/0x32 a 24-bit file, 0/0x31 the
    // 32-bit storage unchanged. True when the stream took the whole file.
    virtual bool save(OutputStream* stream, int32_t id) const = 0;

protected:
    // Never deleted through this interface: the compiler refuses it.
    ~ImageSaver() = default;
};

class ImageDimensions {
public:
    virtual int32_t width() const = 0;
    // Number of rows, never negative.
    virtual int32_t height() const = 0;
    virtual bool isBottomUp() const = 0;
    virtual ~ImageDimensions() = default;

    ImageDimensions(const ImageDimensions&) = delete;
    ImageDimensions& operator=(const ImageDimensions&) = delete;

protected:
    ImageDimensions() = default;
};

class ImageReader : public ImageDimensions {
public:
    virtual uint32_t pixel(int32_t x, int32_t y) const = 0;
    virtual uint8_t red(int32_t x, int32_t y) const = 0;
    virtual uint8_t green(int32_t x, int32_t y) const = 0;
    virtual uint8_t blue(int32_t x, int32_t y) const = 0;
};

class ImageWriter : public ImageDimensions {
public:
    // Stores value & 0x00FFFFFF.
    virtual bool setPixel(int32_t x, int32_t y, uint32_t value) = 0;
    virtual bool setRed(int32_t x, int32_t y, uint8_t value) = 0;
    virtual bool setGreen(int32_t x, int32_t y, uint8_t value) = 0;
    virtual bool setBlue(int32_t x, int32_t y, uint8_t value) = 0;
    // Each component is clamped to 0..255 first.
    virtual bool fillColor(int32_t red, int32_t green, int32_t blue) = 0;
};

class DibAccess : public ImageReader, public ImageWriter {
public:
    // One answer through both bases.
    int32_t width() const override = 0;
    int32_t height() const override = 0;
    bool isBottomUp() const override = 0;
    // Stores both numbers unchecked; a negative signed height means top-down rows.
    virtual bool setDimensions(int32_t width, int32_t signedHeight) = 0;
    // The 40-byte BITMAPINFOHEADER in front of the pixels, fit for StretchDIBits;
    // valid until the image's storage is replaced or the image destroyed.
    virtual void* header() = 0;
    // Row 0, column 0; rows follow each other directly, width words per row.
    virtual uint32_t* bits() = 0;
};

class PixelAccess : public DibAccess {
public:
    virtual uint32_t pixelAt(int32_t x, int32_t y) const = 0;
    virtual bool setPixelAt(int32_t x, int32_t y, uint32_t value) = 0;
    virtual bool reservedOperation(int32_t, int32_t, int32_t) = 0;
};
