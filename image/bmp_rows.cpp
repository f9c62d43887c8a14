// The row reshuffles are most of the cost of reading and writing a 24-bit file.
// Byte shuffles do them 4 or 8 pixels at a time, but they came after the
// processors the program must run on (SSE2 only), so they are chosen at run
// time and the portable loops stay for the rest of a row and for the others.
#include "image/bmp_rows.h"

#include "stream/little_endian.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define HOPPEL_X86_KERNELS 1
#include <immintrin.h>
#endif
#if defined(__wasm_simd128__)
#define HOPPEL_WASM_KERNELS 1
#include <wasm_simd128.h>
#endif

// A word load takes one byte past the pixel; the row's last pixel is read on
// its own so that no load leaves the row.
static void expand24Portable(uint8_t* dst, const uint8_t* src, int32_t width) {
    if (width < 1)
        return;
    int64_t c = 0;
    for (; c < width - 1; ++c)
        storeLe32(dst + 4 * c, loadLe32(src + 3 * c) & 0x00FFFFFFu);
    storeLe32(dst + 4 * c, loadLe24(src + 3 * c));
}

// Each word is stored whole, its fourth byte overwritten by the next pixel;
// the last pixel is stored as three bytes so that nothing lands past the row.
static void pack24Portable(uint8_t* dst, const uint8_t* src, int32_t width) {
    if (width < 1)
        return;
    int64_t c = 0;
    for (; c < width - 1; ++c)
        storeLe32(dst + 3 * c, loadLe32(src + 4 * c) & 0x00FFFFFFu);
    storeLe24(dst + 3 * c, loadLe32(src + 4 * c));
}

#if HOPPEL_X86_KERNELS
// The loops stop where a full-width load or store would pass the row's end
// (16 bytes hold 5 pixels and a byte of the 6th); the portable loop ends it.

// Four pixels per step, inStep and outStep bytes each, through one byte
// shuffle; the 16-byte store's bytes past the 4 pixels are the next step's.
// Returns the pixels done.
template <int inStep, int outStep>
__attribute__((target("ssse3"))) static int64_t shuffleFours(uint8_t* dst, const uint8_t* src,
                                                             int32_t width, __m128i order) {
    int64_t c = 0;
    for (; c + 6 <= width; c += 4) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + inStep * c));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + outStep * c),
                         _mm_shuffle_epi8(in, order));
    }
    return c;
}

__attribute__((target("ssse3"))) static void expand24Ssse3(uint8_t* dst, const uint8_t* src,
                                                           int32_t width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const int64_t c = shuffleFours<3, 4>(dst, src, width, spread);
    expand24Portable(dst + 4 * c, src + 3 * c, int32_t(width - c));
}

__attribute__((target("ssse3"))) static void pack24Ssse3(uint8_t* dst, const uint8_t* src,
                                                         int32_t width) {
    const __m128i gather = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const int64_t c = shuffleFours<4, 3>(dst, src, width, gather);
    pack24Portable(dst + 3 * c, src + 4 * c, int32_t(width - c));
}

__attribute__((target("avx2"))) static void expand24Avx2(uint8_t* dst, const uint8_t* src,
                                                         int32_t width) {
    // The shuffle stays within 16-byte halves, so each half gets its own load.
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                            1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int64_t c = 0;
    for (; c + 10 <= width; c += 8) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * c));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * c + 12));
        const __m256i in = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 4 * c),
                            _mm256_shuffle_epi8(in, spread));
    }
    expand24Portable(dst + 4 * c, src + 3 * c, int32_t(width - c));
}

__attribute__((target("avx2"))) static void pack24Avx2(uint8_t* dst, const uint8_t* src,
                                                       int32_t width) {
    // Each half packs to 12 bytes; the permute closes the gap between them.
    const __m256i gather = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                            0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i close = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
    int64_t c = 0;
    for (; c + 11 <= width; c += 8) {
        const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 4 * c));
        const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(in, gather), close);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 3 * c), packed);
    }
    pack24Portable(dst + 3 * c, src + 4 * c, int32_t(width - c));
}
#endif

#if HOPPEL_WASM_KERNELS
// The same four pixels a step as the SSSE3 kernels, through the wasm byte
// shuffle (whose lanes are constants, hence the function object); lanes 16
// and up take the zero vector's bytes.
template <int inStep, int outStep, typename Shuffle>
static int64_t shuffleFoursSimd128(uint8_t* dst, const uint8_t* src, int32_t width,
                                   Shuffle shuffle) {
    const v128_t zero = wasm_i32x4_splat(0);
    int64_t c = 0;
    for (; c + 6 <= width; c += 4)
        wasm_v128_store(dst + outStep * c, shuffle(wasm_v128_load(src + inStep * c), zero));
    return c;
}

static void expand24Simd128(uint8_t* dst, const uint8_t* src, int32_t width) {
    const int64_t c = shuffleFoursSimd128<3, 4>(dst, src, width, [](v128_t in, v128_t zero) {
        return wasm_i8x16_shuffle(in, zero, 0, 1, 2, 16, 3, 4, 5, 16, 6, 7, 8, 16, 9, 10, 11, 16);
    });
    expand24Portable(dst + 4 * c, src + 3 * c, int32_t(width - c));
}

static void pack24Simd128(uint8_t* dst, const uint8_t* src, int32_t width) {
    const int64_t c = shuffleFoursSimd128<4, 3>(dst, src, width, [](v128_t in, v128_t zero) {
        return wasm_i8x16_shuffle(in, zero, 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 16, 16, 16, 16);
    });
    pack24Portable(dst + 3 * c, src + 4 * c, int32_t(width - c));
}
#endif

const std::vector<BmpRowKernels>& runnableBmpRowKernels() {
    static const std::vector<BmpRowKernels> kernels = [] {
        std::vector<BmpRowKernels> k{{"portable", expand24Portable, pack24Portable}};
#if HOPPEL_X86_KERNELS
        // Idempotent; needed should the first call come from a static constructor.
        __builtin_cpu_init();
        if (__builtin_cpu_supports("ssse3"))
            k.push_back({"ssse3", expand24Ssse3, pack24Ssse3});
        if (__builtin_cpu_supports("avx2"))
            k.push_back({"avx2", expand24Avx2, pack24Avx2});
#endif
#if HOPPEL_WASM_KERNELS
        k.push_back({"simd128", expand24Simd128, pack24Simd128});
#endif
        return k;
    }();
    return kernels;
}

const BmpRowKernels& bmpRowKernels() {
    static const BmpRowKernels& best = runnableBmpRowKernels().back();
    return best;
}
