#pragma once
// An output stream that keeps what it is given, for what an encoder writes.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "stream/byte_interfaces.h"

// Keeps what writeBlock hands over, at most limit bytes when limit >= 0.
class CollectingStream final : public OutputStream {
public:
    int32_t writeBlock(const ByteReader* source) override {
        ++calls;
        const int32_t n = limit >= 0 ? std::min(limit, source->size()) : source->size();
        written.resize(size_t(n));
        return n > 0 ? source->readAt(0, written.data(), n) : 0;
    }
    int32_t writeBytes(const uint8_t*, int32_t) override { return ++calls, 0; }
    bool writeByte(uint8_t) override { return ++calls, false; }

    std::vector<uint8_t> written;
    int calls = 0;
    int32_t limit = -1;
};
