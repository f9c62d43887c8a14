#include "app/web/web_platform.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstring>

#include "app/web/canvas_rows.h"

// Each hands one effect to the page (Module.hoppel, set by the page script).
EM_JS(void, pageFrame, (const uint8_t* rgba, const char* counter, int red, int green, int blue),
      { Module.hoppel.frame(rgba, UTF8ToString(counter), red, green, blue); });
EM_JS(void, pageSound, (int index), { Module.hoppel.sound(index); });
EM_JS(void, pagePause, (int milliseconds), { Module.hoppel.pause(milliseconds); });
EM_JS(void, pageAutoTimer, (int running), { Module.hoppel.autoTimer(running != 0); });
EM_JS(void, pageClearEnabled, (int enabled), { Module.hoppel.clearEnabled(enabled != 0); });
EM_JS(void, pageAutoText, (const char* text), { Module.hoppel.autoText(UTF8ToString(text)); });

void WebPlatform::playSound(const uint8_t* wav, int32_t) {
    const AppState& state = app->state();
    for (int i = 0; i < 3; ++i)
        if (state.slapSounds[i].bytes == wav)
            pageSound(i);
}

void WebPlatform::pause(int32_t milliseconds) {
    pagePause(milliseconds);
}

void WebPlatform::startAutoTimer() {
    pageAutoTimer(1);
}

void WebPlatform::stopAutoTimer() {
    pageAutoTimer(0);
}

void WebPlatform::enableClearButton(bool enabled) {
    pageClearEnabled(enabled ? 1 : 0);
}

void WebPlatform::setAutoButtonText(const char* text) {
    pageAutoText(text);
}

FileBytes WebPlatform::readFile(const char* path, int32_t minimumSize) {
    FileBytes file;
    if (std::strcmp(path, kDroppedPath) != 0 || dropped == nullptr || droppedSize < minimumSize)
        return file;
    file.bytes = std::move(dropped);
    file.size = droppedSize;
    return file;
}

bool WebPlatform::createNewFile(const char* path) {
    FILE* file = std::fopen(path, "wbx");
    return file != nullptr && std::fclose(file) == 0;
}

ReplaceOutcome WebPlatform::replaceFile(const char* from, const char* to, const char* backup) {
    const bool hadOld = std::rename(to, backup) == 0;
    if (std::rename(from, to) == 0)
        return ReplaceOutcome::Replaced;
    return hadOld && std::rename(backup, to) != 0 ? ReplaceOutcome::Stranded : ReplaceOutcome::Kept;
}

bool WebPlatform::removeFile(const char* path) {
    return std::remove(path) == 0;
}

// The display image's rows are bottom-up, the canvas's top-down. Each frame
// gets the next of a few places, so that the page can show the frames of one
// call where they lie, uncopied, after the call: no call paints more than
// twice, and the frame shown last stays whole too.
void WebPlatform::paint() {
    app->composeDisplay();
    const uint8_t* words = app->state().displayImage->words().bytes();
    const size_t row = size_t(kPictureWidth) * 4, frame = row * kPictureHeight;
    canvas_.resize(frame * kFramePlaces);
    uint8_t* out = &canvas_[frame * nextPlace_];
    nextPlace_ = (nextPlace_ + 1) % kFramePlaces;
    for (int32_t y = 0; y < kPictureHeight; ++y)
        rowToCanvas(out + row * y, words + row * (kPictureHeight - 1 - y), kPictureWidth);
    const CounterColor color = App::counterColor(app->state().slapCount);
    pageFrame(out, app->formatCounter(), color.red, color.green, color.blue);
}
