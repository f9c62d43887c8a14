#pragma once
// The logic's platform seam on the real Win32 API.
#include <windows.h>

#include "app/platform.h"

class Win32Platform final : public Platform {
public:
    Win32Platform() = default;

    // The windows the logic acts on; set once they exist.
    void attach(HWND mainWindow, HWND autoButton, HWND clearButton, HWND pictureView);

    void playSound(const uint8_t* wav, int32_t size) override;
    void pause(int32_t milliseconds) override;
    void repaintView() override;
    void repaintViewChange(const ViewChange& change) override;
    void repaintWindow() override;
    void startAutoTimer() override;
    void stopAutoTimer() override;
    void enableClearButton(bool enabled) override;
    void setAutoButtonText(const char* text) override;
    FileBytes readFile(const char* path, int32_t minimumSize) override;
    bool createNewFile(const char* path) override;
    ReplaceOutcome replaceFile(const char* from, const char* to, const char* backup) override;
    bool removeFile(const char* path) override;

    // The system's calls of a replace whose answers decide where the files
    // are, which tests swap for ones that fail in ways a real disk seldom does.
    struct FileCalls {
        decltype(&ReplaceFileW) replace = ReplaceFileW;
        decltype(&MoveFileExW) move = MoveFileExW;
        decltype(&FlushFileBuffers) flush = FlushFileBuffers;
        decltype(&GetFileInformationByHandle) identify = GetFileInformationByHandle;
    };
    FileCalls& fileCalls() { return calls_; }

private:
    ReplaceOutcome replaceWide(const wchar_t* from, const wchar_t* to, const wchar_t* backup);

    FileCalls calls_;
    HWND mainWindow_ = nullptr;
    HWND autoButton_ = nullptr;
    HWND clearButton_ = nullptr;
    HWND pictureView_ = nullptr;
};

// The id of the auto-mode timer of the main window.
constexpr UINT_PTR kAutoTimerId = 1;
constexpr UINT kAutoTimerPeriod = 200;
