// The page's side of the seam. The page cannot block, so the platform calls
// that would (the sound, the pause, the paints) are handed to the page as a
// timeline of effects, which it plays out in order once the call into the
// logic has returned; input that arrives meanwhile waits in the page's queue,
// so the logic is never entered while a slap is under way.
#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/picture_file_head.h"
#include "app/seeded_random.h"
#include "app/web/web_platform.h"

namespace {

const std::string kSavePath = std::string(kSaveFolder) + "/" + kSaveName;
// Larger dropped files are refused unread, as ones memory cannot hold.
constexpr int64_t kLargestDroppedFile = 256 * 1024 * 1024;

struct Program {
    WebPlatform platform;
    SeededRandom random;
    App app;
    std::vector<uint8_t> saved;
    explicit Program(uint32_t seed) : random(seed), app(platform, random) { platform.app = &app; }
};

std::unique_ptr<Program> program;

}  // namespace

extern "C" {

// Start-up, with the built-in resources the page has put into the module's
// memory (they stay there for the whole run) and the time in seconds.
EMSCRIPTEN_KEEPALIVE void hoppelStart(uint32_t seed, const uint8_t* picture, int32_t pictureSize,
                                      const uint8_t* hand, int32_t handSize, const uint8_t* sound1,
                                      int32_t size1, const uint8_t* sound2, int32_t size2,
                                      const uint8_t* sound3, int32_t size3) {
    program = std::make_unique<Program>(seed);
    mkdir(kSaveFolder, 0700);
    const Sound sounds[3] = {{sound1, size1}, {sound2, size2}, {sound3, size3}};
    program->app.loadBuiltIns(picture, pictureSize, hand, handSize, sounds);
    program->platform.repaintWindow();
}

EMSCRIPTEN_KEEPALIVE void hoppelPointerMoved(int32_t x, int32_t y) {
    program->app.pointerMoved(static_cast<uint16_t>(x), static_cast<uint16_t>(y));
}

EMSCRIPTEN_KEEPALIVE void hoppelLeftButtonDown(int32_t x, int32_t y) {
    program->app.leftButtonDown(static_cast<uint16_t>(x), static_cast<uint16_t>(y));
}

EMSCRIPTEN_KEEPALIVE void hoppelAutoButton() {
    program->app.toggleAutoMode();
}

// A click that waited in the queue while auto mode started finds the button
// disabled, as the desktop's would have been.
EMSCRIPTEN_KEEPALIVE void hoppelClearButton() {
    if (!program->app.state().autoMode)
        program->app.clear();
}

EMSCRIPTEN_KEEPALIVE void hoppelAutoTick() {
    program->app.autoTick();
}

// A drop in three steps. The page puts the file's first bytes here, asks how
// many of them the picture needs (0: refused from its head alone) and has a
// block made for those; it reads them into the block, and the drop's call
// judges what it holds as the desktop judges a file.
EMSCRIPTEN_KEEPALIVE uint8_t* hoppelDropHead() {
    return program->platform.droppedHead;
}

EMSCRIPTEN_KEEPALIVE int32_t hoppelDropPrefix(double fileSize) {
    if (fileSize > double(kLargestDroppedFile))
        return 0;
    return int32_t(
        pictureFilePrefix(program->platform.droppedHead, kPictureFileHeadSize, int64_t(fileSize)));
}

EMSCRIPTEN_KEEPALIVE uint8_t* hoppelDropBlock(int32_t size) {
    WebPlatform& platform = program->platform;
    platform.dropped.reset(allocBlockUnfilled(size));
    platform.droppedSize = platform.dropped != nullptr ? size : 0;
    return platform.dropped.get();
}

// The drop itself; a block the page could not fill goes unread (size 0).
EMSCRIPTEN_KEEPALIVE void hoppelDropped(int32_t filled) {
    WebPlatform& platform = program->platform;
    if (filled != platform.droppedSize)
        platform.dropped.reset();
    program->app.pictureDropped(kDroppedPath);
    platform.dropped.reset();
    platform.droppedSize = 0;
}

// The current picture as the saved BMP file, or null when it could not be
// written; hoppelSavedSize gives its length.
EMSCRIPTEN_KEEPALIVE const uint8_t* hoppelSave() {
    std::vector<uint8_t>& saved = program->saved;
    saved.clear();
    if (!program->app.savePicture(kSavePath.c_str()))
        return nullptr;
    if (FILE* file = std::fopen(kSavePath.c_str(), "rb")) {
        uint8_t chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            saved.insert(saved.end(), chunk, chunk + n);
        std::fclose(file);
    }
    std::remove(kSavePath.c_str());
    return saved.empty() ? nullptr : saved.data();
}

EMSCRIPTEN_KEEPALIVE int32_t hoppelSavedSize() {
    return static_cast<int32_t>(program->saved.size());
}

// The window's destruction: the timer stops with it.
EMSCRIPTEN_KEEPALIVE void hoppelExit() {
    if (program->app.state().autoMode)
        program->platform.stopAutoTimer();
}
}
