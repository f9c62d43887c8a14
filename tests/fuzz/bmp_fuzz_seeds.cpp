// Writes the fuzzers' seed corpus (bmpSeedFiles) into the folder given.
#include <cstdio>
#include <exception>
#include <string>

#include "tests/fuzz/bmp_seed_files.h"
#include "tests/support/file_bytes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    try {
        const auto seeds = bmpSeedFiles();
        for (const auto& seed : seeds)
            if (!writeFile(dir + "/" + seed.first, seed.second))
                return 1;
        std::printf("%d seed files in %s\n", int(seeds.size()), dir.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
