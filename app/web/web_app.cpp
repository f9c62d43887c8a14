// The page's side of the seam. The page cannot block, so the platform calls
// that would (the sound, the pause, the paints) are handed to the page as a
// timeline of effects, which it plays out in order once the call into the
// logic has returned; input that arrives meanwhile waits in the page's queue,
// so the logic is never entered while a slap is under way.
#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/display_scale.h"
#include "app/picture_file_head.h"
#include "app/seeded_random.h"
#include "stream/block.h"
#include "stream/little_endian.h"

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

// Each hands one effect to the page (Module.hoppel, set by the page script).
EM_JS(void, pageFrame, (const uint8_t* rgba, const char* counter, int red, int green, int blue),
      { Module.hoppel.frame(rgba, UTF8ToString(counter), red, green, blue); });
EM_JS(void, pageSound, (int index), { Module.hoppel.sound(index); });
EM_JS(void, pagePause, (int milliseconds), { Module.hoppel.pause(milliseconds); });
EM_JS(void, pageAutoTimer, (int running), { Module.hoppel.autoTimer(running != 0); });
EM_JS(void, pageClearEnabled, (int enabled), { Module.hoppel.clearEnabled(enabled != 0); });
EM_JS(void, pageAutoText, (const char* text), { Module.hoppel.autoText(UTF8ToString(text)); });
EM_JS(void, pageFacts, (const char* json),
      { Module.hoppel.facts(JSON.parse(UTF8ToString(json))); });

namespace {

// The one name a dropped file goes by: the page reads it, the logic asks for it.
const char kDroppedPath[] = "/dropped.bmp";
const char kSavePath[] = "/saved/hoppelmaru.bmp";
// Larger dropped files are refused unread, as ones memory cannot hold.
constexpr int64_t kLargestDroppedFile = 256 * 1024 * 1024;

// One row of pixel words (blue, green, red, 0) as the canvas's bytes (red,
// green, blue, opaque): the page hands them to the canvas as they are.
void rowToCanvas(uint8_t* out, const uint8_t* words, int32_t width) {
    int32_t x = 0;
#if defined(__wasm_simd128__)
    const v128_t opaque = wasm_i32x4_splat(-1);
    for (; x + 4 <= width; x += 4)
        wasm_v128_store(out + 4 * x, wasm_i8x16_shuffle(wasm_v128_load(words + 4 * x), opaque, 2,
                                                        1, 0, 16, 6, 5, 4, 16, 10, 9, 8, 16, 14,
                                                        13, 12, 16));
#endif
    for (; x < width; ++x)
        storeLe32(out + 4 * x, 0xFF000000u | __builtin_bswap32(loadLe32(words + 4 * x)) >> 8);
}

class WebPlatform final : public Platform {
public:
    App* app = nullptr;
    // The head of the file being dropped, then the prefix of it the picture
    // needs, which the page reads straight into this block; the drop's call
    // hands the block on to the logic, uncopied.
    uint8_t droppedHead[kPictureFileHeadSize] = {};
    OwnedBlock dropped;
    int32_t droppedSize = 0;

    void playSound(const uint8_t* wav, int32_t) override {
        const AppState& state = app->state();
        for (int i = 0; i < 3; ++i)
            if (state.slapSounds[i].bytes == wav)
                pageSound(i);
    }
    void pause(int32_t milliseconds) override { pagePause(milliseconds); }
    void repaintView() override { paint(); }
    // The buttons are the page's own: only the view has pixels of ours.
    void repaintWindow() override { paint(); }
    void startAutoTimer() override { pageAutoTimer(1); }
    void stopAutoTimer() override { pageAutoTimer(0); }
    void enableClearButton(bool enabled) override { pageClearEnabled(enabled ? 1 : 0); }
    void setAutoButtonText(const char* text) override { pageAutoText(text); }

