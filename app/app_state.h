#pragma once
// The one record the application keeps for its whole run: the pictures, the
// sounds, the counter, the hand and auto mode.
#include <cstdint>
#include <memory>

#include "app/sound.h"
#include "image/image.h"

struct AppState {
    std::unique_ptr<Dib32Image> displayImage;
    std::unique_ptr<Dib32Image> currentPicture;
    std::unique_ptr<Dib32Image> untouchedPicture;
    std::unique_ptr<Dib32Image> handImage;
    Sound slapSounds[3];
    // Stops at INT32_MAX rather than wrapping.
    int32_t slapCount = 0;
    // Picture coordinates, y from the bottom; handX 0 hides the hand.
    uint32_t handX = 0;
    uint32_t handY = 0;
    bool autoMode = false;
    uint32_t autoAccumulator = 0;
    char counterText[8] = {};
};
