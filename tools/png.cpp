// A PNG file written from nothing but this code: RGBA, 8 bits a channel, no
// interlace, the image data one zlib stream compressed by a small deflate of
// its own (greedy matches, the format's fixed codes), which is all a flat
// drawing needs to shrink to a tenth.
#include <algorithm>

#include "tools/crc32.h"
#include "tools/resources_gen.h"

namespace {

void appendBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t adler32(const std::vector<uint8_t>& bytes) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// Length, type, data, and the CRC over type and data.
void chunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    appendBe32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    appendBe32(out, crc32(out.data() + start, out.size() - start));
}

// Bits as deflate packs them: from each byte's lowest bit up.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    // A number's low count bits, lowest first.
    void bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            put((value >> i) & 1);
    }
    // A code, highest bit first.
    void code(uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i)
            put((value >> i) & 1);
    }
    void finish() {
        if (used_ > 0)
            out_.push_back(byte_);
    }

private:
    void put(uint32_t bit) {
        byte_ = static_cast<uint8_t>(byte_ | bit << used_);
        if (++used_ == 8) {
            out_.push_back(byte_);
            byte_ = 0;
            used_ = 0;
        }
    }
    std::vector<uint8_t>& out_;
    uint8_t byte_ = 0;
    int used_ = 0;
};

// A literal byte, the end (256) or a length symbol (257-285) in the fixed codes.
void symbol(BitWriter& w, uint32_t s) {
    if (s < 144)
        w.code(0x30 + s, 8);
    else if (s < 256)
        w.code(0x190 + s - 144, 9);
    else if (s < 280)
        w.code(s - 256, 7);
    else
        w.code(0xC0 + s - 280, 8);
}

const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                    33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// "Copy length bytes from distance back": the largest base at or below each.
void match(BitWriter& w, int32_t length, int32_t distance) {
    int l = 28;
    while (kLengthBase[l] > length)
        --l;
    symbol(w, 257 + l);
    w.bits(length - kLengthBase[l], kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance)
        --d;
    w.code(d, 5);
    w.bits(distance - kDistanceBase[d], kDistanceExtra[d]);
}

// One fixed-code block: at each byte the longest match among the last 64
// places its next three bytes were seen, else the byte itself.
std::vector<uint8_t> deflate(const std::vector<uint8_t>& raw) {
    constexpr int32_t kWindow = 32768, kLongest = 258, kTries = 64;
    const int32_t size = static_cast<int32_t>(raw.size());
    std::vector<int32_t> head(1 << 15, -1), previous(raw.size(), -1);
    auto hash = [&](int32_t at) {
        return (raw[at] << 10 ^ raw[at + 1] << 5 ^ raw[at + 2]) & 0x7FFF;
    };
    auto remember = [&](int32_t at) {
        if (at + 2 < size) {
            previous[at] = head[hash(at)];
            head[hash(at)] = at;
        }
    };
    std::vector<uint8_t> out;
    BitWriter w(out);
    w.bits(1, 1);  // the last block
    w.bits(1, 2);  // fixed codes
    int32_t at = 0;
    while (at < size) {
        int32_t best = 0, distance = 0;
        const int32_t longest = std::min(kLongest, size - at);
        int32_t candidate = at + 2 < size ? head[hash(at)] : -1;
        for (int tries = 0; candidate >= 0 && at - candidate <= kWindow && tries < kTries;
             ++tries) {
            int32_t length = 0;
            while (length < longest && raw[candidate + length] == raw[at + length])
                ++length;
            if (length > best) {
                best = length;
                distance = at - candidate;
            }
            candidate = best == longest ? -1 : previous[candidate];
        }
        if (best >= 3) {
            match(w, best, distance);
        } else {
            best = 1;
            symbol(w, raw[at]);
        }
        for (int32_t i = 0; i < best; ++i)
            remember(at + i);
        at += best;
    }
    symbol(w, 256);
    w.finish();
    return out;
}

std::vector<uint8_t> zlibStream(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};  // deflate, 32 KB window
    const std::vector<uint8_t> data = deflate(raw);
    out.insert(out.end(), data.begin(), data.end());
    appendBe32(out, adler32(raw));
    return out;
}

}  // namespace

std::vector<uint8_t> pngFile(int32_t width, int32_t height, const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    appendBe32(header, static_cast<uint32_t>(width));
    appendBe32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // depth, RGBA, deflate, filters, no interlace
    chunk(out, "IHDR", header);
    // Each row top-down after its filter byte, 0: no filter.
    std::vector<uint8_t> raw;
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = argb[static_cast<size_t>(y) * width + x];
            raw.insert(raw.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                   static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)});
        }
    }
    chunk(out, "IDAT", zlibStream(raw));
    chunk(out, "IEND", {});
    return out;
}
