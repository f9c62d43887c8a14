#pragma once
// Takes the whole file into memory it keeps, like a file stream would.
#include <cstdint>
#include <vector>

#include "stream/byte_interfaces.h"

class MemorySink final : public OutputStream {
public:
    MemorySink() { bytes.reserve(1 << 20); }
    int32_t writeBlock(const ByteReader* source) override {
        const int32_t n = source->size();
        bytes.resize(size_t(n));
        return source->readAt(0, bytes.data(), n);
    }
    int32_t writeBytes(const uint8_t*, int32_t) override { return 0; }
    bool writeByte(uint8_t) override { return false; }

    std::vector<uint8_t> bytes;
};
