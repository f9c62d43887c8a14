#pragma once
// One row of pixels between a 24-bit BMP row (blue, green, red per pixel) and
// pixel words (blue, green, red, 0), as the decoder and encoder convert them.
// Each kernel reads and writes exactly the row's bytes, never past them.
#include <cstdint>
#include <vector>

struct BmpRowKernels {
    const char* name;
    // width words at dst from the 3 x width bytes at src; top bytes 0.
    void (*expand24)(uint8_t* dst, const uint8_t* src, int32_t width);
    // 3 x width bytes at dst from the width words at src; top bytes dropped.
    void (*pack24)(uint8_t* dst, const uint8_t* src, int32_t width);
};

// Every set of kernels this processor runs, the portable one first and the
// fastest last; all give the same bytes.
const std::vector<BmpRowKernels>& runnableBmpRowKernels();
// The fastest of them, chosen once.
const BmpRowKernels& bmpRowKernels();
