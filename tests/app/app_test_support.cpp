#include "app_test_support.h"

void setWord(Dib32Image& image, int32_t index, uint32_t word) {
    image.words().store(index, word);
}

void fillWords(Dib32Image& image, uint32_t word) {
    for (int32_t i = 0; i < image.width() * image.height(); ++i)
        setWord(image, i, word);
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
