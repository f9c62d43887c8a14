// The built-in picture: a cartoon figure seen from behind, from the lower back
// to the upper thighs. The body is a height field (a flattened cylinder for the
// hips, two soft domes for the cheeks, two cylinders for the thighs); light on
// its normals gives the soft shading, the places where the shapes meet give the
// cleft and the folds, and a tapered darker line inks the contours.
#include "tools/resources_gen.h"

namespace {

constexpr int32_t kWidth = 480;
constexpr int32_t kHeight = 320;
constexpr uint32_t kBackground = 0x0000FF;
constexpr double kCentreX = 240.0;

// Half width of the body outline at row y (0 at the top): a cubic through these
// rows, with the slopes taken from the neighbours.
struct ProfilePoint {
    double y;
    double halfWidth;
};
constexpr ProfilePoint kOutline[] = {
    {-40.0, 120.0}, {0.0, 117.0},   {38.0, 114.0},  {95.0, 136.0},  {150.0, 164.0},
    {200.0, 176.0}, {245.0, 173.0}, {285.0, 163.0}, {320.0, 156.0}, {360.0, 150.0},
};
constexpr int kOutlinePoints = sizeof(kOutline) / sizeof(kOutline[0]);

double outlineHalfWidth(double y) {
    int i = 1;
    while (i < kOutlinePoints - 3 && y > kOutline[i + 1].y)
        ++i;
    const ProfilePoint& p0 = kOutline[i - 1];
    const ProfilePoint& p1 = kOutline[i];
    const ProfilePoint& p2 = kOutline[i + 1];
    const ProfilePoint& p3 = kOutline[i + 2];
    const double span = p2.y - p1.y;
    const double t = clampTo((y - p1.y) / span, 0.0, 1.0);
    const double m1 = (p2.halfWidth - p0.halfWidth) / (p2.y - p0.y) * span;
    const double m2 = (p3.halfWidth - p1.halfWidth) / (p3.y - p1.y) * span;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * p1.halfWidth + (t3 - 2 * t2 + t) * m1 +
           (-2 * t3 + 3 * t2) * p2.halfWidth + (t3 - t2) * m2;
}

// The narrow gap between the thighs, rounded at its top.
constexpr double kGapTop = 281.0;
constexpr double kGapHalfWidthAtBottom = 15.0;

double gapHalfWidth(double y) {
    if (y <= kGapTop)
        return 0.0;
    return kGapHalfWidthAtBottom * squareRoot((y - kGapTop) / (kHeight - kGapTop));
}

// Signed distance to the outline, negative inside (a close estimate: the
// horizontal distance corrected for the outline's slope).
double outlineDistance(double x, double y) {
    const double dx = x - kCentreX;
    const double w = outlineHalfWidth(y);
    const double slope = (outlineHalfWidth(y + 0.5) - outlineHalfWidth(y - 0.5));
    double d = absOf(dx) - w;
    d /= squareRoot(1.0 + slope * slope);
    const double g = gapHalfWidth(y);
    if (y > kGapTop - 2.0) {
        const double gs = gapHalfWidth(y + 0.5) - gapHalfWidth(y - 0.5);
        double inGap = (g - absOf(dx)) / squareRoot(1.0 + gs * gs);
        if (y <= kGapTop)
            inGap = -(kGapTop - y) - absOf(dx);
        if (inGap > d)
            d = inGap;
    }
    return d;
}

constexpr double kCheekOffset = 84.0;
constexpr double kCheekY = 186.0;
constexpr double kCheekRadiusX = 100.0;
constexpr double kCheekRadiusUp = 135.0;
constexpr double kCheekRadiusDown = 80.0;
constexpr double kCheekHeight = 54.0;

// The cheek's vertical radius, longer above its centre than below, changing
// smoothly so that the light on it shows no seam.
double cheekRadiusY(double dy) {
    return mix(kCheekRadiusUp, kCheekRadiusDown, smoothStep(-45.0, 45.0, dy));
}

// Squared normalised distance from a cheek's centre: 1 on its rim.
double cheekRadius2(double x, double y, double side) {
    const double dx = (x - (kCentreX + side * kCheekOffset)) / kCheekRadiusX;
    const double dy = (y - kCheekY) / cheekRadiusY(y - kCheekY);
    return dx * dx + dy * dy;
}

// The dome of one cheek: it rises gently out of the back above and the hips
// beside it, and ends in a steep fold below, where it rests on the thigh.
double cheekBulge(double x, double y, double side) {
    const double u2 = cheekRadius2(x, y, side);
    if (u2 >= 1.0)
        return 0.0;
    const double ex = side * (x - (kCentreX + side * kCheekOffset)) / kCheekRadiusX;
    const double ey = (y - kCheekY) / cheekRadiusY(y - kCheekY);
    const double u = squareRoot(u2);
    const double down = u > 0.0 ? ey / u : 0.0;
    const double outward = u > 0.0 ? ex / u : 0.0;
    const double fold = smoothStep(0.15, 0.8, down) * (1.0 - smoothStep(0.35, 0.85, outward));
    const double v = 1.0 - u2;
    // Gentle rim: flat where it meets the body; folding rim: a steep edge.
    return kCheekHeight * mix(v * v * (3.0 - 2.0 * v), squareRoot(v), fold);
}

struct Surface {
    double height;
    double crease;  // how deep the sharp join lies below a soft one
};

Surface surface(double x, double y) {
    const double dx = x - kCentreX;
    const double w = outlineHalfWidth(y);
    const double ax = clampTo(dx / w, -0.995, 0.995);
    const double hips = 0.62 * w * squareRoot(1.0 - ax * ax);

    // The thighs take over from the hips towards the bottom.
    const double thighCentre = 0.5 * w + 4.0;
    const double thighHalf = 0.5 * w + 4.0;
    const double tl = clampTo((dx + thighCentre) / thighHalf, -0.995, 0.995);
    const double tr = clampTo((dx - thighCentre) / thighHalf, -0.995, 0.995);
    const double thighs = smoothMax(0.9 * thighHalf * squareRoot(1.0 - tl * tl),
                                    0.9 * thighHalf * squareRoot(1.0 - tr * tr), 6.0);
    const double lower = smoothStep(225.0, 305.0, y);
    const double body = mix(hips, thighs, lower);

    const double left = cheekBulge(x, y, -1.0);
    const double right = cheekBulge(x, y, 1.0);
    const double sharp = smoothMax(left, right, 1.5);
    const double soft = smoothMax(left, right, 22.0);

    double h = body + sharp;
    // A shallow groove along the spine and two small dimples above the cheeks.
    const double spineFade = 1.0 - smoothStep(40.0, 120.0, y);
    h -= 4.0 * expOf(-(dx * dx) / 90.0) * spineFade;
    for (double side = -1.0; side <= 1.0; side += 2.0) {
        const double ddx = dx - side * 46.0;
        const double ddy = y - 78.0;
        h -= 3.0 * expOf(-(ddx * ddx * 0.6 + ddy * ddy) / 70.0);
    }
    return {h, soft - sharp};
}

const Rgb kSkinDeep = {204.0, 124.0, 108.0};
const Rgb kSkinShadow = {232.0, 160.0, 138.0};
const Rgb kSkinMid = {250.0, 194.0, 168.0};
const Rgb kSkinLight = {255.0, 216.0, 192.0};
const Rgb kSkinHighlight = {255.0, 236.0, 222.0};
const Rgb kInk = {186.0, 100.0, 88.0};

Rgb skinRamp(double t) {
    if (t < 0.25)
        return mixRgb(kSkinDeep, kSkinShadow, t / 0.25);
    if (t < 0.55)
        return mixRgb(kSkinShadow, kSkinMid, (t - 0.25) / 0.30);
    return mixRgb(kSkinMid, kSkinLight, (t - 0.55) / 0.45);
}

// Strength (0..1) of the contour line at a point: the outline, the cleft and
// the two folds under the cheeks, each tapering at its ends.
double inkAt(double x, double y, double edgeDistance) {
    double ink = 1.0 - smoothStep(0.6, 2.2, -edgeDistance);

    const double dx = x - kCentreX;
    const double adx = absOf(dx);
    // The cleft: starts thin and faint, ends in the folds.
    const double cleftTop = 122.0;
    if (y > cleftTop && y < 276.0) {
        const double along =
            smoothStep(cleftTop, cleftTop + 60.0, y) * (1.0 - smoothStep(256.0, 276.0, y));
        const double width = 0.5 + 0.7 * along;
        ink = smoothMax(ink, along * (1.0 - smoothStep(width * 0.5, width + 0.9, adx)), 0.05);
    }
    // The folds: the lower rim of each cheek, strongest under its middle.
    for (double side = -1.0; side <= 1.0; side += 2.0) {
        const double cx = kCentreX + side * kCheekOffset;
        const double ux = (x - cx) / kCheekRadiusX;
        if (y < kCheekY || ux * ux >= 1.0)
            continue;
        const double reach = squareRoot(1.0 - ux * ux);
        double rimDy = kCheekRadiusDown * reach;
        for (int i = 0; i < 6; ++i)
            rimDy = cheekRadiusY(rimDy) * reach;
        const double rimY = kCheekY + rimDy;
        const double toward = side * (x - cx);  // > 0 towards the outside
        const double taper = (1.0 - smoothStep(0.1, 0.75, toward / kCheekRadiusX)) *
                             (1.0 - smoothStep(0.55, 0.95, -toward / kCheekRadiusX));
        const double width = 0.4 + 1.1 * taper;
        const double dist = absOf(y - rimY);
        ink = smoothMax(ink, taper * (1.0 - smoothStep(width * 0.5, width + 1.0, dist)), 0.05);
    }
    return clamp01(ink);
}

Rgb shade(double x, double y) {
    const double dx = x - kCentreX;
    // Keep the light sampling just inside the outline.
    const double w = outlineHalfWidth(y) - 0.8;
    double sx = x;
    if (dx > w)
        sx = kCentreX + w;
    if (dx < -w)
        sx = kCentreX - w;

    const Surface here = surface(sx, y);
    const double hx = surface(sx + 0.5, y).height - surface(sx - 0.5, y).height;
    const double hy = surface(sx, y + 0.5).height - surface(sx, y - 0.5).height;
    // Normal of the height field (y grows downwards).
    double nx = -hx;
    double ny = -hy;
    double nz = 1.0;
    const double nl = squareRoot(nx * nx + ny * ny + nz * nz);
    nx /= nl;
    ny /= nl;
    nz /= nl;
    // Light from the upper left and in front.
    const double lx = -0.42, ly = -0.55, lz = 0.72;
    const double ll = squareRoot(lx * lx + ly * ly + lz * lz);
    const double diffuse = (nx * lx + ny * ly + nz * lz) / ll;
    double t = clamp01((diffuse + 0.30) / 1.22);

    // Soft shadow in the creases and under the cheeks.
    t -= 0.55 * smoothStep(0.0, 9.0, here.crease);
    const double nearest = smoothMin(cheekRadius2(sx, y, -1.0), cheekRadius2(sx, y, 1.0), 0.1);
    if (y > kCheekY)
        t -= 0.22 * (1.0 - smoothStep(1.0, 1.45, nearest)) * smoothStep(0.9, 1.0, nearest);
    const double gapDist = absOf(dx) - gapHalfWidth(y);
    if (y > kGapTop - 30.0)
        t -= 0.25 * (1.0 - smoothStep(0.0, 16.0, gapDist)) * smoothStep(kGapTop - 30.0, kGapTop, y);

    Rgb c = skinRamp(clamp01(t));

    // A gentle highlight on each cheek, up and to the left of its crown, where
    // the light meets the dome head on.
    for (double side = -1.0; side <= 1.0; side += 2.0) {
        const double hx0 = x - (kCentreX + side * kCheekOffset - 20.0);
        const double hy0 = y - (kCheekY - 34.0);
        // An oval, its long axis running from upper left to lower right.
        const double along = 0.80 * hx0 - 0.60 * hy0;
        const double across = 0.60 * hx0 + 0.80 * hy0;
        const double glow =
            expOf(-(along * along / (2.0 * 15.0 * 15.0) + across * across / (2.0 * 24.0 * 24.0)));
        c = mixRgb(c, kSkinHighlight, 0.75 * glow);
    }

    const double ink = inkAt(x, y, outlineDistance(x, y));
    return mixRgb(c, kInk, ink);
}

}  // namespace

Canvas drawFigure() {
    Canvas canvas(kWidth, kHeight, kBackground);
    const Rgb blue = {0.0, 0.0, 255.0};
    const auto insideFigure = [](double x, double y) { return outlineDistance(x, y) < 0.0; };
    for (int32_t py = 0; py < kHeight; ++py) {
        for (int32_t px = 0; px < kWidth; ++px) {
            const double x = px + 0.5;
            const double y = py + 0.5;
            const double d = outlineDistance(x, y);
            // Only pixels near the outline need sampling.
            double coverage = d <= -2.0 ? 1.0 : 0.0;
            if (d > -2.0 && d < 2.0)
                coverage = countSamples(px, py, 8, insideFigure) / 64.0;
            if (coverage <= 0.0)
                continue;
            uint32_t word = packRgb(mixRgb(blue, shade(x, y), coverage));
            // Only the background may be pure blue: every figure pixel stays below it.
            if ((word & 0xFF) > 254)
                word = (word & 0xFFFF00) | 254;
            canvas.set(px, py, word);
        }
    }
    return canvas;
}
