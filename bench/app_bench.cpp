// The application's two hot paths against a memcpy of the picture's pixel
// words (614,400 bytes) measured in the same run: a slap far from the edges
// and the paint's composition with the hand shown.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/seeded_random.h"
#include "bench/bench_ratios.h"
#include "bench/silent_platform.h"

static const size_t kPictureBytes = size_t(kPictureWidth) * kPictureHeight * 4;

// Skin of varied colour (blue below 255) with background along the sides, so
// the slap meets both.
static void paintFigure(Dib32Image& image) {
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x) {
            const bool background = x < 60 || x > 420;
            const uint32_t word = background
                                      ? 0x0000FFu
                                      : (uint32_t(150 + (x + y) % 40) << 16) |
                                            (uint32_t(200 + x % 50) << 8) | uint32_t(190 + y % 60);
            image.setPixel(x, y, word);
        }
}

static void BM_AppSlapAt(benchmark::State& state) {
    SilentPlatform platform;
    SeededRandom random(20240601u);
    App app(platform, random);
    AppState& s = app.state();
    paintFigure(*s.untouchedPicture);
    s.currentPicture->copyFrom(s.untouchedPicture.get());
    int64_t slaps = 0;
    for (auto _ : state) {
        // Back to the untouched picture now and then, outside the timing, so
        // the slaps keep reddening instead of meeting a saturated spot.
        if (++slaps % 32 == 0) {
            state.PauseTiming();
            std::memcpy(s.currentPicture->bits(), s.untouchedPicture->bits(), kPictureBytes);
            state.ResumeTiming();
        }
        app.slapAt(240, 160);
        benchmark::ClobberMemory();
    }
    if (s.slapCount != int32_t(slaps))
        state.SkipWithError("a slap did not count");
}
BENCHMARK(BM_AppSlapAt)->Unit(benchmark::kMicrosecond);

static void BM_AppComposeDisplayWithHand(benchmark::State& state) {
    SilentPlatform platform;
    SeededRandom random(1u);
    App app(platform, random);
    AppState& s = app.state();
    paintFigure(*s.currentPicture);
    // A hand-shaped blot on white: about half the hand's pixels cover.
    Dib32Image& hand = *s.handImage;
    for (int32_t i = 0; i < kHandHeight; ++i)
        for (int32_t j = 0; j < kHandWidth; ++j) {
            const int32_t dx = j - 98, dy = i - 50;
            const bool inside = dx * dx / 4 + dy * dy < 48 * 48;
            hand.setPixel(j, i, inside ? 0x00E0B090u + uint32_t(j) : 0x00FFFFFFu);
        }
    s.handX = 240;
    s.handY = 160;
    for (auto _ : state) {
        app.composeDisplay();
        benchmark::DoNotOptimize(s.displayImage->bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AppComposeDisplayWithHand)->Unit(benchmark::kMicrosecond);

// Against the image benchmarks' memcpy of the same 614,400 pixel bytes.
static BenchRatioEntry appRatios[] = {
    {"BM_AppSlapAt", "BM_MemcpyPixelWords", 2.0},
    {"BM_AppComposeDisplayWithHand", "BM_MemcpyPixelWords", 2.0},
};
