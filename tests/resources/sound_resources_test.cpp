#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/resources/resource_bytes.h"

namespace {

constexpr size_t kRate = 44100;

std::vector<int16_t> samplesOf(const Bytes& file) {
    std::vector<int16_t> s;
    for (size_t at = 44; at + 1 < file.size(); at += 2)
        s.push_back(static_cast<int16_t>(le16(file, at)));
    return s;
}

struct SoundCase {
    const char* name;
    uint32_t samples;
    const char* next;
};
void PrintTo(const SoundCase& c, std::ostream* os) {
    *os << c.name;
}

class BuiltInSound : public ::testing::TestWithParam<SoundCase> {
protected:
    void SetUp() override {
        file = readResource(GetParam().name);
        ASSERT_EQ(file.size(), 44 + 2 * size_t(GetParam().samples));
        samples = samplesOf(file);
        for (size_t i = 0; i < samples.size(); ++i)
            if (std::abs(samples[i]) > std::abs(samples[peakAt]))
                peakAt = i;
        peak = std::abs(samples[peakAt]);
    }
    Bytes file;
    std::vector<int16_t> samples;
    int32_t peak = 0;
    size_t peakAt = 0;
};

TEST_P(BuiltInSound, HeaderDescribesMono16Bit44100HzPcm) {
    const uint32_t data = 2 * GetParam().samples;
    expectFields(file, {{0, 4, tag("RIFF")},
                        {4, 4, 36 + data},
                        {8, 4, tag("WAVE")},
                        {12, 4, tag("fmt ")},
                        {16, 4, 16},
                        {20, 2, 1},
                        {22, 2, 1},
                        {24, 4, 44100},
                        {28, 4, 88200},
                        {32, 2, 2},
                        {34, 2, 16},
                        {36, 4, tag("data")},
                        {40, 4, data}});
}

// Loud but well clear of clipping, and a sharp crack first: the loudest
// moment lies in the first 15 ms.
TEST_P(BuiltInSound, PeaksNearMinus3DbfsWithinTheFirst15Ms) {
    EXPECT_NEAR(20.0 * std::log10(peak / 32768.0), -3.0, 1.0) << "peak " << peak;
    EXPECT_LT(peakAt, kRate * 15 / 1000);
}

// The slap is over early: the last tenth of a second is exact silence, and the
// sound fades out before it instead of stopping with a click.
TEST_P(BuiltInSound, EndsInSilenceWithoutAClick) {
    size_t end = samples.size();  // one past the last sample that is not zero
    while (end > 0 && samples[end - 1] == 0)
        --end;
    ASSERT_GT(end, kRate / 100);
    EXPECT_LE(end + kRate / 10, samples.size()) << "sound until sample " << end;
    for (size_t i = end - kRate / 100; i < end; ++i)
        EXPECT_LE(std::abs(samples[i]) * 100, peak) << "sample " << i;
}

// Three different slaps, not one sound three times: the first tenth of a
// second of each does not correlate with the next one's.
TEST_P(BuiltInSound, DiffersFromTheNextSlap) {
    const std::vector<int16_t> next = samplesOf(readResource(GetParam().next));
    ASSERT_GT(next.size(), kRate / 10);
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < kRate / 10; ++i) {
        ab += double(samples[i]) * next[i];
        aa += double(samples[i]) * samples[i];
        bb += double(next[i]) * next[i];
    }
    EXPECT_LT(std::fabs(ab) / std::sqrt(aa * bb), 0.3);
}

INSTANTIATE_TEST_SUITE_P(Files, BuiltInSound,
                         ::testing::Values(SoundCase{"slap1.wav", 22433, "slap2.wav"},
                                           SoundCase{"slap2.wav", 22284, "slap3.wav"},
                                           SoundCase{"slap3.wav", 22423, "slap1.wav"}),
                         [](const ::testing::TestParamInfo<SoundCase>& info) {
                             return "Slap" + std::to_string(info.index + 1);
                         });

}  // namespace
