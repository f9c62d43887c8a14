// The real sound player, in a program of its own: its sink then holds
// exactly what this program played, from the first sample.
#include "stream/little_endian.h"
#include "win32_test_support.h"

namespace {

// The samples that are not silence: the player writes silence into the sink
// when it runs late (on a loaded machine), anywhere between the samples.
std::vector<int16_t> voiced(const uint8_t* bytes, size_t size) {
    std::vector<int16_t> samples;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const int16_t sample = int16_t(loadLe16(bytes + i));
        if (sample != 0) {
            samples.push_back(sample);
        }
    }
    return samples;
}

std::vector<int16_t> voicedSink(const char* sink) {
    const std::vector<uint8_t> bytes = readWholeFile(sink);
    return voiced(bytes.data(), bytes.size());
}

}  // namespace

using MainWindowSound = MainWindowTest;

// Through the real sound player: each slap's sound, chosen by its last draw,
// lands in the test run's sound sink byte for byte; a click on the blue adds nothing.
TEST_F(MainWindowSound, SlapPlaysTheDrawnSoundIntoTheSinkAndTheBlueNothing) {
    const char* sink = getenv("HOPPEL_SOUND_SINK");
    if (sink == nullptr) {
        GTEST_SKIP() << "no sound sink: run through scripts/wine-run.sh";
    }
    loadTestPicture();
    std::vector<int16_t> expected;
    // Far from the edges and the blue the inner area draws 6,844 times; the next draw picks the
    // sound.
    for (int32_t sound : {2, 0, 1}) {
        std::vector<int32_t> draws(6844, 0);
        draws.push_back(30000 + sound);  // 30000 % 3 == 0
        random_.script(draws);
        slapAt(300, 160);
        slapAt(60, 160);  // the blue
        const Sound& played = state().slapSounds[sound];
        ASSERT_GT(played.size, 44);
        const std::vector<int16_t> samples = voiced(played.bytes + 44, size_t(played.size - 44));
        expected.insert(expected.end(), samples.begin(), samples.end());
    }
    EXPECT_EQ(state().slapCount, 3);
    // The sink's writer may lag behind the player: wait for the samples, not for quiet.
    EXPECT_TRUE(pumpUntil([&] { return voicedSink(sink).size() >= expected.size(); }, 20000))
        << voicedSink(sink).size() << " of " << expected.size() << " samples";
    EXPECT_TRUE(voicedSink(sink) == expected);
}
