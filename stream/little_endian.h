#pragma once
// Little-endian fields at any address: the one way the project reads and
// writes the fields of its files (and the pixel words, which are stored so).
// The caller makes sure the bytes are there.
#include <cstdint>
#include <cstring>
#include <vector>

// On a little-endian host a field is a plain unaligned copy, which the
// compiler turns into one load or store and can vectorise; elsewhere bytes.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kHostIsLittleEndian = true;
#else
constexpr bool kHostIsLittleEndian = false;
#endif

inline uint16_t loadLe16(const uint8_t* p) {
    if (kHostIsLittleEndian) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Three bytes, as a 24-bit pixel is stored (blue, green, red).
inline uint32_t loadLe24(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

inline uint32_t loadLe32(const uint8_t* p) {
    if (kHostIsLittleEndian) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    return loadLe24(p) | uint32_t(p[3]) << 24;
}

inline void storeLe16(uint8_t* p, uint32_t v) {
    if (kHostIsLittleEndian) {
        const uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, 2);
        return;
    }
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void storeLe24(uint8_t* p, uint32_t v) {
    storeLe16(p, v);
    p[2] = static_cast<uint8_t>(v >> 16);
}

inline void storeLe32(uint8_t* p, uint32_t v) {
    if (kHostIsLittleEndian) {
        std::memcpy(p, &v, 4);
        return;
    }
    storeLe16(p, v);
    storeLe16(p + 2, v >> 16);
}

// Appended to a file being built.
inline void appendLe16(std::vector<uint8_t>& out, uint32_t v) {
    out.resize(out.size() + 2);
    storeLe16(out.data() + out.size() - 2, v);
}

inline void appendLe32(std::vector<uint8_t>& out, uint32_t v) {
    out.resize(out.size() + 4);
    storeLe32(out.data() + out.size() - 4, v);
}
