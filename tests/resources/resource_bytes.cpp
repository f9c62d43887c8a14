#include "tests/resources/resource_bytes.h"

#include <fstream>
#include <iterator>

Bytes readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes readResource(const std::string& name) { return readFileBytes(std::string(HOPPEL_RESOURCE_DIR) + "/" + name); }

uint16_t le16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8)); }

uint32_t le32(const Bytes& b, size_t at) { return le16(b, at) | (static_cast<uint32_t>(le16(b, at + 2)) << 16); }

int32_t les32(const Bytes& b, size_t at) { return static_cast<int32_t>(le32(b, at)); }

std::string fourCc(const Bytes& b, size_t at) {
    return std::string(reinterpret_cast<const char*>(&b.at(at)), 4);
}

BmpPixels rawPixels(const Bytes& file) {
    BmpPixels p;
    if (file.size() < 54) return p;
    p.width = les32(file, 18);
    p.height = les32(file, 22);
    const size_t stride = (static_cast<size_t>(p.width) * 3 + 3) / 4 * 4;
    const size_t offset = le32(file, 10);
    if (p.width <= 0 || p.height <= 0 || offset + stride * p.height > file.size()) return {};
    p.words.resize(static_cast<size_t>(p.width) * p.height);
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const size_t at = offset + stride * y + 3 * static_cast<size_t>(x);
            p.words[static_cast<size_t>(y) * p.width + x] =
                (static_cast<uint32_t>(file[at + 2]) << 16) | (static_cast<uint32_t>(file[at + 1]) << 8) | file[at];
        }
    }
    return p;
}
