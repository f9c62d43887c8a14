// The stream entry point over a stream that may fail any read. The first three
// input bytes steer the failure, the rest is the file:
//   [0] % 32 the read that fails, counting from 0 (none where the loader
//            makes fewer reads: it makes at most 28);
//   [1] % 3  how it fails: 0 it returns 0, 1 a short count, 2 a negative count;
//   [2]      the short count (1 + [2] % (count - 1)) or the negative one (-[2],
//            INT32_MIN for 0).
// A failing read still fills the whole buffer with the file's true bytes, so
// only its count tells the loader that it failed. Promises: a load after a
// failed read is refused; without one the stream loads exactly what the block
// entry point loads from the same bytes (where the pixel array starts at byte 6
// or later); a refused load leaves the image untouched and an accepted one is
// the picture the bytes describe; nothing is read after a read comes up short;
// a refused load has asked for at most twice what its full reads delivered
// (the 54 header bytes aside), an accepted one for exactly its size field.
#include <cstdint>

#include "image/image.h"
#include "tests/fuzz/bmp_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || size > 1u << 24)
        return 0;
    const uint8_t* file = data + 3;
    const size_t length = size - 3;
    const int64_t fileSize = length >= 6 ? fieldAt(file, 2) : 0;
    FailingInput input(file, length, data[0] % 32, data[1] % 3, data[2]);
    FuzzedImage target;
    const bool streamed = target.image.loadFromStream(&input, 0x31);
    PROMISE(streamed ? input.asked() == fileSize
                     : input.asked() <= std::max<int64_t>(54, 2 * input.delivered()));
    target.expectLoadedOrUntouched(streamed, file);
    if (input.failed()) {
        PROMISE(!streamed);
        return 0;
    }

    MemoryBlockReader reader(file, int32_t(length));
    Dib32Image viaBlock(2, 3);
    const bool loaded = viaBlock.loadFromBlock(&reader, 0x30);
    // Only the stream entry point refuses a size field short of the two
    // headers: it reads the rest of the file by that field.
    const bool held = fileSize <= int64_t(length);
    const int64_t offset = loaded ? fieldAt(file, 10) : 0;
    PROMISE(streamed == (loaded && held && offset >= 6 && fileSize >= 54));
    if (streamed)
        PROMISE(wordsOf(viaBlock) == wordsOf(target.image));
    return 0;
}
