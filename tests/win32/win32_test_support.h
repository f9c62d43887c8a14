#pragma once
// Helpers for the tests of the real windows: a scripted random source, a
// fixture that creates the main window hidden with its dialogs replaced,
// BMP files built and read back independently of the image library, a
// dropped-files block, and a memory drawing surface for the picture view.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/win32/main_window.h"

// Plays listed values first, then a fixed 15-bit generator of its own.
class ScriptedRandom final : public RandomSource {
public:
    std::vector<int32_t> script;
    int32_t next() override;

private:
    size_t position_ = 0;
    uint32_t state_ = 12345;
};

// A picture read from or written to a BMP file: pixel words 0x00RRGGBB,
// row 0 the bottom row, as the program's picture coordinates count.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture makePicture(int32_t width, int32_t height, const std::function<uint32_t(int32_t, int32_t)>& color);
// A bottom-up 24-bit BMP file with a 54-byte header.
std::vector<uint8_t> encodeBmp24(const Picture& picture);
// Parses a bottom-up 24-bit BMP; false when it is not one.
bool decodeBmp24(const uint8_t* bytes, size_t size, Picture* picture);
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readWholeFile(const std::string& path);
// -1 when the file does not exist.
int64_t fileSize(const std::string& path);

// The test pictures: skin on the right three quarters, pure blue on the left.
constexpr uint32_t kSkin = 0xC89678;
constexpr uint32_t kBlue = 0x0000FF;
constexpr int32_t kBlueColumns = 120;
Picture skinAndBluePicture();

// The image's pixels in its own coordinates.
Picture pictureOf(const ImageReader& image);

// An HDROP as the shell hands it over: a DROPFILES block with narrow paths.
HDROP makeDrop(const std::vector<std::string>& paths);

// Pulls every message of the thread out of the queue; the number of quit
// messages among them, the last exit code in *exitCode.
int drainQuitMessages(int* exitCode = nullptr);
// Handles queued messages until done() or the timeout; done()'s last answer.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// A 482 x 360 32-bit drawing surface, top-down, for drawing the view into.
class ViewSurface {
public:
    ViewSurface();
    ~ViewSurface();
    ViewSurface(const ViewSurface&) = delete;
    ViewSurface& operator=(const ViewSurface&) = delete;

    HDC dc() const { return dc_; }
    void fill(uint32_t rgb);
    // 0x00RRGGBB at client (x, y).
    uint32_t at(int32_t x, int32_t y) const;
    // Client pixels within the rectangle that equal rgb.
    int count(const RECT& area, uint32_t rgb) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// Records what the window would have shown or opened instead of doing it.
struct DialogLog {
    struct Message {
        HWND owner;
        std::string text;
        std::string caption;
        UINT type;
    };
    std::vector<Message> messages;
    std::vector<std::string> addresses;
    std::vector<OPENFILENAMEA> saveRecords;
    // The file name buffer's content each time the dialog opened.
    std::vector<std::string> saveNamesOffered;
    // What the next save dialog answers; empty means cancelled.
    std::string nextSavePath;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the built-in picture by the skin-and-blue picture.
    void loadTestPicture();
    // Client position in the view of picture point (x, y), as the pointer messages map it.
    static LPARAM clientOf(int32_t x, int32_t y);
    void command(WORD id);
    std::string text(HWND window) const;

    HINSTANCE instance_ = nullptr;
    ScriptedRandom random_;
    DialogLog log_;
    std::unique_ptr<MainWindow> window_;
    HWND main_ = nullptr;
    std::string folder_;
};
