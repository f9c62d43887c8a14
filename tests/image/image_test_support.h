#pragma once
// Doubles and helpers for the image tests. The BMP builder lays out its fields
// apart from the library's code, so the two cannot share a mistake of layout;
// the byte order they share is pinned by tests/stream/little_endian_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

#include "image/image.h"
#include "stream/little_endian.h"
#include "tests/support/bmp_files.h"
#include "tests/support/collecting_stream.h"

using Bytes = std::vector<uint8_t>;

// at() checks that the field's last byte is in the buffer.
inline void putLe32At(Bytes& b, size_t at, uint32_t v) {
    storeLe32(&b.at(at + 3) - 3, v);
}

inline uint32_t le32At(const Bytes& b, size_t at) {
    return loadLe32(&b.at(at + 3) - 3);
}

// A 24-bit pixel as the file stores it, as 0x00RRGGBB.
inline uint32_t le24At(const Bytes& b, size_t at) {
    return loadLe24(&b.at(at + 2) - 2);
}

// A colour that differs in every channel from its neighbours, top byte clear.
inline uint32_t patternColour(int32_t x, int32_t y) {
    const uint32_t v = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u ^ 0x5A3C96u;
    return (v ^ v >> 13) & 0x00FFFFFFu;
}

inline uint32_t rawWord(Dib32Image& image, size_t i) {
    return image.words().load(int64_t(i));
}

inline void setRawWord(Dib32Image& image, size_t i, uint32_t v) {
    image.words().store(int64_t(i), v);
}

inline void paintPattern(Dib32Image& image) {
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x)
            image.setPixel(x, y, patternColour(x, y));
}

// The image is w x h and its pixel (x, y) is expected(x, y).
template <typename Expected>
void expectPixels(const ImageReader& image, int32_t w, int32_t h, Expected expected) {
    ASSERT_EQ(image.width(), w);
    ASSERT_EQ(image.height(), h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            ASSERT_EQ(image.pixel(x, y), uint32_t(expected(x, y))) << x << "," << y;
}

// Everything observable about an image, its storage's address and bytes included.
using Snapshot = std::tuple<int32_t, int32_t, bool, const uint32_t*, Bytes>;

inline Snapshot snapshot(Dib32Image& image) {
    const auto* header = static_cast<const uint8_t*>(image.header());
    const size_t size = 54 + 4 * size_t(image.width()) * size_t(image.height());
    return {image.width(), image.height(), image.isBottomUp(), image.bits(),
            header ? Bytes(header - 14, header - 14 + size) : Bytes()};
}

// Widths that take every padding of a 24-bit row, the program's picture and a
// picture of no rows, with the 24-bit file's row length.
struct Shape24 {
    int32_t width, height;
    size_t stride;
};
// clang-format off
inline constexpr Shape24 kShapes24[] = {
    {1, 3, 4},
    {2, 3, 8},
    {3, 3, 12},
    {4, 3, 12},
    {5, 3, 16},
    {479, 3, 1440},
    {480, 320, 1440},
    {7, 0, 24},
};
// clang-format on

struct BmpShape {
    int32_t width;
    int32_t height;
    int bitsPerPixel = 24;
    int32_t infoSize = 40;
    int32_t gap = 0;       // bytes between the info header and the pixel array
    int32_t trailing = 0;  // bytes after the pixel array
};

// A bottom-up file whose pixel (x, y) is patternColour(x, y). Every byte the
// decoder must not examine (reserved, the byte after bits per pixel, the info
// header's tail, gap, padding, fourth bytes, trailing bytes) holds 0xA5.
inline Bytes buildBmp(const BmpShape& s) {
    const int32_t offset = 14 + s.infoSize + s.gap;
    const int32_t bytes = s.bitsPerPixel / 8;
    const int32_t stride = (bytes * s.width + 3) / 4 * 4;
    Bytes b(size_t(offset + stride * s.height + s.trailing), 0xA5);
    const uint32_t size = uint32_t(b.size() - size_t(s.trailing));
    const Bytes header = expectedHeader(s.width, s.height, uint8_t(s.bitsPerPixel), size);
    std::copy(header.begin(), header.begin() + 34, b.begin());
    putLe32At(b, 6, 0xA5A5A5A5u);
    b[29] = 0xA5;
    putLe32At(b, 10, uint32_t(offset));
    putLe32At(b, 14, uint32_t(s.infoSize));
    for (int32_t y = 0; y < s.height; ++y) {
        for (int32_t x = 0; x < s.width; ++x)
            storeLe24(&b[size_t(offset + y * stride + x * bytes)], patternColour(x, y));
    }
    return b;
}

// A file as either kind of source. As a ByteReader it is read through copyOut
// alone, a heap block of exactly the file's bytes (the sanitizer sees any read
// past them). As an InputStream it delivers the bytes in order.
class FileSource final : public ByteReader, public InputStream {
public:
    explicit FileSource(Bytes bytes) : bytes_(std::move(bytes)) {}

    int32_t size() const override { return int32_t(bytes_.size()); }
    uint8_t* copyOut() const override {
        ++copies;
        uint8_t* p = refuseCopy ? nullptr : allocBlock(size());
        if (p != nullptr)
            std::memcpy(p, bytes_.data(), bytes_.size());
        return p;
    }
    int32_t readAt(int32_t, uint8_t*, int32_t) const override { return 0; }
    uint8_t byteAt(int32_t) const override { throw std::out_of_range("無効なインデックス"); }
    bool equals(const ByteReader*) const override { return false; }
    bool equalsBytes(const uint8_t*, int32_t) const override { return false; }
    int32_t read(uint8_t* buffer, int32_t count) override {
        requests.push_back(count);
        const size_t n = count < 1 ? 0 : std::min(bytes_.size() - pos_, size_t(count));
        std::copy_n(bytes_.begin() + long(pos_), n, buffer);
        pos_ += n;
        return int32_t(n);
    }

    bool refuseCopy = false;
    mutable int copies = 0;
    std::vector<int32_t> requests;

private:
    Bytes bytes_;
    size_t pos_ = 0;
};

// The file save writes, which must come in one block.
inline Bytes saveToBytes(const Dib32Image& image, int32_t id) {
    CollectingStream out;
    EXPECT_TRUE(image.save(&out, id)) << "id " << id;
    EXPECT_EQ(out.calls, 1);
    return out.written;
}
