#pragma once
// What both fuzz targets check an image against.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "image/image.h"
#include "stream/little_endian.h"
#include "tests/support/pixel_words.h"

// A findings report the fuzzer keeps: the input that broke a promise.
#define PROMISE(cond)         \
    do {                      \
        if (!(cond))          \
            __builtin_trap(); \
    } while (0)

// A signed header field; the caller has checked that its bytes are there.
inline int32_t fieldAt(const uint8_t* data, size_t at) {
    return int32_t(loadLe32(data + at));
}

// The picture the file's own fields describe, read straight from its bytes.
inline void expectFilePicture(const Dib32Image& image, const uint8_t* data) {
    const int32_t width = fieldAt(data, 18);
    const int32_t height = fieldAt(data, 22);
    const int bytesPerPixel = data[28] / 8;
    const int64_t stride =
        bytesPerPixel == 4 ? 4 * int64_t(width) : (3 * int64_t(width) + 3) / 4 * 4;
    const int64_t offset = fieldAt(data, 10);
    PROMISE(image.width() == width && image.height() == height && image.isBottomUp());
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            PROMISE(image.pixel(x, y) == loadLe24(data + offset + y * stride + x * bytesPerPixel));
}

// A painted 3 x 2 image to load into: afterwards it holds the picture the
// file's fields describe, or, refused, is exactly as it was.
class FuzzedImage {
public:
    FuzzedImage() {
        for (int32_t y = 0; y < image.height(); ++y)
            for (int32_t x = 0; x < image.width(); ++x)
                image.setPixel(x, y, uint32_t(x * 0x10203 + y * 0x30201));
        before_ = wordsOf(image);
    }
    void expectLoadedOrUntouched(bool loaded, const uint8_t* file) {
        if (loaded)
            return expectFilePicture(image, file);
        PROMISE(image.width() == 3 && image.height() == 2 && image.bits() == bitsBefore_);
        PROMISE(wordsOf(image) == before_);
    }

    Dib32Image image{3, 2};

private:
    const uint32_t* bitsBefore_ = image.bits();
    std::vector<uint32_t> before_;
};

// The file's bytes in order; read number failAt (-1: none) fails as kind
// and amount say (see bmp_stream_fuzz.cpp).
class FailingInput final : public InputStream {
public:
    FailingInput(const uint8_t* data, size_t size, int failAt, int kind, uint8_t amount)
        : data_(data), size_(size), failAt_(failAt), kind_(kind), amount_(amount) {}

    int32_t read(uint8_t* buffer, int32_t count) override {
        // Once a read has come up short the loader has no business asking again.
        PROMISE(!cameShort_ && count >= 1);
        const int call = calls_++;
        const size_t n = std::min(size_ - pos_, size_t(count));
        if (n > 0)
            std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        int32_t result = int32_t(n);
        if (call == failAt_) {
            failed_ = true;
            if (kind_ == 0)
                result = 0;
            else if (kind_ == 1 && count > 1)
                result = std::min(result, 1 + int32_t(amount_ % uint32_t(count - 1)));
            else if (kind_ == 1)
                result = 0;
            else
                result = amount_ == 0 ? INT32_MIN : -int32_t(amount_);
        }
        cameShort_ = result != count;
        asked_ += count;
        if (!cameShort_)
            delivered_ += count;
        return result;
    }

    bool failed() const { return failed_; }
    int64_t asked() const { return asked_; }
    int64_t delivered() const { return delivered_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    int failAt_;
    int kind_;
    uint8_t amount_;
    int calls_ = 0;
    int64_t asked_ = 0;
    int64_t delivered_ = 0;
    bool failed_ = false;
    bool cameShort_ = false;
};
