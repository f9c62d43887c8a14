#pragma once
// The picture view, window class CButtocks: the picture in its frame, the hand
// at the pointer and the slap counter below.
#include <windows.h>

#include "app/app.h"
#include "app/display_scale.h"
#include "app/win32/scoped_gdi.h"

// The counter's off-screen surface, the counter's size at the display scale;
// the main window creates and releases it.
struct CounterSurface {
    GdiObject<HBITMAP> bitmap;
    GdiObject<HFONT> font;
    // Declared last, so gone first: it holds the bitmap selected.
    MemoryDc context;
};

// Sent to the view with a ViewChange* in lParam: invalidates what it names
// and paints it before returning.
constexpr UINT kRepaintChangeMessage = WM_APP + 23;

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
    // The same for the parts of the client area given, whose pixels come out
    // as draw() gives them; dc may draw more.
    void draw(HDC dc, const RECT* parts, int count);
    // Marks what change names for the next paint, with the margin the
    // averaging of a stretched picture reaches.
    void invalidate(const ViewChange& change);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void onPaint();
    void onMouseMove(LPARAM position);
    void onLeftButtonDown(LPARAM position);
    void onNcDestroy();
    void drawCounter(const LayoutRect& area);
    // The picture within part (view client coordinates), averaged at the
    // scale into the stretched surface, made when missing, and copied from
    // there.
    void drawScaledPart(HDC dc, const LayoutRect& picture, const LayoutRect& part);
    void releaseStretched();

    // A pointer message's client position at 96 DPI, where the logic reads it.
    uint16_t unscaled(WORD position) const;

    App& app_;
    const CounterSurface& counter_;
    DisplayScale scale_;
    HWND window_ = nullptr;
    // The picture at the scale, rebuilt part by part for each paint: only
    // what a paint covers is averaged again.
    GdiObject<HBITMAP> stretched_;
    // After the bitmap, so gone before it.
    MemoryDc stretchedContext_;
    uint32_t* stretchedBits_ = nullptr;
    SIZE stretchedSize_ = {};
};
