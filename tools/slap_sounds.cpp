// The three slap sounds. Each is a burst of shaped noise: a sharp broadband
// crack, one or two smaller cracks just after it (the fingers landing a moment
// after the palm), and a short resonant body (the thump of the flesh), all
// dying away within about a quarter of a second, then silence.
#include "tools/resources_gen.h"

namespace {

constexpr double kRate = 44100.0;
// Peaks at -3 dBFS: 32767 x 10^(-3/20).
constexpr double kPeak = 23197.0;

struct SlapVoice {
    uint32_t seed;
    double crackCentre;   // Hz, where the crack's noise is strongest
    double crackDecay;    // seconds to fall to 1/e
    double flamDelay[2];  // seconds after the first crack; 0 for none
    double flamLevel[2];
    double bodyFrequency;  // Hz, the low thump
    double bodyDecay;
    double bodyLevel;
    double slapFrequency;  // Hz, the papery mid resonance
    double slapDecay;
    double slapLevel;
    double fadeStart;  // seconds: from here the tail is faded to nothing
    double fadeLength;
};

const SlapVoice kVoices[3] = {
    // A crisp, bright smack.
    {0x51A9C0DEu,
     3000.0,
     0.0080,
     {0.0042, 0.0},
     {0.45, 0.0},
     185.0,
     0.034,
     0.55,
     780.0,
     0.018,
     0.45,
     0.150,
     0.060},
    // Harder and lower, with a double landing.
    {0x7E57B0A7u,
     2100.0,
     0.0110,
     {0.0031, 0.0078},
     {0.55, 0.30},
     140.0,
     0.046,
     0.80,
     560.0,
     0.022,
     0.40,
     0.170,
     0.070},
    // Light and snappy: a short, high crack and little body.
    {0x2B0D1E5Fu,
     3900.0,
     0.0060,
     {0.0060, 0.0},
     {0.35, 0.0},
     230.0,
     0.024,
     0.40,
     1000.0,
     0.013,
     0.50,
     0.120,
     0.050},
};

// A two-pole band-pass with unit gain at its centre.
class BandPass {
public:
    BandPass(double centre, double q) {
        const double w = 2.0 * kPi * centre / kRate;
        const double alpha = sinOf(w) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        b0_ = alpha / a0;
        b2_ = -alpha / a0;
        a1_ = -2.0 * cosOf(w) / a0;
        a2_ = (1.0 - alpha) / a0;
    }
    double step(double x) {
        const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_ = 0.0, b2_ = 0.0, a1_ = 0.0, a2_ = 0.0;
    double x1_ = 0.0, x2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

// The envelope of one crack starting at `start`: a ramp of half a millisecond,
// then an exponential fall.
double crackEnvelope(double t, double start, double decay) {
    const double local = t - start;
    if (local < 0.0)
        return 0.0;
    const double attack = 0.0005;
    if (local < attack)
        return local / attack;
    return expOf(-(local - attack) / decay);
}

}  // namespace

std::vector<int16_t> synthesizeSlap(int which, int32_t sampleCount) {
    const SlapVoice& v = kVoices[which < 0 ? 0 : (which > 2 ? 2 : which)];
    Rng rng(v.seed);
    BandPass crackTone(v.crackCentre, 0.7);
    BandPass body(v.bodyFrequency, 2.2);
    BandPass slap(v.slapFrequency, 1.6);

    std::vector<double> wave(static_cast<size_t>(sampleCount), 0.0);
    double previousNoise = 0.0;
    double dcIn = 0.0, dcOut = 0.0;
    const double end = v.fadeStart + v.fadeLength;
    for (int32_t i = 0; i < sampleCount; ++i) {
        const double t = i / kRate;
        if (t >= end)
            break;
        const double noise = rng.symmetric();
        // The crack: a wide band of noise with a little of the very top.
        const double bright = noise - 0.6 * previousNoise;
        previousNoise = noise;
        double crackEnv = crackEnvelope(t, 0.0, v.crackDecay);
        for (int k = 0; k < 2; ++k)
            if (v.flamDelay[k] > 0.0)
                crackEnv += v.flamLevel[k] * crackEnvelope(t, v.flamDelay[k], v.crackDecay * 0.8);
        const double crack = crackEnv * (0.3 * bright + 2.0 * crackTone.step(noise));

        // The body: narrow bands of the same noise with slower falls.
        const double bodyEnv = crackEnvelope(t, 0.0, v.bodyDecay);
        const double slapEnv = crackEnvelope(t, 0.0, v.slapDecay);
        const double thump = v.bodyLevel * 14.0 * body.step(noise) * bodyEnv;
        const double papery = v.slapLevel * 4.5 * slap.step(noise) * slapEnv;

        double s = crack + thump + papery;
        // Take away any slow drift, so the tail settles on zero.
        const double blocked = s - dcIn + 0.995 * dcOut;
        dcIn = s;
        dcOut = blocked;
        s = blocked;
        if (t > v.fadeStart) {
            const double f = (t - v.fadeStart) / v.fadeLength;
            s *= 0.5 + 0.5 * cosOf(kPi * f);
        }
        wave[static_cast<size_t>(i)] = s;
    }

    double peak = 0.0;
    for (double s : wave) {
        if (absOf(s) > peak)
            peak = absOf(s);
    }
    std::vector<int16_t> samples(static_cast<size_t>(sampleCount), 0);
    if (peak <= 0.0)
        return samples;
    const double gain = kPeak / peak;
    for (size_t i = 0; i < wave.size(); ++i)
        samples[i] = static_cast<int16_t>(roundToInt(wave[i] * gain));
    return samples;
}

std::vector<uint8_t> wavFile(const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> file;
    file.reserve(44 + dataBytes);
    auto text = [&](const char* tag) {
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<uint8_t>(tag[i]));
    };
    text("RIFF");
    appendLe32(file, 36 + dataBytes);
    text("WAVE");
    text("fmt ");
    appendLe32(file, 16);
    appendLe16(file, 1);  // PCM
    appendLe16(file, 1);  // mono
    appendLe32(file, 44100);
    appendLe32(file, 44100 * 2);
    appendLe16(file, 2);
    appendLe16(file, 16);
    text("data");
    appendLe32(file, dataBytes);
    for (int16_t s : samples)
        appendLe16(file, static_cast<uint16_t>(s));
    return file;
}
