#pragma once
// Helpers for the application's tests: picture helpers and a fixture over
// the recording platform and the scripted random source.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "tests/support/fake_platform.h"
#include "tests/support/pixel_words.h"
#include "tests/support/scripted_random.h"

// Raw pixel words, top byte and all.
void setWord(Dib32Image& image, int32_t index, uint32_t word);
void fillWords(Dib32Image& image, uint32_t word);
// Varied skin colours (blue below 255), different for each seed.
void paintPattern(Dib32Image& image, uint32_t seed);
std::vector<uint32_t> patternWords(int32_t width, int32_t height, uint32_t seed);

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}
constexpr uint32_t kBackground = 0x0000FFu;
constexpr uint32_t kSkin = rgb(100, 100, 100);
// kSkin after one slap in the inner area with even draws, and in the ring.
constexpr uint32_t kInner = rgb(102, 98, 98);
constexpr uint32_t kRing = rgb(101, 99, 99);

// An App over a recording platform and a scripted random source with three
// distinct sounds; both pictures start as kSkin everywhere.
class AppFixture : public ::testing::Test {
protected:
    AppFixture();

    void paintBoth(uint32_t current, uint32_t untouched);
    uint32_t currentAt(int32_t x, int32_t y) const { return state.currentPicture->pixel(x, y); }

    FakePlatform platform;
    ScriptedRandom random;
    App app{platform, random};
    AppState& state = app.state();
    uint8_t wav[3][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {2, 2, 2, 2}};
};
