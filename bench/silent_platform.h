#pragma once
// A platform whose sound, pause and repaints cost nothing, for timing the
// logic alone; it has no files.
#include "app/app.h"

class SilentPlatform final : public Platform {
public:
    void playSound(const uint8_t*, int32_t) override {}
    void pause(int32_t) override {}
    void repaintView() override {}
    void repaintWindow() override {}
    void startAutoTimer() override {}
    void stopAutoTimer() override {}
    void enableClearButton(bool) override {}
    void setAutoButtonText(const char*) override {}
    FileBytes readFile(const char*, int32_t) override { return {}; }
    bool createNewFile(const char*) override { return false; }
    ReplaceOutcome replaceFile(const char*, const char*, const char*) override {
        return ReplaceOutcome::Kept;
    }
    bool removeFile(const char*) override { return false; }
};
