#pragma once
// The built-in resources as the generator writes them into a folder, read
// back by the programs that take them from there rather than from the exe
// (the browser benchmark, the scripted run).
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// In the order the logic takes them: the picture, the hand, the three slaps.
constexpr const char* kResourceFileNames[] = {"radav.bmp", "hand.bmp", "slap1.wav", "slap2.wav",
                                              "slap3.wav"};

// Each file's bytes in that order; false, with the path of the first that
// is empty or cannot be read in *missing, otherwise.
inline bool readResourceFiles(const std::string& folder, std::vector<std::vector<uint8_t>>* files,
                              std::string* missing) {
    files->clear();
    for (const char* name : kResourceFileNames) {
        const std::string path = folder + "/" + name;
        std::ifstream in(path, std::ios::binary);
        files->emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (files->back().empty()) {
            *missing = path;
            return false;
        }
    }
    return true;
}
