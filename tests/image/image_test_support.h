#pragma once
// Test doubles and helpers for the image tests. The BMP builder here writes its
// fields by hand, apart from the library's code, so the two cannot share a mistake.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "image/image.h"

using Bytes = std::vector<uint8_t>;

inline void putLe32At(Bytes& b, size_t offset, uint32_t v)
{
    b.at(offset) = uint8_t(v);
    b.at(offset + 1) = uint8_t(v >> 8);
    b.at(offset + 2) = uint8_t(v >> 16);
    b.at(offset + 3) = uint8_t(v >> 24);
}

inline uint32_t le32At(const Bytes& b, size_t offset)
{
    return uint32_t(b.at(offset)) | uint32_t(b.at(offset + 1)) << 8 |
           uint32_t(b.at(offset + 2)) << 16 | uint32_t(b.at(offset + 3)) << 24;
}

// A colour that differs in every channel from its neighbours, top byte clear.
inline uint32_t patternColour(int32_t x, int32_t y)
{
    uint32_t v = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u ^ 0x5A3C96u;
    v ^= v >> 13;
    return v & 0x00FFFFFFu;
}

// Pixel words lie 54 bytes into the storage, 2-byte aligned: go through memcpy.
inline uint32_t rawWord(Dib32Image& image, size_t i)
{
    uint32_t v;
    std::memcpy(&v, reinterpret_cast<const uint8_t*>(image.bits()) + 4 * i, 4);
    return v;
}

inline void setRawWord(Dib32Image& image, size_t i, uint32_t v)
{
    std::memcpy(reinterpret_cast<uint8_t*>(image.bits()) + 4 * i, &v, 4);
}

struct BmpShape {
    int32_t width = 2;
    int32_t height = 2;
    int bitsPerPixel = 24;
    int32_t infoSize = 40;
    int32_t gap = 0;        // bytes between the info header and the pixel array
    int32_t trailing = 0;   // bytes after the pixel array
    uint8_t filler = 0xA5;  // padding, gap, trailing and fourth bytes
};

inline int32_t strideOf(int32_t width, int bitsPerPixel)
{
    return bitsPerPixel == 32 ? 4 * width : (3 * width + 3) / 4 * 4;
}

