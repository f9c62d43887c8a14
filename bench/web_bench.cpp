// The browser build against the native one: the same four workloads, timed
// by the program itself (Google Benchmark has no wasm build here), each as
// the median of 21 batches. make bench runs it natively and under Node and
// prints the ratios. Usage: hoppel_web_bench <resources>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/seeded_random.h"
#include "stream/memory_block_reader.h"

namespace {

class SilentPlatform final : public Platform {
public:
    void playSound(const uint8_t*, int32_t) override {}
    void pause(int32_t) override {}
    void repaintView() override {}
    void repaintWindow() override {}
    void startAutoTimer() override {}
    void stopAutoTimer() override {}
    void enableClearButton(bool) override {}
    void setAutoButtonText(const char*) override {}
    FileBytes readFile(const char*, int32_t) override { return {}; }
    bool createNewFile(const char*) override { return false; }
    ReplaceOutcome replaceFile(const char*, const char*, const char*) override {
        return ReplaceOutcome::Kept;
    }
    bool removeFile(const char*) override { return false; }
};

class MemorySink final : public OutputStream {
public:
    int32_t writeBlock(const ByteReader* source) override {
        bytes.resize(size_t(source->size()));
        return source->readAt(0, bytes.data(), source->size());
    }
    int32_t writeBytes(const uint8_t*, int32_t) override { return 0; }
    bool writeByte(uint8_t) override { return false; }
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
    const std::string dir = std::string(argv[1]) + "/";
    const std::vector<uint8_t> picture = readAll(dir + "radav.bmp");
    const std::vector<uint8_t> hand = readAll(dir + "hand.bmp");
    if (picture.empty() || hand.empty()) {
        std::fprintf(stderr, "no resources in %s\n", dir.c_str());
        return 2;
    }
    SilentPlatform platform;
    SeededRandom random(20240601u);
    App app(platform, random);
    const Sound none[3] = {};
    app.loadBuiltIns(picture.data(), int32_t(picture.size()), hand.data(), int32_t(hand.size()),
                     none);
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
