#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb_image.h>
#include <stb_image_write.h>

#include <cstring>

#include "bench/reference_codec.h"

int64_t referenceDecode(const std::vector<uint8_t>& file) {
    int w = 0, h = 0, comp = 0;
    stbi_uc* pixels = stbi_load_from_memory(file.data(), int(file.size()), &w, &h, &comp, 0);
    if (pixels == nullptr)
        return 0;
    stbi_image_free(pixels);
    return int64_t(w) * h;
}

static void append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const size_t at = out->size();
    out->resize(at + size_t(size));
    std::memcpy(out->data() + at, data, size_t(size));
}

bool referenceEncode(int width, int height, const std::vector<uint8_t>& rgb,
                     std::vector<uint8_t>* out) {
    out->clear();
    return stbi_write_bmp_to_func(append, out, width, height, 3, rgb.data()) != 0;
}
