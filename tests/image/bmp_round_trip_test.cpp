#include "tests/image/image_test_support.h"

// Saved in either format on widths that take every padding of a 24-bit row,
// loaded through either entry point: every colour comes back, top bytes aside.
TEST(BmpRoundTrip, EveryPixelComesBack) {
    for (int32_t id : {0x30, 0x31}) {
        for (const Shape24& s : kShapes24) {
            const int32_t w = s.width, h = s.height;
            if (h == 0)
                continue;  // the decoder refuses a picture of no rows
            SCOPED_TRACE(::testing::Message() << w << "x" << h << " id " << id);
            Dib32Image original(w, h);
            paintPattern(original);
            setRawWord(original, 0, rawWord(original, 0) | 0x7F000000u);
            const Bytes file = saveToBytes(original, id);
            Dib32Image viaBlock(3, 7), viaStream(3, 7);
            FileSource source(file);
            ASSERT_TRUE(viaBlock.loadFromBlock(&source, 0x30));
            ASSERT_TRUE(viaStream.loadFromStream(&source, 0x30));
            expectPixels(viaBlock, w, h, patternColour);
            expectPixels(viaStream, w, h, patternColour);
        }
    }
}
