#pragma once
// Arithmetic for the resource generator. The committed resources must come out
// byte for byte the same on every build, so everything here uses only +, -, *, /
// and sqrt on doubles (exactly rounded everywhere) and integer operations; the
// C library's transcendental functions are avoided because their last bits may
// differ between library versions and constant folding.
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr double kPi = 3.14159265358979323846;

double absOf(double v);
double clamp01(double v);
double clampTo(double v, double lo, double hi);
double mix(double a, double b, double t);
// 0 below e0, 1 above e1, a smooth cubic in between.
double smoothStep(double e0, double e1, double v);
double squareRoot(double v);
// e^v for v in [-60, 60].
double expOf(double v);
double sinOf(double v);
double cosOf(double v);
// max(a, b) with the corner rounded over a width of about k.
double smoothMax(double a, double b, double k);
double smoothMin(double a, double b, double k);
// Rounds to the nearest integer, halves away from zero.
int32_t roundToInt(double v);

// A small seeded generator (xorshift on 32 bits): the same seed always gives
// the same sequence, on every platform.
class Rng {
public:
    explicit Rng(uint32_t seed);
    uint32_t next();
    // Uniform in [-1, 1).
    double symmetric();
    // Uniform in [0, 1).
    double unit();

private:
    uint32_t state_;
};

// An RGB picture held top-down (row 0 at the top), one 0x00RRGGBB word per pixel.
struct Canvas {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    Canvas(int32_t w, int32_t h, uint32_t fill);
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void set(int32_t x, int32_t y, uint32_t rgb) {
        pixels[static_cast<size_t>(y) * width + x] = rgb;
    }
};

struct Point {
    double x;
    double y;
};

// Distance from p to the segment a-b, minus r: negative inside the capsule round it.
double capsuleDistance(Point p, Point a, Point b, double r);

struct Rgb {
    double r;
    double g;
    double b;
};

Rgb mixRgb(const Rgb& a, const Rgb& b, double t);
Rgb scaleRgb(const Rgb& c, double f);
// Each channel rounded and clamped to 0..255.
uint32_t packRgb(const Rgb& c);
Rgb unpackRgb(uint32_t word);

// Asks inside(x, y) at n x n points spread evenly over pixel (px, py), row by
// row, and counts the yes answers: the pixel's coverage in samples.
template <typename Inside>
int countSamples(int32_t px, int32_t py, int n, Inside inside) {
    int count = 0;
    for (int sy = 0; sy < n; ++sy)
        for (int sx = 0; sx < n; ++sx)
            if (inside(px + (sx + 0.5) / n, py + (sy + 0.5) / n))
                ++count;
    return count;
}

// The colours colourAt(Point, Rgb*) gives over the n x n samples of a pixel,
// summed, and how many samples it gave one for (false: outside the shape).
struct PixelSamples {
    Rgb sum = {0.0, 0.0, 0.0};
    int covered = 0;
};
template <typename ColourAt>
PixelSamples samplePixel(int32_t px, int32_t py, int n, ColourAt colourAt) {
    PixelSamples s;
    s.covered = countSamples(px, py, n, [&](double x, double y) {
        Rgb c;
        if (!colourAt(Point{x, y}, &c))
            return false;
        s.sum = {s.sum.r + c.r, s.sum.g + c.g, s.sum.b + c.b};
        return true;
    });
    return s;
}
