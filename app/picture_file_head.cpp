#include "app/picture_file_head.h"

#include <algorithm>

#include "app/app.h"
#include "stream/little_endian.h"

int64_t pictureFilePrefix(const uint8_t* head, int32_t headSize, int64_t fileSize) {
    if (head == nullptr || headSize < kPictureFileHeadSize || fileSize < kMinimumPictureFileSize)
        return 0;
    const auto field = [head](int32_t at) { return int64_t(int32_t(loadLe32(head + at))); };
    // The decoder takes the bit count's first byte alone.
    const int64_t sizeField = field(2), pixelOffset = field(10), bits = head[28];
    if (head[0] != 'B' || head[1] != 'M' || field(18) != kPictureWidth ||
        field(22) != kPictureHeight || (bits != 24 && bits != 32) || field(30) != 0)
        return 0;
    // The decoder reads the headers and the rows, nothing after them.
    const int64_t rowsEnd = pixelOffset + int64_t(kPictureHeight) * (bits / 8) * kPictureWidth;
    if (pixelOffset < 0 || rowsEnd > sizeField || rowsEnd > fileSize)
        return 0;
    return std::max<int64_t>(rowsEnd, kMinimumPictureFileSize);
}
