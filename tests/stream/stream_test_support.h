#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "stream/memory_buffer.h"

using Bytes = std::vector<uint8_t>;

// A buffer holding exactly bytes (empty when bytes is).
std::unique_ptr<MemoryBuffer> bufferOf(const Bytes& bytes);
// The content as seen through the raw pointer, independent of the read operations.
Bytes contentOf(MemoryBuffer& buffer);
// True when allocBlock cannot hand out a block of INT32_MAX bytes here, so the
// out-of-memory paths can be driven deterministically.
bool hugeBlocksFail();
