#include <utility>

#include "image/internal/bmp_layout.h"
#include "image/dib32_image.h"

// Rows of another Dib32Image are copied as whole rows of words: the same
// values its pixel() would give, without two calls per pixel.
static void copyWords(PixelWords dst, PixelWords src, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        dst.store(i, src.load(i) & 0x00FFFFFFu);
}

bool Dib32Image::copyFrom(const ImageReader* source) {
    if (source == nullptr || source == static_cast<const ImageReader*>(this))
        return false;
    // Another Dib32Image whose reported size lies beyond its storage has no
    // pixels to give for part of it: refused before anything is built.
    const Dib32Image* image = dynamic_cast<const Dib32Image*>(source);
    if (image != nullptr && image->wordsInside() < 0)
        return false;

    // The copy is built aside and only taken over once whole, so a foreign
    // pixel() that throws part way leaves this image as it was.
    Dib32Image fresh(0, 0);
    if (!fresh.create(source->width(), source->height()))
        return false;
    const int32_t w = fresh.width();
    const int32_t h = fresh.height();
    const bool flip = !source->isBottomUp();
    if (flip)
        fresh.setSignedHeight(-h);
    for (int32_t i = 0; i < h; ++i) {
        const int32_t from = flip ? h - 1 - i : i;
        if (image != nullptr) {
            copyWords(fresh.pixels_.from(int64_t(i) * w), image->pixels_.from(int64_t(from) * w),
                      w);
            continue;
        }
        for (int32_t j = 0; j < w; ++j)
            fresh.setPixel(j, i, source->pixel(j, from));
    }

    std::swap(storage_, fresh.storage_);
    std::swap(header_, fresh.header_);
    std::swap(pixels_, fresh.pixels_);
    std::swap(width_, fresh.width_);
    std::swap(signedHeight_, fresh.signedHeight_);
    std::swap(pixelWords_, fresh.pixelWords_);
    return true;
}
