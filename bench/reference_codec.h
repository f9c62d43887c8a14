#pragma once
// The reference codec the image benchmarks are measured against: an outside
// BMP reader and writer from the system's packages.
#include <cstdint>
#include <vector>

// Decodes a BMP file held in memory; the pixel count, or 0 on failure.
int64_t referenceDecode(const std::vector<uint8_t>& file);
// Encodes rows of RGB bytes (top row first) as a 24-bit BMP into out, which
// is cleared first and keeps its capacity; false on failure.
bool referenceEncode(int width, int height, const std::vector<uint8_t>& rgb,
                     std::vector<uint8_t>* out);
