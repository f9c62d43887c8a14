// The window icon (a red hand print on a round cheek): the 32 x 32 image in
// 16 colours, the same drawing in 32 bits with alpha at the sizes the shell
// asks for at 100 % to 200 %, and 256 x 256 as PNG; and the invisible cursor
// of the picture view.
#include "tools/resources_gen.h"

namespace {

// One image of an icon or cursor file; for a cursor the two fields hold the
// hot spot, for an icon the planes and bits per pixel.
struct Entry {
    int32_t size;
    uint8_t colours;
    uint16_t field1, field2;
    std::vector<uint8_t> bytes;
};

// type 1: icon, 2: cursor. The images follow the directory in its order.
std::vector<uint8_t> imageFile(uint16_t type, const std::vector<Entry>& entries) {
    std::vector<uint8_t> out;
    appendLe16(out, 0);
    appendLe16(out, type);
    appendLe16(out, static_cast<uint32_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        out.push_back(static_cast<uint8_t>(e.size));  // 256 is written as 0
        out.push_back(static_cast<uint8_t>(e.size));
        out.push_back(e.colours);
        out.push_back(0);
        appendLe16(out, e.field1);
        appendLe16(out, e.field2);
        appendLe32(out, static_cast<uint32_t>(e.bytes.size()));
        appendLe32(out, offset);
        offset += static_cast<uint32_t>(e.bytes.size());
    }
    for (const Entry& e : entries)
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

// The image's info header: the height counts the colour rows and the mask rows.
void infoHeader(std::vector<uint8_t>& out, int32_t size, uint16_t bitCount, uint32_t pixelBytes) {
    appendLe32(out, 40);
    appendLe32(out, static_cast<uint32_t>(size));
    appendLe32(out, static_cast<uint32_t>(2 * size));
    appendLe16(out, 1);
    appendLe16(out, bitCount);
    appendLe32(out, 0);
    appendLe32(out, pixelBytes);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
}

// The AND mask, rows bottom-up, each padded to 32 bits: a set bit lets the
// screen through.
template <typename Transparent>
void appendMask(std::vector<uint8_t>& out, int32_t size, Transparent transparent) {
    const int32_t rowBytes = (size + 31) / 32 * 4;
    for (int32_t y = size - 1; y >= 0; --y) {
        for (int32_t byte = 0; byte < rowBytes; ++byte) {
            uint8_t bits = 0;
            for (int32_t b = 0; b < 8; ++b) {
                const int32_t x = byte * 8 + b;
                if (x < size && transparent(x, y))
                    bits |= static_cast<uint8_t>(0x80 >> b);
            }
            out.push_back(bits);
        }
    }
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

// The drawing at size x size pixels, top-down, 0xAARRGGBB with straight
// alpha: the samples that hit the icon give the colour, their share the
// alpha. The art spans art pixels from (inset, inset).
std::vector<uint32_t> drawIcon(int32_t size, double art, double inset) {
    const double unit = 32.0 / art;
    const auto scaled = [=](Point p, Rgb* c) {
        return iconColour({(p.x - inset) * unit, (p.y - inset) * unit}, c);
    };
    std::vector<uint32_t> argb(static_cast<size_t>(size) * size, 0);
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const PixelSamples s = samplePixel(x, y, 4, scaled);
            if (s.covered == 0)
                continue;
            const uint32_t alpha = static_cast<uint32_t>(roundToInt(s.covered * 255.0 / 16));
            argb[static_cast<size_t>(y) * size + x] =
                alpha << 24 | packRgb(scaleRgb(s.sum, 1.0 / s.covered));
        }
    }
    return argb;
}

std::vector<uint32_t> drawIcon(int32_t size) {
    return drawIcon(size, size, 0.0);
}

std::vector<uint8_t> classicImage() {
    constexpr uint32_t kColourBytes = 32 * 32 / 2;
    constexpr uint32_t kMaskBytes = 32 * 4;
    std::vector<uint8_t> out;
    infoHeader(out, 32, 4, kColourBytes + kMaskBytes);
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
    appendMask(out, 32, [&](int32_t x, int32_t y) { return !opaque[y][x]; });
    return out;
}

// 32 bits a pixel, rows bottom-up, with a mask for the systems that ignore alpha.
std::vector<uint8_t> alphaImage(int32_t size) {
    const std::vector<uint32_t> argb = drawIcon(size);
    const uint32_t maskBytes = static_cast<uint32_t>((size + 31) / 32 * 4 * size);
    std::vector<uint8_t> out;
    infoHeader(out, size, 32, static_cast<uint32_t>(size * size * 4) + maskBytes);
    for (int32_t y = size - 1; y >= 0; --y)
        for (int32_t x = 0; x < size; ++x)
            appendLe32(out, argb[static_cast<size_t>(y) * size + x]);
    appendMask(out, size,
               [&](int32_t x, int32_t y) { return argb[static_cast<size_t>(y) * size + x] == 0; });
    return out;
}

}  // namespace

std::vector<uint8_t> appIconFile() {
    std::vector<Entry> entries = {{32, 16, 1, 4, classicImage()}};
    for (int32_t size : kAppIconAlphaSizes)
        entries.push_back({size, 0, 1, 32, alphaImage(size)});
    entries.push_back({256, 0, 1, 32, pngFile(256, 256, drawIcon(256))});
    return imageFile(1, entries);
}

std::vector<uint8_t> nullCursorFile() {
    constexpr uint32_t kPlaneBytes = 32 * 4;
    std::vector<uint8_t> image;
    infoHeader(image, 32, 1, 2 * kPlaneBytes);
    appendLe32(image, 0x000000);
    appendLe32(image, 0xFFFFFF);
    image.insert(image.end(), kPlaneBytes, 0x00);  // colour plane: nothing drawn
    image.insert(image.end(), kPlaneBytes, 0xFF);  // mask: the screen shows through everywhere
    return imageFile(2, {{32, 2, 0, 0, image}});
}

std::vector<uint8_t> webIconFile(int32_t size) {
    return pngFile(size, size, drawIcon(size));
}

std::vector<uint8_t> maskableIconFile(int32_t size) {
    // The launcher may cut all but the middle circle of 80 % across; the art
    // fills 80 % of the square, its round cheek within that circle.
    std::vector<uint32_t> argb = drawIcon(size, 0.8 * size, 0.1 * size);
    const Rgb ground = unpackRgb(kMaskableGround);
    for (uint32_t& pixel : argb)
        pixel = 0xFF000000u |
                packRgb(mixRgb(ground, unpackRgb(pixel & 0xFFFFFFu), (pixel >> 24) / 255.0));
    return pngFile(size, size, argb);
}
