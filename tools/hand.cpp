// The hand that stands in for the pointer: an open cartoon hand seen palm-on,
// fingers to the right, thumb up, a round cuff at the wrist. Parts are
// distance fields; a dark outline goes round the whole, finer lines part the
// fingers, and the palm's centre (the slap's hot spot) sits at column 80, row 49
// from the top.
#include "tools/resources_gen.h"

namespace {

constexpr int32_t kWidth = 196;
constexpr int32_t kHeight = 100;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr double kOutline = 2.2;
constexpr double kPartLine = 1.1;

// Signed distance to a box with rounded corners (centre, half sizes, corner radius).
double roundBox(Point p, Point c, double hx, double hy, double r) {
    const double qx = absOf(p.x - c.x) - hx + r;
    const double qy = absOf(p.y - c.y) - hy + r;
    const double outside = squareRoot((qx > 0 ? qx * qx : 0.0) + (qy > 0 ? qy * qy : 0.0));
    const double inside = qx > qy ? (qx < 0 ? qx : 0.0) : (qy < 0 ? qy : 0.0);
    return outside + inside - r;
}

// Distance to an arc of the circle round c with radius r, between the
// directions whose sine of angle from the x axis (y down) is sinFrom..sinTo on
// the circle's right half.
double arcDistance(Point p, Point c, double r, double sinFrom, double sinTo) {
    const double dx = p.x - c.x, dy = p.y - c.y;
    const double len = squareRoot(dx * dx + dy * dy);
    if (len <= 0.0)
        return r;
    const double s = dy / len;
    if (dx >= 0.0 && s >= sinFrom && s <= sinTo)
        return len > r ? len - r : r - len;
    // Beyond its ends: the distance to the nearer end point.
    double best = 1e9;
    for (double e : {sinFrom, sinTo}) {
        const double ex = c.x + r * squareRoot(1.0 - e * e) - p.x;
        const double ey = c.y + r * e - p.y;
        const double d = squareRoot(ex * ex + ey * ey);
        if (d < best)
            best = d;
    }
    return best;
}

struct Finger {
    Point base;
    Point tip;
    double radius;
};

// Index, middle, ring, little finger from top to bottom; then the thumb.
constexpr Finger kFingers[] = {
    {{104.0, 29.0}, {166.0, 19.0}, 8.6},
    {{106.0, 44.0}, {181.0, 40.0}, 9.2},
    {{106.0, 59.0}, {175.0, 62.0}, 8.8},
    {{102.0, 74.0}, {154.0, 84.0}, 7.8},
};
constexpr Finger kThumb = {{60.0, 34.0}, {97.0, 13.0}, 9.0};
constexpr Point kPalmCentre = {80.0, 50.0};

double palmDistance(Point p) {
    return roundBox(p, kPalmCentre, 36.0, 30.0, 17.0);
}
double wristDistance(Point p) {
    return capsuleDistance(p, {24.0, 51.0}, {46.0, 50.0}, 21.0);
}
double cuffDistance(Point p) {
    return roundBox(p, {17.0, 51.0}, 13.5, 30.0, 7.0);
}

double fingerDistance(Point p, const Finger& f) {
    return capsuleDistance(p, f.base, f.tip, f.radius);
}

// Everything but the cuff.
double skinDistance(Point p) {
    double d = smoothMin(palmDistance(p), wristDistance(p), 8.0);
    d = smoothMin(d, fingerDistance(p, kThumb), 4.0);
    for (const Finger& f : kFingers)
        d = smoothMin(d, fingerDistance(p, f), 2.0);
    return d;
}

double handDistance(Point p) {
    const double d = skinDistance(p);
    const double c = cuffDistance(p);
    return d < c ? d : c;
}

const Rgb kInk = {72.0, 36.0, 30.0};
const Rgb kSkin = {250.0, 204.0, 166.0};
const Rgb kSkinShade = {224.0, 158.0, 126.0};
const Rgb kSkinLight = {255.0, 226.0, 196.0};
const Rgb kCrease = {206.0, 132.0, 108.0};
const Rgb kCuff = {96.0, 178.0, 150.0};
const Rgb kCuffShade = {62.0, 132.0, 112.0};
// Partly covered outline pixels lean towards this, not towards white: white is
// transparent, and a pale fringe would glow on the picture.
const Rgb kFringe = {128.0, 112.0, 104.0};

// Skin tone of a part at depth `inside` (> 0) from its edge, lit from the upper
// left: the rim in shade, the middle lighter.
Rgb skinTone(double inside, double towardsLight) {
    const double round = smoothStep(0.0, 7.0, inside);
    Rgb c = mixRgb(kSkinShade, kSkin, round);
    return mixRgb(c, kSkinLight, clamp01(0.55 * round * towardsLight));
}

double lineStrength(double distance, double width) {
    return 1.0 - smoothStep(width * 0.5, width * 0.5 + 0.9, absOf(distance));
}

// The colour of the hand at p, or false outside it.
bool colourAt(Point p, Rgb* out) {
    const double whole = handDistance(p);
    if (whole > kOutline)
        return false;

    Rgb c;
    const double cuff = cuffDistance(p);
    if (cuff < 0.0) {
        // The cuff: a band with two stitched stripes.
        c = mixRgb(kCuffShade, kCuff, smoothStep(0.0, 6.0, -cuff));
        const double stripe = lineStrength(p.x - 22.0, 1.6);
        c = mixRgb(c, kCuffShade, 0.8 * stripe);
        c = mixRgb(c, kInk, lineStrength(cuff, 2.0 * kPartLine) * smoothStep(-1.5, 0.0, -whole));
    } else {
        const double skin = skinDistance(p);
        // Light falls from the upper left: above-left of the palm centre is brighter.
        const double towards = clamp01(0.6 - (p.x - 70.0) / 140.0 - (p.y - 40.0) / 90.0);
        c = skinTone(-skin, towards);

        // Fingers: each rounded on its own and parted from its neighbours by a line.
        for (int i = 0; i < 4; ++i) {
            const Finger& f = kFingers[i];
            const double d = fingerDistance(p, f);
            if (d > 0.0 || p.x < f.base.x + 4.0)
                continue;
            c = skinTone(-d, towards * 0.8);
            // Two knuckle creases across the finger.
            const double len = f.tip.x - f.base.x;
            for (double at : {0.42, 0.72}) {
                const double kx = f.base.x + len * at;
                c = mixRgb(c, kCrease,
                           0.45 * lineStrength(p.x - kx, 1.0) * smoothStep(0.0, 4.0, -d));
            }
            const double onLine = lineStrength(d, kPartLine * 2.0);
            const double fade = smoothStep(f.base.x + 4.0, f.base.x + 12.0, p.x);
            c = mixRgb(c, kInk, onLine * fade);
        }
        // The thumb: its inner edge drawn where it lies against the palm.
        const double thumb = fingerDistance(p, kThumb);
        if (thumb < 1.0 && palmDistance(p) < -1.0) {
            const double t = clamp01((p.x - kThumb.base.x) / (kThumb.tip.x - kThumb.base.x));
            c = mixRgb(c, kInk,
                       0.7 * lineStrength(thumb, kPartLine * 1.6) * smoothStep(0.35, 0.6, t));
        }
        // Palm lines: two gentle curves, darker skin rather than ink.
        const double palmInside = smoothStep(2.0, 8.0, -palmDistance(p));
        const double heart = arcDistance(p, {70.0, 56.0}, 32.0, -0.55, 0.6);
        const double life = arcDistance(p, {50.0, 34.0}, 28.0, -0.1, 0.97);
        c = mixRgb(c, kCrease, 0.55 * palmInside * lineStrength(heart, 1.2));
        c = mixRgb(c, kCrease, 0.55 * palmInside * lineStrength(life, 1.2));
    }
    // The outline round the whole hand.
    c = mixRgb(c, kInk, smoothStep(-0.8, 0.4, whole));
    *out = c;
    return true;
}

}  // namespace

Canvas drawHand() {
    Canvas canvas(kWidth, kHeight, kWhite);
    constexpr int kSub = 4;
    for (int32_t py = 0; py < kHeight; ++py) {
        for (int32_t px = 0; px < kWidth; ++px) {
            const PixelSamples s = samplePixel(px, py, kSub, colourAt);
            const double coverage = static_cast<double>(s.covered) / (kSub * kSub);
            // Pixels barely touched stay background; the rest take a full colour.
            if (coverage < 0.3)
                continue;
            const Rgb average = scaleRgb(s.sum, 1.0 / s.covered);
            uint32_t word = packRgb(mixRgb(kFringe, average, coverage));
            // White is the transparent colour: the hand itself never uses it.
            if (word == kWhite)
                word = 0xFEFEFE;
            canvas.set(px, py, word);
        }
    }
    return canvas;
}
