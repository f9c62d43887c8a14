#pragma once
// Helpers for the tests of the real windows: a scripted random source, BMP files
// built independently of the image library, a memory surface for the picture
// view, and a fixture that creates the main window hidden with its dialogs replaced.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/win32/main_window.h"
#include "app/win32/wide_text.h"
#include "resources/resource.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scripted_random.h"

// Pixel words 0x00RRGGBB; row 0 is the bottom row, as picture coordinates count.
struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Picture makePicture(int32_t width, int32_t height,
                    const std::function<uint32_t(int32_t, int32_t)>& color);
Picture pictureOf(const ImageReader& image);
// 480 x 320 pictures that differ from the built-in picture and from each other.
Picture stripes(uint32_t color);
// For long names: Japanese ones take three bytes a character in UTF-8.
std::string repeated(const std::string& text, int times);
// A bottom-up 24-bit BMP file with a 54-byte header, every optional field 0.
std::vector<uint8_t> encodeBmp24(const Picture& picture);
// Text the program handed to a W call, as UTF-8 to compare (a failed test when
// it does not convert).
std::string utf8(const wchar_t* wide);

constexpr uint32_t kPeach = 0xC89678, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kLightGrey = 0xC0C0C0;
inline uint32_t red(uint32_t word) {
    return (word >> 16) & 0xFF;
}

// Live GDI objects of the process.
int gdiObjects();
// Takes every queued message; the number of quit messages, the last exit code in *exitCode.
int drainQuitMessages(int* exitCode = nullptr);
// Handles queued messages until done() or the timeout.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// A child window's edges in its parent's client area.
LayoutRect placedAt(HWND child);
inline std::ostream& operator<<(std::ostream& os, const LayoutRect& r) {
    return os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// A top-down 32-bit surface, the size of the picture view at 96 DPI unless told.
class ViewSurface {
public:
    explicit ViewSurface(int32_t width = kViewWidth, int32_t height = kViewHeight);
    HDC dc() const { return dc_.get(); }
    void fill(uint32_t rgb) {
        GdiFlush();
        std::fill(bits_, bits_ + width_ * height_, rgb);
    }
    uint32_t at(int32_t x, int32_t y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    int count(const RECT& area, uint32_t rgb) const;

private:
    int32_t width_, height_;
    GdiObject<HBITMAP> bitmap_;
    // After the bitmap, so gone before it.
    MemoryDc dc_{nullptr};
    uint32_t* bits_ = nullptr;
};

// Another program (hoppel_file_holder, beside the test program) holding path
// open for reading, sharing what share names ("none", or any of r, w and d),
// as a viewer, an indexer or a scanner does, until destroyed.
class HeldFile {
public:
    HeldFile(const std::string& share, const std::string& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return held_; }

private:
    PROCESS_INFORMATION process_ = {};
    bool held_ = false;
};

struct ShownMessage {
    HWND owner;
    std::string text, caption;
    UINT type;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    // The main window destroyed and made anew, hidden, with the dialogs
    // replaced; its monitor's DPI from windowDpi, its draws from random.
    void recreate(std::function<UINT(HWND)> windowDpi = nullptr, RandomSource* random = nullptr);

    // Replaces the built-in picture by a 480 x 320 one: blue in the left 120
    // columns, textured skin in the rest.
    void loadTestPicture();
    const AppState& state() { return window_->app().state(); }
    // Auto mode's flag and what shows it: the Auto button's text, the Clear button's state.
    void expectAutoMode(bool on) {
        EXPECT_EQ(state().autoMode, on);
        EXPECT_EQ(text(window_->autoButton()), on ? "停止" : "自動");
        EXPECT_EQ(IsWindowEnabled(window_->clearButton()) != FALSE, !on);
    }
    std::vector<uint32_t> current() { return pictureOf(*state().currentPicture).pixels; }
    std::vector<uint32_t> untouched() { return pictureOf(*state().untouchedPicture).pixels; }
    void command(WORD id) { SendMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // Drops the files on the main window as the shell does, in a DROPFILES block with
    // narrow paths, or UTF-16 ones; returns the block, to see that it was released.
    HDROP drop(const std::vector<std::string>& paths, bool wide = false);
    // The same with the names' UTF-16 units as they are, each ended by a 0.
    HDROP dropUnits(const std::wstring& names);
    // Pointer messages to the view at client (x, y); slapAt clicks on picture point (x, y).
    void move(int x, int y) {
        SendMessageA(window_->pictureView(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    void click(int x, int y) {
        SendMessageA(window_->pictureView(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void slapAt(int32_t x, int32_t y) { click(x + 1, 319 - y); }
    std::string text(HWND window) const;
    std::string file(const std::string& name) const { return folder_ + "\\" + name; }
    // No message box was shown and path holds the picture shown, as a 24-bit BMP.
    ::testing::AssertionResult savedAsShown(const std::string& path);

    HINSTANCE instance_ = GetModuleHandleA(nullptr);
    ScriptedRandom random_;
    std::unique_ptr<MainWindow> window_;
    HWND main_ = nullptr;
    std::string folder_;
    // What the window showed or opened instead of doing it.
    std::vector<ShownMessage> shown_;
    std::vector<std::string> addresses_;
    std::vector<OPENFILENAMEW> saveDialogs_;
    std::vector<std::string> namesOffered_;  // the file name buffer as each dialog opened
    std::string nextSavePath_;               // the next dialog's answer; empty: cancelled
};
