#include "tests/fuzz/bmp_seed_files.h"

#include <stdexcept>

#include "image/image.h"
#include "stream/little_endian.h"
#include "tests/support/collecting_stream.h"

std::vector<std::pair<std::string, std::vector<uint8_t>>> bmpSeedFiles() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
    const int sizes[][2] = {{1, 1}, {2, 2}, {3, 2}, {5, 3}, {4, 1}, {7, 4}};
    for (auto [w, h] : sizes) {
        Dib32Image image(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, uint32_t((x * 67 + y * 131) * 0x010305));
        for (int32_t id : {0x30, 0x31}) {
            CollectingStream out;
            const std::string name =
                std::to_string(w) + "x" + std::to_string(h) + (id == 0x30 ? "-24" : "-32");
            // A seed left out would shrink the corpus unseen.
            if (!image.save(&out, id))
                throw std::runtime_error("the encoder did not write " + name + ".bmp");
            const std::vector<uint8_t>& file = out.written;
            seeds.emplace_back(name + ".bmp", file);
            if (w == 3) {
                // A 108-byte info header and a 2-byte gap before the pixels.
                std::vector<uint8_t> longer(file.begin(), file.begin() + 54);
                longer.insert(longer.end(), 68 + 2, 0);
                longer.insert(longer.end(), file.begin() + 54, file.end());
                storeLe32(&longer[2], uint32_t(longer.size()));
                storeLe32(&longer[10], 54 + 68 + 2);
                storeLe32(&longer[14], 108);
                std::vector<uint8_t> trailing = file;
                trailing.insert(trailing.end(), 5, 0xCC);
                seeds.emplace_back(name + "-v4.bmp", longer);
                seeds.emplace_back(name + "-tail.bmp", trailing);
            }
        }
    }
    return seeds;
}
