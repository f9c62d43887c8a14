#include "image/bmp_layout.h"
#include "image/dib32_image.h"

// Rows of another Dib32Image are copied as whole rows of words: the same
// values its pixel() would give, without two calls per pixel.
static void copyWords(uint8_t* dst, const uint8_t* src, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        storeLe32(dst + 4 * i, loadLe32(src + 4 * i) & 0x00FFFFFFu);
}

bool Dib32Image::copyFrom(const ImageReader* source)
{
    if (source == nullptr || source == static_cast<const ImageReader*>(this))
        return false;
    const Dib32Image* image = dynamic_cast<const Dib32Image*>(source);
    if (!create(source->width(), source->height()))
        return false;
    const int32_t w = width();
    const int32_t h = height();
    const bool flip = !source->isBottomUp();
    if (flip)
        setSignedHeight(-h);

    // The raw rows stand in for pixel() only while the source's reported
    // size lies inside its storage; otherwise its pixel() decides, and throws.
    if (image != nullptr && image->wordsInside() >= 0) {
        for (int32_t i = 0; i < h; ++i) {
            const int32_t from = flip ? h - 1 - i : i;
            copyWords(pixels_ + int64_t(i) * 4 * w, image->pixels_ + int64_t(from) * 4 * w, w);
        }
        return true;
    }
    for (int32_t i = 0; i < h; ++i) {
        const int32_t from = flip ? h - 1 - i : i;
        for (int32_t j = 0; j < w; ++j)
            setPixel(j, i, source->pixel(j, from));
    }
    return true;
}
