#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "stream/memory_buffer.h"
#include "stream/object_base.h"

using Bytes = std::vector<uint8_t>;

// A buffer holding exactly bytes (empty when bytes is).
std::unique_ptr<MemoryBuffer> bufferOf(const Bytes& bytes);
// The content seen through the raw pointer; also checks that the block is null
// exactly when empty and that the spare byte after the content is zero.
Bytes contentOf(MemoryBuffer& buffer);
// True when allocBlock cannot hand out INT32_MAX bytes here, so the
// out-of-memory paths can be driven deterministically.
bool hugeBlocksFail();

// queryInterface must give the exact part for each answered id (with several
// bases a wrong cast is a wrong address) and null for every other id.
template <typename T>
void expectParts(T& object, const std::map<int32_t, void*>& answered) {
    for (int32_t id : {-1, 0, 0x11, 0x12, 0x13, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x30,
                       0x31, 0x32, 0x33}) {
        const auto it = answered.find(id);
        EXPECT_EQ(object.queryInterface(id), it == answered.end() ? nullptr : it->second)
            << std::hex << id;
    }
}
