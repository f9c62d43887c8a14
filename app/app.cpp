#include "app/app.h"

#include "stream/memory_block_reader.h"

App::App(Platform& platform, RandomSource& random) : platform_(platform), random_(random) {
    state_.displayImage = std::make_unique<Dib32Image>(kPictureWidth, kPictureHeight);
    state_.currentPicture = std::make_unique<Dib32Image>(kPictureWidth, kPictureHeight);
    state_.untouchedPicture = std::make_unique<Dib32Image>(kPictureWidth, kPictureHeight);
    state_.handImage = std::make_unique<Dib32Image>(kHandWidth, kHandHeight);
}

void App::loadBuiltIns(const uint8_t* picture, int32_t pictureSize, const uint8_t* hand,
                       int32_t handSize, const Sound (&sounds)[3]) {
    // The resource bytes are read-only: the readers only borrow them, and the
    // built-in picture already carries 24 in its bit-count byte.
    {
        MemoryBlockReader reader(hand, handSize);
        state_.handImage->loadFromBlock(&reader, kImageReaderId);
    }
    {
        MemoryBlockReader reader(picture, pictureSize);
        state_.currentPicture->loadFromBlock(&reader, kImageReaderId);
        state_.untouchedPicture->copyFrom(state_.currentPicture.get());
    }
    for (int32_t i = 0; i < 3; ++i)
        state_.slapSounds[i] = sounds[i];
}

void App::clear() {
    state_.currentPicture->copyFrom(state_.untouchedPicture.get());
    state_.slapCount = 0;
    shownHandX_ = state_.handX;
    shownHandY_ = state_.handY;
    platform_.repaintWindow();
}
