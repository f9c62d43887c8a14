#pragma once
// The picture view, window class CButtocks: the picture in its frame, the hand
// at the pointer and the slap counter below.
#include <windows.h>

#include "app/app.h"
#include "app/display_scale.h"

// The counter's off-screen surface, the counter's size at the display scale;
// the main window creates and releases it.
struct CounterSurface {
    HDC context = nullptr;
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
};

// The view's size at 96 DPI.
constexpr int kViewWidth = kViewRect.right - kViewRect.left;
constexpr int kViewHeight = kViewRect.bottom - kViewRect.top;

class PictureView {
public:
    PictureView(App& app, const CounterSurface& counter);
    PictureView(const PictureView&) = delete;
    PictureView& operator=(const PictureView&) = delete;

    static void registerClass(HINSTANCE instance);
    // A child of parent, control id 3; the main window places it.
    HWND create(HINSTANCE instance, HWND parent);
    HWND handle() const { return window_; }
    // The scale the view draws at and reads the pointer at.
    void setScale(const DisplayScale& scale) { scale_ = scale; }
    const DisplayScale& scale() const { return scale_; }

    // Draws the whole client area into dc; every pixel of it is painted, so the
    // view never needs its background erased.
    void draw(HDC dc);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void onPaint();
    void onMouseMove(LPARAM position);
    void onLeftButtonDown(LPARAM position);
    void onNcDestroy();
    void drawCounter(const LayoutRect& area);

    // A pointer message's client position at 96 DPI, where the logic reads it.
    uint16_t unscaled(WORD position) const;

    App& app_;
    const CounterSurface& counter_;
    DisplayScale scale_;
    HWND window_ = nullptr;
};
