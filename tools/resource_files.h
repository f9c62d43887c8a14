#pragma once
// The built-in resources as the generator writes them into a folder, read
// back by the programs that take them from there rather than from the exe
// (the browser benchmark, the scripted run).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// In the order the logic takes them: the picture, the hand, the three slaps.
constexpr const char* kResourceFileNames[] = {"radav.bmp", "hand.bmp", "slap1.wav", "slap2.wav",
                                              "slap3.wav"};

// Each file's bytes in that order; none, with a line on stderr naming the
// first that is empty or cannot be read, otherwise.
inline std::vector<std::vector<uint8_t>> readResourceFiles(const std::string& folder) {
    std::vector<std::vector<uint8_t>> files;
    for (const char* name : kResourceFileNames) {
        const std::string path = folder + "/" + name;
        std::ifstream in(path, std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (files.back().empty()) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return {};
        }
    }
    return files;
}
