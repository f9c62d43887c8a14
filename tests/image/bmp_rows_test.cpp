#include <gtest/gtest.h>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#endif

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "image/bmp_rows.h"

void PrintTo(const BmpRowKernels& kernels, std::ostream* os) {
    *os << kernels.name;
}

// Every kernel set this processor runs against bytes worked out one by one,
// on widths around each loop's step and stopping points. The rows sit in
// blocks of exactly their size, so a read past the end is caught by the
// sanitizers; writes past the end land on guard bytes that must stay.
class BmpRowKernelsTest : public ::testing::TestWithParam<BmpRowKernels> {
protected:
    static constexpr uint8_t kGuard = 0xA5;
    static std::vector<int32_t> widths() {
        std::vector<int32_t> w;
        for (int32_t i = 0; i <= 40; ++i)
            w.push_back(i);
        w.insert(w.end(), {63, 64, 65, 479, 480, 481});
        return w;
    }
    static uint8_t byteAt(int32_t i, int32_t width) { return uint8_t(i * 37 + width * 11 + 5); }
};

// Expand gives each pixel its three bytes and a zero top byte; pack drops the top bytes, which
// hold values too.
TEST_P(BmpRowKernelsTest, ExpandAndPackMoveThreeBytesOfEachPixelAndNothingPastTheRow) {
    const struct {
        const char* name;
        decltype(&BmpRowKernels::expand24) kernel;
        size_t in, out;  // bytes per pixel
    } cases[] = {
        {"ExpandGivesEachPixelsThreeBytesAndAZeroTopByte", &BmpRowKernels::expand24, 3, 4},
        {"PackKeepsThreeBytesOfEachWordAndNothingPastTheRow", &BmpRowKernels::pack24, 4, 3},
    };
    for (const auto& c : cases) {
        for (int32_t width : widths()) {
            SCOPED_TRACE(std::string(c.name) + ", width " + std::to_string(width));
            const size_t in = c.in * size_t(width), out = c.out * size_t(width);
            std::unique_ptr<uint8_t[]> src(new uint8_t[in == 0 ? 1 : in]);
            for (size_t i = 0; i < in; ++i)
                src[i] = byteAt(int32_t(i), width);
            std::vector<uint8_t> dst(out + 32, kGuard);
            (GetParam().*c.kernel)(dst.data(), src.get(), width);
            for (size_t i = 0; i < out; ++i)
                ASSERT_EQ(dst[i], i % c.out < 3 ? src[i / c.out * c.in + i % c.out] : 0) << i;
            for (size_t i = out; i < dst.size(); ++i)
                ASSERT_EQ(dst[i], kGuard) << "written past the row at " << i;
        }
    }
}

namespace {

// The best set this processor and operating system run, asked of the
// processor directly rather than through the compiler's helpers the choice uses.
std::string bestSupportedSet() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return "portable";
    const bool ssse3 = (c & bit_SSSE3) != 0;
    // AVX2 needs the operating system to save the wide registers (OSXSAVE,
    // then XCR0's SSE and AVX state bits).
    bool avx2 = false;
    if ((c & bit_OSXSAVE) != 0 && (c & bit_AVX) != 0) {
        unsigned xcr0Low, xcr0High;
        __asm__("xgetbv" : "=a"(xcr0Low), "=d"(xcr0High) : "c"(0));
        unsigned a7, b7, c7, d7;
        avx2 = (xcr0Low & 6) == 6 && __get_cpuid_count(7, 0, &a7, &b7, &c7, &d7) &&
               (b7 & bit_AVX2) != 0;
    }
    return avx2 ? "avx2" : ssse3 ? "ssse3" : "portable";
#elif defined(__wasm_simd128__)
    // Built for wasm SIMD, the module does not load where it is missing.
    return "simd128";
#else
    return "portable";
#endif
}

}  // namespace

TEST(BmpRowKernels, TheChosenSetIsTheBestThisMachineRuns) {
    const std::vector<BmpRowKernels>& all = runnableBmpRowKernels();
    ASSERT_FALSE(all.empty());
    EXPECT_STREQ(all.front().name, "portable");
    EXPECT_EQ(bmpRowKernels().name, bestSupportedSet());
}

INSTANTIATE_TEST_SUITE_P(Runnable, BmpRowKernelsTest, ::testing::ValuesIn(runnableBmpRowKernels()),
                         [](const ::testing::TestParamInfo<BmpRowKernels>& info) {
                             return std::string(info.param.name);
                         });
