#include "stream/block.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

std::atomic<int32_t> liveBlockCount{0};

uint8_t* counted(void* block) {
    if (block != nullptr) {
        ++liveBlockCount;
    }
    return static_cast<uint8_t*>(block);
}

}  // namespace

uint8_t* allocBlock(int32_t n) {
    if (n < 1) {
        return nullptr;
    }
#ifdef _WIN32
    // Without HEAP_GENERATE_EXCEPTIONS an exhausted heap answers null.
    return counted(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(n)));
#else
    return counted(std::calloc(static_cast<size_t>(n), 1));
#endif
}

uint8_t* allocBlockUnfilled(int32_t n) {
    if (n < 1) {
        return nullptr;
    }
#ifdef _WIN32
    return counted(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(n)));
#else
    return counted(std::malloc(static_cast<size_t>(n)));
#endif
}

bool freeBlock(uint8_t* p) {
    if (p == nullptr) {
        return false;
    }
#ifdef _WIN32
    HeapFree(GetProcessHeap(), 0, p);
#else
    std::free(p);
#endif
    --liveBlockCount;
    return true;
}

int32_t liveBlocks() {
    return liveBlockCount.load();
}

bool copyBytes(uint8_t* dst, const uint8_t* src, int32_t n) {
    if (n < 1 || dst == nullptr || src == nullptr) {
        return false;
    }
    if (dst != src) {
        std::memmove(dst, src, static_cast<size_t>(n));
    }
    return true;
}

bool fillBytes(uint8_t* p, int32_t n, uint8_t value) {
    if (n < 1 || p == nullptr) {
        return false;
    }
    std::memset(p, value, static_cast<size_t>(n));
    return true;
}
