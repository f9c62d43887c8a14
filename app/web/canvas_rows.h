#pragma once
// The display's pixel words as the bytes a canvas takes.
#include <cstdint>

#include "stream/little_endian.h"

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

// One row of pixel words (blue, green, red, any) as the canvas's bytes (red,
// green, blue, opaque): the page hands them to the canvas as they are.
inline void rowToCanvas(uint8_t* out, const uint8_t* words, int32_t width) {
    int32_t x = 0;
#if defined(__wasm_simd128__)
    const v128_t opaque = wasm_i32x4_splat(-1);
    for (; x + 4 <= width; x += 4)
        wasm_v128_store(out + 4 * x,
                        wasm_i8x16_shuffle(wasm_v128_load(words + 4 * x), opaque, 2, 1, 0, 16, 6, 5,
                                           4, 16, 10, 9, 8, 16, 14, 13, 12, 16));
#endif
    for (; x < width; ++x)
        storeLe32(out + 4 * x, 0xFF000000u | __builtin_bswap32(loadLe32(words + 4 * x)) >> 8);
}
