#pragma once
// The fuzzers' seed corpus: small files made by the encoder in both of its
// formats, and a few shapes it never writes itself (a longer info header with
// a gap, trailing bytes). The Windows soak drops the same files.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Each seed's file name and bytes; std::runtime_error when the encoder refuses one.
std::vector<std::pair<std::string, std::vector<uint8_t>>> bmpSeedFiles();
