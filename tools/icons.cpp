// The window icon (a red hand print on a round cheek, 16 colours) and the
// invisible cursor of the picture view.
#include "tools/resources_gen.h"

namespace {

// The directory of a file with one 32 x 32 image: type 1 (icon) or 2 (cursor);
// for a cursor the two middle fields hold the hot spot.
void directory(std::vector<uint8_t>& out, uint16_t type, uint8_t colours, uint16_t field1,
               uint16_t field2, uint32_t imageBytes) {
    appendLe16(out, 0);
    appendLe16(out, type);
    appendLe16(out, 1);
    out.push_back(32);
    out.push_back(32);
    out.push_back(colours);
    out.push_back(0);
    appendLe16(out, field1);
    appendLe16(out, field2);
    appendLe32(out, imageBytes);
    appendLe32(out, 6 + 16);
}

// The image's info header: the height counts the colour rows and the mask rows.
void infoHeader(std::vector<uint8_t>& out, uint16_t bitCount, uint32_t pixelBytes) {
    appendLe32(out, 40);
    appendLe32(out, 32);
    appendLe32(out, 64);
    appendLe16(out, 1);
    appendLe16(out, bitCount);
    appendLe32(out, 0);
    appendLe32(out, pixelBytes);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
}

const uint32_t kIconPalette[16] = {
    0x000000, 0x4A1812, 0x9C1C22, 0xD42A2E, 0xF05A50, 0xF8968A, 0xFAD2B0, 0xE8AC8C,
    0xC88468, 0xFFE8D8, 0x7A3A2C, 0xB84040, 0xE87868, 0xF4BCA0, 0x5C2418, 0xFFFFFF,
};

double circleDistance(Point p, Point c, double r) {
    const double dx = p.x - c.x, dy = p.y - c.y;
    return squareRoot(dx * dx + dy * dy) - r;
}

// The hand print: palm, four fingers spread upwards and a thumb to the left.
double printDistance(Point p) {
    double d = circleDistance(p, {16.5, 19.5}, 6.2);
    d = smoothMin(d, capsuleDistance(p, {11.0, 16.0}, {8.2, 7.0}, 1.7), 1.5);
    d = smoothMin(d, capsuleDistance(p, {14.5, 15.0}, {13.8, 4.8}, 1.8), 1.5);
    d = smoothMin(d, capsuleDistance(p, {18.2, 15.0}, {19.4, 5.6}, 1.8), 1.5);
    d = smoothMin(d, capsuleDistance(p, {21.4, 16.5}, {24.2, 9.4}, 1.6), 1.5);
    d = smoothMin(d, capsuleDistance(p, {11.5, 21.5}, {5.4, 17.2}, 1.7), 1.5);
    return d;
}

// Colour of the icon at a point (y down); false outside it.
bool iconColour(Point p, Rgb* out) {
    const double cheek = circleDistance(p, {16.0, 16.0}, 15.2);
    if (cheek > 0.0)
        return false;
    // The cheek: lit from the upper left, with an inked rim.
    const double lx = (p.x - 11.0) / 16.0, ly = (p.y - 10.0) / 16.0;
    const double light = clamp01(1.0 - squareRoot(lx * lx + ly * ly));
    Rgb c = mixRgb(unpackRgb(0xE8AC8C), unpackRgb(0xFAD2B0), light * 1.6);
    c = mixRgb(c, unpackRgb(0xFFE8D8), clamp01(light * 2.2 - 1.4));
    const double print = printDistance(p);
    if (print < 0.0)
        c = unpackRgb(0xD42A2E);
    if (print > -0.9 && print < 0.0)
        c = unpackRgb(0x9C1C22);
    if (cheek > -1.2)
        c = unpackRgb(0x5C2418);
    *out = c;
    return true;
}

uint8_t nearestColour(const Rgb& c) {
    uint8_t best = 0;
    double bestDistance = 1e18;
    for (uint8_t i = 0; i < 16; ++i) {
        const Rgb p = unpackRgb(kIconPalette[i]);
        const double dr = p.r - c.r, dg = p.g - c.g, db = p.b - c.b;
        const double d = 2.0 * dr * dr + 4.0 * dg * dg + 3.0 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

}  // namespace

std::vector<uint8_t> appIconFile() {
    constexpr uint32_t kColourBytes = 32 * 32 / 2;
    constexpr uint32_t kMaskBytes = 32 * 4;
    std::vector<uint8_t> out;
    directory(out, 1, 16, 1, 4, 40 + 16 * 4 + kColourBytes + kMaskBytes);
    infoHeader(out, 4, kColourBytes + kMaskBytes);
    for (uint32_t c : kIconPalette)
        appendLe32(out, c);

    uint8_t index[32][32] = {};
    bool opaque[32][32] = {};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const PixelSamples s = samplePixel(x, y, 4, iconColour);
            if (s.covered < 8)
                continue;
            opaque[y][x] = true;
            index[y][x] = nearestColour(scaleRgb(s.sum, 1.0 / s.covered));
        }
    }
    // Rows bottom-up; two pixels a byte, the left one in the high half.
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 2)
            out.push_back(static_cast<uint8_t>((index[y][x] << 4) | index[y][x + 1]));
    // The mask: a set bit lets the screen through.
    for (int y = 31; y >= 0; --y) {
        for (int byte = 0; byte < 4; ++byte) {
            uint8_t bits = 0;
            for (int b = 0; b < 8; ++b)
                if (!opaque[y][byte * 8 + b])
                    bits |= static_cast<uint8_t>(0x80 >> b);
            out.push_back(bits);
        }
    }
    return out;
}

std::vector<uint8_t> nullCursorFile() {
    constexpr uint32_t kPlaneBytes = 32 * 4;
    std::vector<uint8_t> out;
    directory(out, 2, 2, 0, 0, 40 + 2 * 4 + 2 * kPlaneBytes);
    infoHeader(out, 1, 2 * kPlaneBytes);
    appendLe32(out, 0x000000);
    appendLe32(out, 0xFFFFFF);
    out.insert(out.end(), kPlaneBytes, 0x00);  // colour plane: nothing drawn
    out.insert(out.end(), kPlaneBytes, 0xFF);  // mask: the screen shows through everywhere
    return out;
}
