// The image library on the program's 480 x 320 picture, against a memcpy of
// the same bytes and against the reference codec's BMP reader and writer.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/bench_ratios.h"
#include "bench/memory_sink.h"
#include "bench/reference_codec.h"
#include "image/image.h"

static const int32_t kWidth = 480;
static const int32_t kHeight = 320;

static void paint(Dib32Image& image) {
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x)
            image.setPixel(x, y, uint32_t(x * 0x010203 + y * 0x030201) ^ uint32_t(x * y));
}

static const Dib32Image& picture() {
    static Dib32Image image(kWidth, kHeight);
    static bool painted = false;
    if (!painted) {
        paint(image);
        painted = true;
    }
    return image;
}

static const std::vector<uint8_t>& file24() {
    static MemorySink sink;
    if (sink.bytes.empty())
        picture().save(&sink, 0x30);
    return sink.bytes;
}

static void BM_ImageLoadFromBlock24(benchmark::State& state) {
    const std::vector<uint8_t>& file = file24();
    MemoryBlockReader reader(file.data(), int32_t(file.size()));
    Dib32Image image(kWidth, kHeight);
    for (auto _ : state) {
        if (!image.loadFromBlock(&reader, 0x30))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.bits());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_ImageLoadFromBlock24)->Unit(benchmark::kMicrosecond);

static void BM_ReferenceLoadBmp24(benchmark::State& state) {
    const std::vector<uint8_t>& file = file24();
    for (auto _ : state) {
        if (referenceDecode(file) != int64_t(kWidth) * kHeight)
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_ReferenceLoadBmp24)->Unit(benchmark::kMicrosecond);

static void BM_ImageSave24(benchmark::State& state) {
    const Dib32Image& image = picture();
    MemorySink sink;
    for (auto _ : state) {
        if (!image.save(&sink, 0x30))
            state.SkipWithError("save failed");
        benchmark::DoNotOptimize(sink.bytes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file24().size()));
}
BENCHMARK(BM_ImageSave24)->Unit(benchmark::kMicrosecond);

static void BM_ReferenceWriteBmp24(benchmark::State& state) {
    // The same picture as the RGB rows the writer takes, top row first.
    const Dib32Image& image = picture();
    std::vector<uint8_t> rgb;
    for (int32_t y = kHeight - 1; y >= 0; --y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            rgb.push_back(image.red(x, y));
            rgb.push_back(image.green(x, y));
            rgb.push_back(image.blue(x, y));
        }
    }
    std::vector<uint8_t> out;
    out.reserve(1 << 20);
    for (auto _ : state) {
        if (!referenceEncode(kWidth, kHeight, rgb, &out))
            state.SkipWithError("write failed");
        benchmark::DoNotOptimize(out.data());
    }
    if (out != file24())
        state.SkipWithError("the two writers made different files");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file24().size()));
}
BENCHMARK(BM_ReferenceWriteBmp24)->Unit(benchmark::kMicrosecond);

static void BM_ImageCopyFrom(benchmark::State& state) {
    const Dib32Image& source = picture();
    Dib32Image image(kWidth, kHeight);
    for (auto _ : state) {
        if (!image.copyFrom(&source))
            state.SkipWithError("copy failed");
        benchmark::DoNotOptimize(image.bits());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 4);
}
BENCHMARK(BM_ImageCopyFrom)->Unit(benchmark::kMicrosecond);

// memcpy of n bytes between two buffers that stay in place.
static void memcpyBytes(benchmark::State& state, size_t n) {
    std::vector<uint8_t> from(n, 0x5A);
    std::vector<uint8_t> to(n, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), n);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n));
}

// The pixel words of the picture: what copyFrom moves.
static void BM_MemcpyPixelWords(benchmark::State& state) {
    memcpyBytes(state, size_t(kWidth) * kHeight * 4);
}
BENCHMARK(BM_MemcpyPixelWords)->Unit(benchmark::kMicrosecond);

// The 24-bit file: what the decoder reads and the encoder writes.
static void BM_MemcpyFile24(benchmark::State& state) {
    memcpyBytes(state, file24().size());
}
BENCHMARK(BM_MemcpyFile24)->Unit(benchmark::kMicrosecond);

static BenchRatioEntry ratios[] = {
    {"BM_ImageLoadFromBlock24", "BM_ReferenceLoadBmp24", 1.0},
    {"BM_ImageLoadFromBlock24", "BM_MemcpyFile24", 4.0},
    {"BM_ImageSave24", "BM_ReferenceWriteBmp24", 1.0},
    {"BM_ImageSave24", "BM_MemcpyFile24", 4.0},
    {"BM_ImageCopyFrom", "BM_MemcpyPixelWords", 4.0},
};