// A well-formed bottom-up file whose pixel (x, y) is patternColour(x, y).
inline Bytes buildBmp(const BmpShape& s)
{
    const int32_t offset = 14 + s.infoSize + s.gap;
    const int32_t stride = strideOf(s.width, s.bitsPerPixel);
    const int32_t size = offset + stride * s.height + s.trailing;
    Bytes b(size_t(size), s.filler);
    std::fill(b.begin(), b.begin() + offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    putLe32At(b, 2, uint32_t(size - s.trailing));
    putLe32At(b, 10, uint32_t(offset));
    putLe32At(b, 14, uint32_t(s.infoSize));
    putLe32At(b, 18, uint32_t(s.width));
    putLe32At(b, 22, uint32_t(s.height));
    b[26] = 1;
    b[28] = uint8_t(s.bitsPerPixel);
    for (int32_t y = 0; y < s.height; ++y) {
        for (int32_t x = 0; x < s.width; ++x) {
            const uint32_t c = patternColour(x, y);
            const size_t p = size_t(offset + y * stride + x * (s.bitsPerPixel / 8));
            b[p] = uint8_t(c);
            b[p + 1] = uint8_t(c >> 8);
            b[p + 2] = uint8_t(c >> 16);
        }
    }
    return b;
}

// A ByteReader over exactly the bytes given (a heap block of that length, so
// the sanitizer sees any read past it), counting the decoder's calls.
class CountingReader final : public ByteReader {
public:
    explicit CountingReader(const Bytes& bytes) : bytes_(bytes) {}

    int32_t size() const override
    {
        ++sizeCalls;
        return int32_t(bytes_.size());
    }
    uint8_t* copyOut() const override
    {
        ++copyOutCalls;
        if (failCopy)
            return nullptr;
        uint8_t* p = allocBlock(int32_t(bytes_.size()));
        if (p != nullptr)
            std::memcpy(p, bytes_.data(), bytes_.size());
        return p;
    }
    int32_t readAt(int32_t pos, uint8_t* dst, int32_t count) const override
    {
        if (pos < 0 || count < 1 || dst == nullptr || pos >= int32_t(bytes_.size()))
            return 0;
        const int32_t n = std::min(count, int32_t(bytes_.size()) - pos);
        std::memcpy(dst, bytes_.data() + pos, size_t(n));
        return n;
    }
    uint8_t byteAt(int32_t index) const override
    {
        if (index < 0 || index >= int32_t(bytes_.size()))
            throw std::out_of_range("無効なインデックス");
        return bytes_[size_t(index)];
    }
    bool equals(const ByteReader*) const override { return false; }
    bool equalsBytes(const uint8_t*, int32_t) const override { return false; }

    mutable int sizeCalls = 0;
    mutable int copyOutCalls = 0;
    bool failCopy = false;

private:
    Bytes bytes_;
};

// Delivers a byte sequence in order, recording every request.
class ScriptedInput final : public InputStream {
public:
    explicit ScriptedInput(const Bytes& bytes) : bytes_(bytes) {}

    int32_t read(uint8_t* buffer, int32_t count) override
    {
        requests.push_back(count);
        if (count < 1)
            return 0;
        const size_t left = bytes_.size() - pos_;
        const size_t n = std::min(left, size_t(count));
        if (n > 0)
            std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return int32_t(n);
    }

    std::vector<int32_t> requests;

private:
    Bytes bytes_;
    size_t pos_ = 0;
};

// Keeps what writeBlock hands over; can be told to take fewer bytes.
class CollectingStream final : public OutputStream {
public:
    int32_t writeBlock(const ByteReader* source) override
    {
        ++blockCalls;
        const int32_t n = source->size();
        const int32_t taken = limit >= 0 && limit < n ? limit : n;
        if (taken > 0) {
            const size_t at = written.size();
            written.resize(at + size_t(taken));
            EXPECT_EQ(source->readAt(0, written.data() + at, taken), taken);
        }
        return taken;
    }
    int32_t writeBytes(const uint8_t*, int32_t) override
    {
        ++otherCalls;
        return 0;
    }
    bool writeByte(uint8_t) override
    {
        ++otherCalls;
        return false;
    }

    Bytes written;
    int blockCalls = 0;
    int otherCalls = 0;
    int32_t limit = -1;
};

// Everything observable about an image, to show that a failed operation left
// it exactly as it was (the storage address included).
struct ImageSnapshot {
    int32_t width = 0;
    int32_t height = 0;
    bool bottomUp = true;
    const void* header = nullptr;
    const uint32_t* bits = nullptr;
    std::vector<uint32_t> words;
    Bytes headerBytes;

    explicit ImageSnapshot(Dib32Image& image)
        : width(image.width()), height(image.height()), bottomUp(image.isBottomUp()),
          header(image.header()), bits(image.bits())
    {
        if (bits != nullptr) {
            words.resize(size_t(width) * size_t(height));
            for (size_t i = 0; i < words.size(); ++i)
                words[i] = rawWord(image, i);
        }
        if (header != nullptr) {
            const uint8_t* start = static_cast<const uint8_t*>(header) - 14;
            headerBytes.assign(start, start + 54);
        }
    }

    bool operator==(const ImageSnapshot& o) const
    {
        return width == o.width && height == o.height && bottomUp == o.bottomUp &&
               header == o.header && bits == o.bits && words == o.words &&
               headerBytes == o.headerBytes;
    }
};

// An ImageReader that is not a Dib32Image: rows of words in a vector.
class VectorImage final : public ImageReader {
public:
    VectorImage(int32_t width, int32_t height, bool bottomUp)
        : width_(width), height_(height), bottomUp_(bottomUp),
          words_(size_t(std::max(0, width)) * size_t(std::max(0, height)))
    {
    }

    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }
    bool isBottomUp() const override { return bottomUp_; }
    uint32_t pixel(int32_t x, int32_t y) const override
    {
        ++pixelCalls;
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            throw std::out_of_range("無効な座標指定");
        return words_[size_t(y) * size_t(width_) + size_t(x)];
    }
    uint8_t red(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y) >> 16); }
    uint8_t green(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y) >> 8); }
    uint8_t blue(int32_t x, int32_t y) const override { return uint8_t(pixel(x, y)); }

    void set(int32_t x, int32_t y, uint32_t v) { words_[size_t(y) * size_t(width_) + size_t(x)] = v; }

    mutable int64_t pixelCalls = 0;

private:
    int32_t width_;
    int32_t height_;
    bool bottomUp_;
    std::vector<uint32_t> words_;
};

inline Bytes saveToBytes(const Dib32Image& image, int32_t id)
{
    CollectingStream out;
    EXPECT_TRUE(image.save(&out, id));
    return out.written;
}

inline void paintPattern(Dib32Image& image)
{
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x)
            image.setPixel(x, y, patternColour(x, y));
}
