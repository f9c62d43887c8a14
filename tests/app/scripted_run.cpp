// One scripted, seeded run of the logic on the built-in resources, for every
// build (natively, under wine, under Node) and for the page's end-to-end test,
// which plays the same script with real input: all must end on the same
// picture. Usage: hoppel_scripted_run <resources> <script> <saved.bmp>
// Script lines: seed N | move X Y | click X Y | tap X Y | auto | tick | clear
// | expect CRC32 COUNT (view client coordinates at 96 DPI; # comments).
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/seeded_random.h"
#include "tests/support/fake_platform.h"
#include "tests/support/file_bytes.h"
#include "tools/crc32.h"
#include "tools/resource_files.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <resources> <script> <saved.bmp>\n", argv[0]);
        return 2;
    }
    const std::vector<std::vector<uint8_t>> files = readResourceFiles(argv[1]);
    if (files.empty())
        return 2;
    std::ifstream script(argv[2]);
    std::string line, verb;
    uint32_t seed = 0;
    std::vector<std::string> steps;
    uint32_t expectedCrc = 0;
    int32_t expectedCount = -1;
    while (std::getline(script, line)) {
        std::istringstream words(line);
        if (!(words >> verb) || verb[0] == '#')
            continue;
        if (verb == "seed")
            words >> seed;
        else if (verb == "expect")
            words >> std::hex >> expectedCrc >> std::dec >> expectedCount;
        else
            steps.push_back(line);
    }

    FakePlatform platform;
    SeededRandom random(seed);
    App app(platform, random);
    platform.observed = &app.state();
    const auto size = [&](size_t i) { return static_cast<int32_t>(files[i].size()); };
    const Sound sounds[3] = {
        {files[2].data(), size(2)}, {files[3].data(), size(3)}, {files[4].data(), size(4)}};
    app.loadBuiltIns(files[0].data(), size(0), files[1].data(), size(1), sounds);
    for (const std::string& step : steps) {
        std::istringstream words(step);
        int x = 0, y = 0;
        words >> verb >> x >> y;
        const auto u16 = [](int v) { return static_cast<uint16_t>(v); };
        if (verb == "move" || verb == "tap")
            app.pointerMoved(u16(x), u16(y));
        if (verb == "click" || verb == "tap")
            app.leftButtonDown(u16(x), u16(y));
        else if (verb == "auto")
            app.toggleAutoMode();
        else if (verb == "tick")
            app.autoTick();
        else if (verb == "clear")
            app.clear();
    }
    if (!app.savePicture(argv[3])) {
        std::fprintf(stderr, "cannot save %s\n", argv[3]);
        return 2;
    }
    const std::vector<uint8_t> saved = readWholeFile(argv[3]);
    const uint32_t crc = crc32(saved.data(), saved.size());
    const int32_t count = app.state().slapCount;
    std::printf("crc32 %08x count %d\n", static_cast<unsigned>(crc), static_cast<int>(count));
    if (expectedCount >= 0 && (crc != expectedCrc || count != expectedCount)) {
        std::printf("expected crc32 %08x count %d\n", static_cast<unsigned>(expectedCrc),
                    static_cast<int>(expectedCount));
        return 1;
    }
    return 0;
}
