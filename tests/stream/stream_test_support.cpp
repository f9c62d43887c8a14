#include "tests/stream/stream_test_support.h"

#include <algorithm>

#include "stream/block.h"

#if defined(__SANITIZE_ADDRESS__)
// Natively the sanitizer would abort on a huge request; here it answers null
// instead, and anything above 1 GiB counts as exhausted, as in a 32-bit process.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}
#endif

std::unique_ptr<MemoryBuffer> bufferOf(const Bytes& bytes) {
    auto buffer = std::make_unique<MemoryBuffer>(static_cast<int32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), buffer->data());
    return buffer;
}

Bytes contentOf(MemoryBuffer& buffer) {
    uint8_t* p = buffer.data();
    EXPECT_EQ(p == nullptr, buffer.size() == 0) << "block null exactly when empty";
    if (p == nullptr)
        return {};
    EXPECT_EQ(p[buffer.size()], 0) << "spare byte";
    return Bytes(p, p + buffer.size());
}

bool hugeBlocksFail() {
    uint8_t* p = allocBlock(INT32_MAX);
    freeBlock(p);
    return p == nullptr;
}
