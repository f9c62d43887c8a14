// The browser build against the native one: the same four workloads, timed
// by the program itself (Google Benchmark has no wasm build here), each as
// the median of 21 batches. make bench runs it natively and under Node and
// prints the ratios. Usage: hoppel_web_bench <resources>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/seeded_random.h"
#include "bench/memory_sink.h"
#include "bench/silent_platform.h"
#include "stream/memory_block_reader.h"
#include "tools/resource_files.h"

namespace {

// Microseconds per call: the median batch of 21, each batch about 20 ms.
double median(const std::function<void()>& work) {
    using Clock = std::chrono::steady_clock;
    int64_t calls = 1;
    for (;;) {
        const auto start = Clock::now();
        for (int64_t i = 0; i < calls; ++i)
            work();
        if (Clock::now() - start > std::chrono::milliseconds(20))
            break;
        calls *= 2;
    }
    std::vector<double> perCall;
    for (int batch = 0; batch < 21; ++batch) {
        const auto start = Clock::now();
        for (int64_t i = 0; i < calls; ++i)
            work();
        perCall.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                          double(calls));
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[perCall.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources>\n", argv[0]);
        return 2;
    }
    const std::vector<std::vector<uint8_t>> files = readResourceFiles(argv[1]);
    if (files.empty())
        return 2;
    const auto size = [&](size_t i) { return int32_t(files[i].size()); };
    const std::vector<uint8_t>& picture = files[0];
    SilentPlatform platform;
    SeededRandom random(20240601u);
    App app(platform, random);
    const Sound sounds[3] = {
        {files[2].data(), size(2)}, {files[3].data(), size(3)}, {files[4].data(), size(4)}};
    app.loadBuiltIns(picture.data(), size(0), files[1].data(), size(1), sounds);
    AppState& s = app.state();
    const size_t kPictureBytes = size_t(kPictureWidth) * kPictureHeight * 4;
    int64_t slaps = 0;
    // Back to the untouched picture now and then, so slaps keep reddening.
    const double slap = median([&] {
        if (++slaps % 32 == 0)
            std::memcpy(s.currentPicture->bits(), s.untouchedPicture->bits(), kPictureBytes);
        app.slapAt(240, 160);
    });
    s.handX = 240;
    s.handY = 160;
    const double compose = median([&] { app.composeDisplay(); });
    Dib32Image decoded(kPictureWidth, kPictureHeight);
    const double decode = median([&] {
        MemoryBlockReader reader(picture.data(), int32_t(picture.size()));
        decoded.loadFromBlock(&reader, kImageReaderId);
    });
    MemorySink sink;
    const double encode = median([&] { s.currentPicture->save(&sink, kImageReaderId); });
    if (sink.bytes.size() != picture.size() || decoded.width() != kPictureWidth) {
        std::fprintf(stderr, "a workload did not do its work\n");
        return 1;
    }
    std::printf("slap %.2f\ncompose %.2f\ndecode %.2f\nencode %.2f\n", slap, compose, decode,
                encode);
    return 0;
}
