#include "tests/resources/resource_bytes.h"

#include <gtest/gtest.h>

#include "stream/little_endian.h"

Bytes readResource(const std::string& name) {
    return readWholeFile(std::string(HOPPEL_RESOURCE_DIR) + "/" + name);
}

// at() checks that the field's last byte is in the file.
uint16_t le16(const Bytes& b, size_t at) {
    return loadLe16(&b.at(at + 1) - 1);
}

uint32_t le32(const Bytes& b, size_t at) {
    return loadLe32(&b.at(at + 3) - 3);
}

void expectFields(const Bytes& file, std::initializer_list<Field> fields) {
    for (const Field& f : fields) {
        const uint32_t got = f.width == 1   ? file.at(f.at)
                             : f.width == 2 ? le16(file, f.at)
                                            : le32(file, f.at);
        EXPECT_EQ(got, f.value) << "field at offset " << f.at;
    }
}

void expectInfoHeader(const Bytes& file, size_t at, uint32_t width, uint32_t height,
                      uint16_t bitCount) {
    expectFields(file, {{at, 4, 40},
                        {at + 4, 4, width},
                        {at + 8, 4, height},
                        {at + 12, 2, 1},
                        {at + 14, 2, bitCount},
                        {at + 16, 4, 0}});
}

BmpPixels rawPixels(const Bytes& file) {
    BmpPixels p;
    if (file.size() < 54)
        return p;
    p.width = static_cast<int32_t>(le32(file, 18));
    p.height = static_cast<int32_t>(le32(file, 22));
    const size_t stride = (static_cast<size_t>(p.width) * 3 + 3) / 4 * 4, offset = le32(file, 10);
    if (p.width <= 0 || p.height <= 0 || offset + stride * p.height > file.size())
        return {};
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x)
            p.words.push_back(loadLe24(&file[offset + stride * y + 3 * static_cast<size_t>(x)]));
    }
    return p;
}
