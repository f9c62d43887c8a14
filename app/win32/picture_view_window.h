#pragma once
// The picture view, window class CButtocks: the picture in its frame, the hand
// at the pointer and the slap counter below.
#include <windows.h>

#include "app/app.h"

// The counter's off-screen surface; the main window creates and releases it.
struct CounterSurface {
    HDC context = nullptr;
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
};

constexpr int kViewWidth = 482;
constexpr int kViewHeight = 360;
constexpr int kCounterWidth = 96;
constexpr int kCounterHeight = 36;
constexpr int kCounterLeft = 32;
constexpr int kCounterTop = 322;

class PictureView {
public:
    PictureView(App& app, const CounterSurface& counter);
    PictureView(const PictureView&) = delete;
    PictureView& operator=(const PictureView&) = delete;

    static void registerClass(HINSTANCE instance);
    // A child of parent at (8, 48), 482 x 360, control id 3.
    HWND create(HINSTANCE instance, HWND parent);
    HWND handle() const { return window_; }

    // Draws the whole client area into dc; every pixel of it is painted, so the
    // view never needs its background erased.
    void draw(HDC dc);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void onPaint();
    void onMouseMove(LPARAM position);
    void onLeftButtonDown(LPARAM position);
    void onNcDestroy();
    void drawCounter();

    App& app_;
    const CounterSurface& counter_;
    HWND window_ = nullptr;
};
