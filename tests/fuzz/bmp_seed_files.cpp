#include "tests/fuzz/bmp_seed_files.h"

#include "image/image.h"

namespace {

class VectorStream final : public OutputStream {
public:
    int32_t writeBlock(const ByteReader* source) override
    {
        const int32_t n = source->size();
        bytes.resize(size_t(n));
        return n > 0 ? source->readAt(0, bytes.data(), n) : 0;
    }
    int32_t writeBytes(const uint8_t*, int32_t) override { return 0; }
    bool writeByte(uint8_t) override { return false; }

    std::vector<uint8_t> bytes;
};

void putField(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

}  // namespace

std::vector<std::pair<std::string, std::vector<uint8_t>>> bmpSeedFiles()
{
    std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
    const int sizes[][2] = {{1, 1}, {2, 2}, {3, 2}, {5, 3}, {4, 1}, {7, 4}};
    for (auto [w, h] : sizes) {
        Dib32Image image(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, uint32_t((x * 67 + y * 131) * 0x010305));
        for (int32_t id : {0x30, 0x31}) {
            VectorStream out;
            if (!image.save(&out, id))
                continue;
            const std::vector<uint8_t>& file = out.bytes;
            const std::string name = std::to_string(w) + "x" + std::to_string(h) + (id == 0x30 ? "-24" : "-32");
            seeds.emplace_back(name + ".bmp", file);
            if (w == 3) {
                // A 108-byte info header and a 2-byte gap before the pixels.
                std::vector<uint8_t> longer(file.begin(), file.begin() + 54);
                longer.insert(longer.end(), 68 + 2, 0);
                longer.insert(longer.end(), file.begin() + 54, file.end());
                putField(longer, 2, uint32_t(longer.size()));
                putField(longer, 10, 54 + 68 + 2);
                putField(longer, 14, 108);
                std::vector<uint8_t> trailing = file;
                trailing.insert(trailing.end(), 5, 0xCC);
                seeds.emplace_back(name + "-v4.bmp", longer);
                seeds.emplace_back(name + "-tail.bmp", trailing);
            }
        }
    }
    return seeds;
}
