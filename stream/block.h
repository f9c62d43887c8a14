#pragma once
// Raw memory blocks. Every block that passes between operations comes from
// allocBlock and goes back through freeBlock; bad arguments give false or null.
#include <cstdint>
#include <memory>

// A new block of exactly n zero bytes; null when n < 1 or memory is exhausted.
uint8_t* allocBlock(int32_t n);
// A new block of exactly n bytes whose content is unset, for a caller that
// writes every byte before anything reads it: the zero fill of a large block
// costs as much as the copy that follows. Null as for allocBlock; released by
// freeBlock like any other block.
uint8_t* allocBlockUnfilled(int32_t n);
// False for null; otherwise releases a block from allocBlock.
bool freeBlock(uint8_t* p);
// Blocks handed out by allocBlock and allocBlockUnfilled and not yet released:
// what the process holds through this library alone, so that a leak check
// need not count the platform's own heap use.
int32_t liveBlocks();
// Copies n bytes, correct for overlapping ranges; false when n < 1 or a pointer is null.
bool copyBytes(uint8_t* dst, const uint8_t* src, int32_t n);
// Sets n bytes to value; false when n < 1 or p is null.
bool fillBytes(uint8_t* p, int32_t n, uint8_t value);

// Releases a block from allocBlock (or a copyOut) when it goes.
struct BlockRelease {
    void operator()(uint8_t* block) const { freeBlock(block); }
};
// The one owner of a block: released once, on every path.
using OwnedBlock = std::unique_ptr<uint8_t[], BlockRelease>;
