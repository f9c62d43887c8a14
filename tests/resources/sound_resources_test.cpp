#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "tests/resources/resource_bytes.h"

namespace {

constexpr int32_t kRate = 44100;

struct SoundCase {
    const char* name;
    size_t bytes;
};

// Names the case in test listings.
void PrintTo(const SoundCase& c, std::ostream* os) { *os << c.name; }

std::vector<int16_t> samplesOf(const Bytes& file) {
    std::vector<int16_t> s;
    for (size_t at = 44; at + 1 < file.size(); at += 2) s.push_back(static_cast<int16_t>(le16(file, at)));
    return s;
}

int32_t peakOf(const std::vector<int16_t>& s) {
    int32_t peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int32_t>(v)));
    return peak;
}

double rms(const std::vector<int16_t>& s, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Index of the last sample that is not zero.
size_t lastSound(const std::vector<int16_t>& s) {
    size_t last = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] != 0) last = i;
    return last;
}

class BuiltInSound : public ::testing::TestWithParam<SoundCase> {
protected:
    void SetUp() override {
        file = readResource(GetParam().name);
        ASSERT_EQ(file.size(), GetParam().bytes) << GetParam().name;
        samples = samplesOf(file);
    }
    Bytes file;
    std::vector<int16_t> samples;
};

TEST_P(BuiltInSound, HeaderDescribesMono16Bit44100HzPcm) {
    EXPECT_EQ(fourCc(file, 0), "RIFF");
    EXPECT_EQ(le32(file, 4), file.size() - 8);
    EXPECT_EQ(fourCc(file, 8), "WAVE");
    EXPECT_EQ(fourCc(file, 12), "fmt ");
    EXPECT_EQ(le32(file, 16), 16u);
    EXPECT_EQ(le16(file, 20), 1);  // PCM
    EXPECT_EQ(le16(file, 22), 1);  // mono
    EXPECT_EQ(le32(file, 24), 44100u);
    EXPECT_EQ(le32(file, 28), 88200u);
    EXPECT_EQ(le16(file, 32), 2);
    EXPECT_EQ(le16(file, 34), 16);
    EXPECT_EQ(fourCc(file, 36), "data");
    EXPECT_EQ(le32(file, 40), file.size() - 44);
    EXPECT_EQ((file.size() - 44) % 2, 0u) << "whole samples";
}

TEST_P(BuiltInSound, PeaksNearMinus3DbfsWithoutClipping) {
    const int32_t peak = peakOf(samples);
    const double dbfs = 20.0 * std::log10(peak / 32768.0);
    EXPECT_GE(dbfs, -4.0);
    EXPECT_LE(dbfs, -2.0);
    EXPECT_LT(peak, 32767);
}

// The slap is over early: the last tenth of a second is exact silence, and the
// sound fades out before it instead of stopping with a click.
TEST_P(BuiltInSound, EndsInSilenceWithoutAClick) {
    const size_t last = lastSound(samples);
    ASSERT_GT(last, 0u);
    EXPECT_LE(last + kRate / 10, samples.size()) << "sound until sample " << last;
    const int32_t peak = peakOf(samples);
    const size_t from = last > kRate / 100 ? last - kRate / 100 : 0;
    for (size_t i = from; i <= last; ++i)
        EXPECT_LE(std::abs(static_cast<int32_t>(samples[i])) * 100, peak) << "sample " << i;
}

// A sharp crack first: the loudest moment lies in the first 15 ms, its sound
// is broadband (it crosses zero often), and within a tenth of a second the
// level has fallen by more than 24 dB.
TEST_P(BuiltInSound, StartsWithABroadbandCrackAndDecaysFast) {
    const int32_t peak = peakOf(samples);
    size_t peakAt = 0;
    while (std::abs(static_cast<int32_t>(samples[peakAt])) != peak) ++peakAt;
    EXPECT_LT(peakAt, static_cast<size_t>(kRate * 15 / 1000));

    int32_t crossings = 0;
    for (size_t i = 1; i < static_cast<size_t>(kRate / 100); ++i)
        if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
    EXPECT_GE(crossings, 40) << "about 4,000 crossings a second or more";

    const double start = rms(samples, 0, kRate / 100);
    const double later = rms(samples, kRate / 10, kRate * 3 / 20);
    EXPECT_GT(start, 0.0);
    EXPECT_LT(20.0 * std::log10((later + 1.0) / start), -24.0);
}

INSTANTIATE_TEST_SUITE_P(Files, BuiltInSound,
                         ::testing::Values(SoundCase{"slap1.wav", 44910}, SoundCase{"slap2.wav", 44612},
                                           SoundCase{"slap3.wav", 44890}),
                         [](const ::testing::TestParamInfo<SoundCase>& info) {
                             return "Slap" + std::to_string(info.index + 1);
                         });

// Three different slaps, not one sound three times: their waves do not
// correlate and they ring for clearly different times.
TEST(BuiltInSounds, AreThreeDifferentSlaps) {
    std::vector<std::vector<int16_t>> s;
    for (const char* name : {"slap1.wav", "slap2.wav", "slap3.wav"}) {
        s.push_back(samplesOf(readResource(name)));
        ASSERT_GT(s.back().size(), static_cast<size_t>(kRate / 10)) << name;
    }
    for (size_t a = 0; a < 3; ++a) {
        for (size_t b = a + 1; b < 3; ++b) {
            double ab = 0.0, aa = 0.0, bb = 0.0;
            for (size_t i = 0; i < static_cast<size_t>(kRate / 10); ++i) {
                ab += static_cast<double>(s[a][i]) * s[b][i];
                aa += static_cast<double>(s[a][i]) * s[a][i];
                bb += static_cast<double>(s[b][i]) * s[b][i];
            }
            EXPECT_LT(std::fabs(ab) / std::sqrt(aa * bb), 0.3) << a + 1 << " and " << b + 1;
            const long la = static_cast<long>(lastSound(s[a]));
            const long lb = static_cast<long>(lastSound(s[b]));
            EXPECT_GE(std::labs(la - lb), kRate / 200) << a + 1 << " and " << b + 1;
        }
    }
}

}  // namespace
