// Any byte sequence handed to the decoder either loads as the picture its
// bytes describe or is refused with the image untouched; the sanitizers catch
// every read outside the bytes, every overflow and every leak.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/image.h"

// A findings report the fuzzer keeps: the input that broke a promise.
#define PROMISE(cond)           \
    do {                        \
        if (!(cond))            \
            __builtin_trap();   \
    } while (0)

static uint32_t fieldAt(const uint8_t* d, size_t at)
{
    return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 |
           uint32_t(d[at + 3]) << 24;
}

class BytesInput final : public InputStream {
public:
    BytesInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int32_t read(uint8_t* buffer, int32_t count) override
    {
        if (count < 1)
            return 0;
        const size_t n = std::min(size_ - pos_, size_t(count));
        if (n > 0)
            std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        return int32_t(n);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

static std::vector<uint32_t> wordsOf(const Dib32Image& image)
{
    std::vector<uint32_t> words;
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x)
            words.push_back(image.pixel(x, y));
    return words;
}

static void paint(Dib32Image& image)
{
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x)
            image.setPixel(x, y, uint32_t(x * 0x10203 + y * 0x30201));
}

// The picture the file's own fields describe, read here byte by byte.
static void expectFilePicture(const Dib32Image& image, const uint8_t* data)
{
    const int32_t width = int32_t(fieldAt(data, 18));
    const int32_t height = int32_t(fieldAt(data, 22));
    const int bytesPerPixel = data[28] / 8;
    const int64_t stride = bytesPerPixel == 4 ? 4 * int64_t(width) : (3 * int64_t(width) + 3) / 4 * 4;
    const int64_t offset = int32_t(fieldAt(data, 10));
    PROMISE(image.width() == width && image.height() == height && image.isBottomUp());
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = data + offset + y * stride + x * bytesPerPixel;
            PROMISE(image.pixel(x, y) == (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16));
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 24)
        return 0;
    MemoryBlockReader reader(data, int32_t(size));
    Dib32Image image(3, 2);
    paint(image);
    const std::vector<uint32_t> before = wordsOf(image);
    const uint32_t* bitsBefore = image.bits();

    const bool loaded = image.loadFromBlock(&reader, 0x30);
    if (loaded) {
        expectFilePicture(image, data);
    } else {
        PROMISE(image.width() == 3 && image.height() == 2 && image.bits() == bitsBefore);
        PROMISE(wordsOf(image) == before);
    }

    // The stream entry point reads the file-size field's count of bytes; where
    // the input holds that many, it agrees with the block entry point (which
    // also holds the first six bytes).
    if (size >= 6 && data[0] == 0x42 && data[1] == 0x4D) {
        const int64_t fileSize = int32_t(fieldAt(data, 2));
        if (fileSize >= 54 && fileSize <= int64_t(size)) {
            BytesInput input(data, size);
            Dib32Image viaStream(2, 3);
            const bool streamed = viaStream.loadFromStream(&input, 0x31);
            const int64_t offset = int32_t(fieldAt(data, 10));
            PROMISE(!streamed || loaded);
            PROMISE(streamed == (loaded && offset >= 6));
            if (streamed)
                PROMISE(wordsOf(viaStream) == wordsOf(image));
            else
                PROMISE(viaStream.width() == 2 && viaStream.height() == 3);
        }
    }
    return 0;
}
