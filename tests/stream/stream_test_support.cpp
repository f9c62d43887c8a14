#include "tests/stream/stream_test_support.h"

#include "stream/block.h"

#if defined(__SANITIZE_ADDRESS__)
// Natively the sanitizer would abort on a huge request; here it answers null
// instead, and anything above 1 GiB counts as exhausted memory, as it does for a
// 32-bit process.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}
#endif

std::unique_ptr<MemoryBuffer> bufferOf(const Bytes& bytes) {
    auto buffer = std::make_unique<MemoryBuffer>(static_cast<int32_t>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i) {
        buffer->data()[i] = bytes[i];
    }
    return buffer;
}

Bytes contentOf(MemoryBuffer& buffer) {
    if (buffer.data() == nullptr) {
        return {};
    }
    return Bytes(buffer.data(), buffer.data() + buffer.size());
}

bool hugeBlocksFail() {
    uint8_t* p = allocBlock(INT32_MAX);
    if (p == nullptr) {
        return true;
    }
    freeBlock(p);
    return false;
}
