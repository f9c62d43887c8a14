#pragma once
// A platform for the application's logic alone: it records each call and
// works on real files.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"

using Calls = std::vector<std::string>;

// Records each call as one line: "playSound 2" (the sound's first byte),
// "pause 250", "repaintView 240,160" (the observed hand position at that
// moment), "readFile <path> <minimum>", "createNewFile <path>", "replaceFile <from> <to> <backup>".
// A partial repaint records the same line, and its change in changes.
// Files are real.
class FakePlatform : public Platform {
public:
    Calls calls;
    std::vector<ViewChange> changes;
    const AppState* observed = nullptr;  // must be set
    std::function<void()> onRepaintView;
    // What replaceFile does to the files and answers: Replaced moves to onto
    // backup and from onto to; Kept moves nothing; Stranded moves only to.
    ReplaceOutcome replaceOutcome = ReplaceOutcome::Replaced;
    // Hands out files below the minimum too, against the seam's promise.
    bool ignoreMinimum = false;

    void playSound(const uint8_t* wav, int32_t) override {
        calls.push_back("playSound " + std::to_string(*wav));
    }
    void pause(int32_t ms) override { calls.push_back("pause " + std::to_string(ms)); }
    void repaintView() override;
    void repaintViewChange(const ViewChange& change) override {
        changes.push_back(change);
        repaintView();
    }
    void repaintWindow() override { calls.push_back("repaintWindow"); }
    void startAutoTimer() override { calls.push_back("startAutoTimer"); }
    void stopAutoTimer() override { calls.push_back("stopAutoTimer"); }
    void enableClearButton(bool on) override {
        calls.push_back(on ? "enableClearButton 1" : "enableClearButton 0");
    }
    void setAutoButtonText(const char* text) override {
        calls.push_back(std::string("setAutoButtonText ") + text);
    }
    FileBytes readFile(const char* path, int32_t minimumSize) override;
    bool createNewFile(const char* path) override;
    ReplaceOutcome replaceFile(const char* from, const char* to, const char* backup) override;
    bool removeFile(const char* path) override;
};
