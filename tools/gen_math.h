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
    void set(int32_t x, int32_t y, uint32_t rgb) { pixels[static_cast<size_t>(y) * width + x] = rgb; }
};

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
