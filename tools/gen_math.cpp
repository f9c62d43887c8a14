#include "tools/gen_math.h"

#include <cmath>

double absOf(double v) {
    return v < 0.0 ? -v : v;
}

double clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

double clampTo(double v, double lo, double hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

double smoothStep(double e0, double e1, double v) {
    const double t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

double squareRoot(double v) {
    return v <= 0.0 ? 0.0 : std::sqrt(v);
}

double expOf(double v) {
    // e^v = (e^(v/1024))^1024; the small power comes from its Taylor series.
    const double x = clampTo(v, -60.0, 60.0) / 1024.0;
    double term = 1.0;
    double sum = 1.0;
    for (int i = 1; i <= 8; ++i) {
        term = term * x / i;
        sum += term;
    }
    for (int i = 0; i < 10; ++i)
        sum = sum * sum;
    return sum;
}

double sinOf(double v) {
    // Reduce to [-pi, pi], then fold to [-pi/2, pi/2].
    const double turns = v / (2.0 * kPi);
    double whole = static_cast<double>(static_cast<int64_t>(turns));
    double x = v - whole * 2.0 * kPi;
    if (x > kPi)
        x -= 2.0 * kPi;
    if (x < -kPi)
        x += 2.0 * kPi;
    if (x > kPi / 2.0)
        x = kPi - x;
    if (x < -kPi / 2.0)
        x = -kPi - x;
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int i = 1; i <= 10; ++i) {
        term = -term * x2 / ((2.0 * i) * (2.0 * i + 1.0));
        sum += term;
    }
    return sum;
}

double cosOf(double v) {
    return sinOf(v + kPi / 2.0);
}

double smoothMax(double a, double b, double k) {
    const double d = a - b;
    if (d >= k)
        return a;
    if (d <= -k)
        return b;
    const double t = (d + k) / (2.0 * k);
    // Quadratic blend: continuous slope at both ends of the band.
    return b + d * t + k * t * (1.0 - t);
}

double smoothMin(double a, double b, double k) {
    return -smoothMax(-a, -b, k);
}

int32_t roundToInt(double v) {
    return v >= 0.0 ? static_cast<int32_t>(v + 0.5) : -static_cast<int32_t>(-v + 0.5);
}

Rng::Rng(uint32_t seed) : state_(seed == 0 ? 0x9E3779B9u : seed) {}

uint32_t Rng::next() {
    uint32_t x = state_;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    state_ = x;
    return x;
}

double Rng::symmetric() {
    return static_cast<double>(static_cast<int32_t>(next())) / 2147483648.0;
}

double Rng::unit() {
    return static_cast<double>(next() >> 8) / 16777216.0;
}

Canvas::Canvas(int32_t w, int32_t h, uint32_t fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

double capsuleDistance(Point p, Point a, Point b, double r) {
    const double bx = b.x - a.x, by = b.y - a.y;
    const double px = p.x - a.x, py = p.y - a.y;
    const double t = clamp01((px * bx + py * by) / (bx * bx + by * by));
    const double dx = px - bx * t, dy = py - by * t;
    return squareRoot(dx * dx + dy * dy) - r;
}

Rgb mixRgb(const Rgb& a, const Rgb& b, double t) {
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}

Rgb scaleRgb(const Rgb& c, double f) {
    return {c.r * f, c.g * f, c.b * f};
}

static uint32_t channel(double v) {
    return static_cast<uint32_t>(roundToInt(clampTo(v, 0.0, 255.0)));
}

uint32_t packRgb(const Rgb& c) {
    return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

Rgb unpackRgb(uint32_t word) {
    return {static_cast<double>((word >> 16) & 0xFF), static_cast<double>((word >> 8) & 0xFF),
            static_cast<double>(word & 0xFF)};
}
