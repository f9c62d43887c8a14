#pragma once
// BMP files built apart from the image library, and the files the program
// must refuse as its picture.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "stream/little_endian.h"

// The 54 header bytes of a w x h file, every optional field 0, written out
// field by field.
inline std::vector<uint8_t> expectedHeader(int32_t w, int32_t h, uint8_t bitsPerPixel,
                                           uint32_t fileSize) {
    std::vector<uint8_t> b(54, 0);
    const uint32_t fields[][2] = {{0, 'B' | 'M' << 8},
                                  {2, fileSize},
                                  {10, 54},
                                  {14, 40},
                                  {18, uint32_t(w)},
                                  {22, uint32_t(h)},
                                  {26, 1u | uint32_t(bitsPerPixel) << 16}};
    for (const auto& field : fields)
        storeLe32(&b[field[0]], field[1]);
    return b;
}

// A bottom-up 24-bit file with that header; colour(x, y) is 0x00RRGGBB, row
// 0 the bottom one.
inline std::vector<uint8_t> bmpFile24(int32_t width, int32_t height,
                                      const std::function<uint32_t(int32_t, int32_t)>& colour) {
    const uint32_t stride = (3 * uint32_t(width) + 3) / 4 * 4;
    const uint32_t size = 54 + stride * uint32_t(height);
    std::vector<uint8_t> b = expectedHeader(width, height, 24, size);
    b.resize(size, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            storeLe24(&b[54 + size_t(stride) * uint32_t(y) + 3 * size_t(x)], colour(x, y));
    return b;
}

using NamedFile = std::pair<std::string, std::vector<uint8_t>>;

// Each named by what is wrong with it; all but the last three are at least
// the 460,854 bytes a picture takes.
inline std::vector<NamedFile> rejectedPictureFiles() {
    const auto skin = [](int32_t x, int32_t y) {
        return 0xC89678u + uint32_t((x + 3 * y) % 7 << 8);
    };
    const std::vector<uint8_t> good = bmpFile24(480, 320, skin);
    std::vector<uint8_t> topDown = good, compressed = good, eightBit = good;
    storeLe32(&topDown[22], uint32_t(-320));
    compressed[30] = 1;
    eightBit[28] = 8;
    eightBit.resize(54 + 1024 + 480 * 320);
    return {
        {"top-down rows", topDown},
        {"compressed", compressed},
        {"481 x 320", bmpFile24(481, 320, skin)},
        {"480 x 321", bmpFile24(480, 321, skin)},
        {"479 x 320", bmpFile24(479, 320, skin)},
        {"no BMP at all", std::vector<uint8_t>(460854, 'Q')},
        {"no BMP, larger", std::vector<uint8_t>(700000, 0)},
        {"8 bits per pixel", eightBit},
        {"one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"empty", {}},
    };
}