    FileBytes readFile(const char* path, int32_t minimumSize) override {
        FileBytes file;
        if (std::strcmp(path, kDroppedPath) != 0 || dropped == nullptr || droppedSize < minimumSize)
            return file;
        file.bytes = std::move(dropped);
        file.size = droppedSize;
        return file;
    }
    // The save goes to the module's memory file system; the page takes the
    // finished file from there.
    bool createNewFile(const char* path) override {
        FILE* file = std::fopen(path, "wbx");
        return file != nullptr && std::fclose(file) == 0;
    }
    ReplaceOutcome replaceFile(const char* from, const char* to, const char* backup) override {
        const bool hadOld = std::rename(to, backup) == 0;
        if (std::rename(from, to) == 0)
            return ReplaceOutcome::Replaced;
        return hadOld && std::rename(backup, to) != 0 ? ReplaceOutcome::Stranded
                                                      : ReplaceOutcome::Kept;
    }
    bool removeFile(const char* path) override { return std::remove(path) == 0; }

private:
    // The display image's rows are bottom-up, the canvas's top-down.
    void paint() {
        app->composeDisplay();
        const uint8_t* words = app->state().displayImage->words().bytes();
        const size_t row = size_t(kPictureWidth) * 4;
        canvas_.resize(row * kPictureHeight);
        for (int32_t y = 0; y < kPictureHeight; ++y)
            rowToCanvas(&canvas_[row * y], words + row * (kPictureHeight - 1 - y), kPictureWidth);
        const CounterColor color = App::counterColor(app->state().slapCount);
        pageFrame(canvas_.data(), app->formatCounter(), color.red, color.green, color.blue);
    }
    std::vector<uint8_t> canvas_;
};

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
    mkdir("/saved", 0700);
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
    if (!program->app.savePicture(kSavePath))
        return nullptr;
    if (FILE* file = std::fopen(kSavePath, "rb")) {
        uint8_t chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            saved.insert(saved.end(), chunk, chunk + n);
        std::fclose(file);
    }
    std::remove(kSavePath);
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

// The layout's rounding, both ways, at the page's DPI (96 x devicePixelRatio).
EMSCRIPTEN_KEEPALIVE int32_t hoppelScaled(int32_t dpi, int32_t figure) {
    return DisplayScale(dpi).scaled(figure);
}

EMSCRIPTEN_KEEPALIVE int32_t hoppelUnscaled(int32_t dpi, int32_t position) {
    return DisplayScale(dpi).unscaled(position);
}

EMSCRIPTEN_KEEPALIVE int32_t hoppelUsableDpi(int32_t dpi) {
    return usableDpi(dpi);
}

// What the page takes from here rather than writing again: the 96-DPI
// layout's rectangles by name ([left, top, right, bottom]; the buttons and the
// view in the client area, the frame, the picture and the counter in the
// view's), the client size, the picture's size and how many of a dropped
// file's first bytes decide on it.
EMSCRIPTEN_KEEPALIVE void hoppelDescribe() {
    const auto list = [](std::initializer_list<int32_t> values) {
        std::string text = "[";
        for (const int32_t v : values)
            text += (text.size() > 1 ? "," : "") + std::to_string(v);
        return text + "]";
    };
    const auto edges = [&](const LayoutRect& r) {
        return list({r.left, r.top, r.right, r.bottom});
    };
    const std::string json = "{\"rects\":{\"autoButton\":" + edges(kAutoButtonRect) +
                             ",\"clearButton\":" + edges(kClearButtonRect) +
                             ",\"view\":" + edges(kViewRect) + ",\"frame\":" + edges(kFrameRect) +
                             ",\"picture\":" + edges(kPictureRect) +
                             ",\"counter\":" + edges(kCounterRect) +
                             "},\"client\":" + list({kClientWidth, kClientHeight}) +
                             ",\"picture\":" + list({kPictureWidth, kPictureHeight}) +
                             ",\"dropHead\":" + std::to_string(kPictureFileHeadSize) + "}";
    pageFacts(json.c_str());
}
}
