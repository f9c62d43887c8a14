// The real sound player, in a program of its own: its sink then holds
// exactly what this program played, from the first byte.
#include "win32_test_support.h"

using MainWindowSound = MainWindowTest;

// Through the real sound player: each slap's sound, chosen by its last draw,
// lands in the test run's sound sink byte for byte; a click on the blue adds nothing.
TEST_F(MainWindowSound, SlapPlaysTheDrawnSoundIntoTheSinkAndTheBlueNothing) {
    const char* sink = getenv("HOPPEL_SOUND_SINK");
    if (sink == nullptr) {
        GTEST_SKIP() << "no sound sink: run through scripts/wine-run.sh";
    }
    loadTestPicture();
    std::vector<uint8_t> expected;
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
        expected.insert(expected.end(), played.bytes + 44,
                        played.bytes + played.size);  // the samples
    }
    EXPECT_EQ(state().slapCount, 3);
    // The sink's writer may lag behind the player: wait for the bytes, not for quiet.
    EXPECT_TRUE(pumpUntil([&] { return readWholeFile(sink).size() >= expected.size(); }, 20000))
        << readWholeFile(sink).size() << " of " << expected.size() << " bytes";
    EXPECT_TRUE(readWholeFile(sink) == expected);
}
