#pragma once
// Fakes and helpers for the application's tests: a platform that records
// every call, a random source that plays a script and counts its draws, a
// private temp folder, and picture and file builders.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"

using Bytes = std::vector<uint8_t>;

// Records each call as one line, e.g. "playSound 2", "pause 250",
// "repaintView 240,160" (the hand position at that moment, when an AppState is
// observed), "enableClearButton 0", "setAutoButtonText 停止".
class FakePlatform : public Platform {
public:
    std::vector<std::string> calls;
    // When set, repaints record the hand position seen at that moment.
    const AppState* observed = nullptr;
    // Sounds are recorded by their index in this table (or "?" when unknown).
    const Sound* sounds = nullptr;
    // Minimum sizes passed to readFile, in order.
    std::vector<int32_t> readMinimums;
    // Runs at the start of readFile with its path: lets a test alter the file.
    std::function<void(const std::string&)> beforeRead;
    bool failReplace = false;
    // Hands out files below the minimum size too, against the seam's promise.
    bool ignoreMinimum = false;
    // Runs inside repaintView, after the call is recorded.
    std::function<void()> onRepaintView;

    void playSound(const uint8_t* wav, int32_t size) override;
    void pause(int32_t milliseconds) override;
    void repaintView() override;
    void repaintWindow() override;
    void startAutoTimer() override;
    void stopAutoTimer() override;
    void enableClearButton(bool enabled) override;
    void setAutoButtonText(const char* text) override;
    uint8_t* readFile(const char* path, int32_t minimumSize, int32_t* size) override;
    bool replaceFile(const char* from, const char* to) override;
    bool removeFile(const char* path) override;

    // Calls whose line starts with prefix.
    int count(const std::string& prefix) const;
};

// Hands out values from a generator (by draw index) and counts the draws.
class ScriptedRandom : public RandomSource {
public:
    std::function<int32_t(int64_t)> generator = [](int64_t) { return 0; };
    int64_t draws = 0;

    int32_t next() override { return generator(draws++); }

    // The same value for every draw.
    void always(int32_t value);
    // The listed values first, then value for every further draw.
    void script(std::vector<int32_t> values, int32_t then);
};

// A folder of its own under the system's temp folder, removed with everything
// in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path(const std::string& name) const;

private:
    std::string root_;
};

Bytes readBytes(const std::string& path);
void writeBytes(const std::string& path, const Bytes& bytes);
bool fileExists(const std::string& path);

// One raw pixel word through bits(), top byte and all (bits() need not be
// 4-byte aligned, so words are moved as bytes).
void setWord(Dib32Image& image, int32_t index, uint32_t word);
uint32_t wordAt(Dib32Image& image, int32_t index);
// Every pixel word of the image, through bits().
void fillWords(Dib32Image& image, uint32_t word);
// The image's pixel words, row 0 first.
std::vector<uint32_t> wordsOf(Dib32Image& image);
// A picture of varied skin colours (blue below 255), different for each seed.
void paintPattern(Dib32Image& image, uint32_t seed);
// The BMP file the image library writes for image with this save id.
Bytes encoded(const Dib32Image& image, int32_t id, const TempDir& dir);

// Little-endian 32-bit field at offset.
int32_t fieldAt(const Bytes& bytes, size_t offset);
void setFieldAt(Bytes& bytes, size_t offset, int32_t value);

constexpr uint32_t kBackground = 0x0000FFu;

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return (r << 16) | (g << 8) | b;
}

constexpr uint32_t kSkin = rgb(100, 100, 100);

// An App over a recording platform and a scripted random source, with three
// small distinct sounds; both pictures start as plain skin, kSkin everywhere.
class AppFixture : public ::testing::Test {
protected:
    AppFixture();

    // Both pictures, every pixel.
    void paintBoth(uint32_t current, uint32_t untouched);
    uint32_t currentAt(int32_t x, int32_t y) const { return state.currentPicture->pixel(x, y); }

    FakePlatform platform;
    ScriptedRandom random;
    App app{platform, random};
    AppState& state = app.state();
    uint8_t wav[3][4] = {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}};
};

