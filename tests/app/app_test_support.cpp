#include "app_test_support.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "stream/block.h"

namespace fs = std::filesystem;

void FakePlatform::repaintView() {
    calls.push_back("repaintView " + std::to_string(observed->handX) + "," +
                    std::to_string(observed->handY));
    if (onRepaintView)
        onRepaintView();
}

FileBytes FakePlatform::readFile(const char* path, int32_t minimumSize) {
    calls.push_back(std::string("readFile ") + path + " " + std::to_string(minimumSize));
    std::ifstream in(fs::u8path(path), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    FileBytes file;
    if (!in.is_open() || (int64_t(bytes.size()) < minimumSize && !ignoreMinimum))
        return file;
    file.bytes.reset(allocBlock(static_cast<int32_t>(bytes.size())));
    if (file.bytes != nullptr) {
        std::memcpy(file.bytes.get(), bytes.data(), bytes.size());
        file.size = static_cast<int32_t>(bytes.size());
    }
    return file;
}

bool FakePlatform::createNewFile(const char* path) {
    calls.push_back(std::string("createNewFile ") + path);
    const fs::path file = fs::u8path(path);
    std::error_code error;
    if (fs::exists(fs::symlink_status(file, error)))
        return false;
    return std::ofstream(file, std::ios::binary).good();
}

bool FakePlatform::replaceFile(const char* from, const char* to) {
    calls.push_back(std::string("replaceFile ") + from + " " + to);
    std::error_code error;
    if (!failReplace)
        fs::rename(fs::u8path(from), fs::u8path(to), error);
    return !failReplace && !error;
}

bool FakePlatform::removeFile(const char* path) {
    calls.push_back(std::string("removeFile ") + path);
    std::error_code error;
    return fs::remove(fs::u8path(path), error);
}

void setWord(Dib32Image& image, int32_t index, uint32_t word) {
    image.words().store(index, word);
}

void fillWords(Dib32Image& image, uint32_t word) {
    for (int32_t i = 0; i < image.width() * image.height(); ++i)
        setWord(image, i, word);
}

std::vector<uint32_t> wordsOf(Dib32Image& image) {
    std::vector<uint32_t> words(static_cast<size_t>(image.width()) *
                                static_cast<size_t>(image.height()));
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = image.words().load(int64_t(i));
    return words;
}

void paintPattern(Dib32Image& image, uint32_t seed) {
    uint32_t state = seed * 2654435761u + 12345u;
    for (int32_t y = 0; y < image.height(); ++y)
        for (int32_t x = 0; x < image.width(); ++x) {
            state = state * 1103515245u + 12345u;
            image.setPixel(x, y,
                           rgb(state >> 8 & 0xFFu, state >> 16 & 0xFFu, (state >> 24) % 255u));
        }
}

std::vector<uint32_t> patternWords(int32_t width, int32_t height, uint32_t seed) {
    Dib32Image image(width, height);
    paintPattern(image, seed);
    return wordsOf(image);
}

AppFixture::AppFixture() {
    for (int i = 0; i < 3; ++i)
        state.slapSounds[i] = Sound{wav[i], 4};
    platform.observed = &state;
    paintBoth(kSkin, kSkin);
}

void AppFixture::paintBoth(uint32_t current, uint32_t untouched) {
    fillWords(*state.currentPicture, current);
    fillWords(*state.untouchedPicture, untouched);
}
