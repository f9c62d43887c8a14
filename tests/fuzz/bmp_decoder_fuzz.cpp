// Any byte sequence handed to the decoder either loads as the picture its
// bytes describe or is refused with the image untouched; the sanitizers catch
// every read outside the bytes, every overflow and every leak.
#include <cstdint>

#include "image/image.h"
#include "tests/fuzz/bmp_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1u << 24)
        return 0;
    MemoryBlockReader reader(data, int32_t(size));
    FuzzedImage target;
    const bool loaded = target.image.loadFromBlock(&reader, 0x30);
    target.expectLoadedOrUntouched(loaded, data);

    // The stream entry point reads the file-size field's count of bytes; where
    // the input holds that many, it agrees with the block entry point (which
    // also holds the first six bytes).
    if (size >= 6 && data[0] == 0x42 && data[1] == 0x4D) {
        const int64_t fileSize = fieldAt(data, 2);
        if (fileSize >= 54 && fileSize <= int64_t(size)) {
            FailingInput input(data, size, -1, 0, 0);
            Dib32Image viaStream(2, 3);
            const bool streamed = viaStream.loadFromStream(&input, 0x31);
            const int64_t offset = fieldAt(data, 10);
            PROMISE(!streamed || loaded);
            PROMISE(streamed == (loaded && offset >= 6));
            if (streamed)
                PROMISE(wordsOf(viaStream) == wordsOf(target.image));
            else
                PROMISE(viaStream.width() == 2 && viaStream.height() == 3);
        }
    }
    return 0;
}
