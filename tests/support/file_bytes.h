#pragma once
// Whole files as bytes, by UTF-8 paths: empty for a file that cannot be read.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary);
    return out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()))
        .flush()
        .good();
}
