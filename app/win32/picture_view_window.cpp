#include "app/win32/picture_view_window.h"

#include "app/win32/wide_text.h"
#include "app/win32/window_object.h"
#include "resources/resource.h"

namespace {

const wchar_t kViewClass[] = L"CButtocks";

HBRUSH stockBrush(int which) {
    return static_cast<HBRUSH>(GetStockObject(which));
}

// What of outer lies outside inner, as four bands: above, below, left, right.
void fillAround(HDC dc, const LayoutRect& outer, const LayoutRect& inner, HBRUSH brush) {
    const RECT bands[] = {
        {outer.left, outer.top, outer.right, inner.top},
        {outer.left, inner.bottom, outer.right, outer.bottom},
        {outer.left, inner.top, inner.left, inner.bottom},
        {inner.right, inner.top, outer.right, inner.bottom},
    };
    for (const RECT& band : bands) {
        FillRect(dc, &band, brush);
    }
}

}  // namespace

PictureView::PictureView(App& app, const CounterSurface& counter) : app_(app), counter_(counter) {}

void PictureView::registerClass(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    // Invisible over the view: the drawn hand is the pointer.
    windowClass.hCursor = LoadCursorW(instance, L"NULL_CURSOR");
    windowClass.hbrBackground = stockBrush(LTGRAY_BRUSH);
    windowClass.lpszClassName = kViewClass;
    RegisterClassW(&windowClass);
}

HWND PictureView::create(HINSTANCE instance, HWND parent) {
    return CreateWindowExW(0, kViewClass, nullptr, WS_CHILD | WS_VISIBLE, kViewRect.left,
                           kViewRect.top, kViewWidth, kViewHeight, parent, controlId(IDC_VIEW),
                           instance, this);
}

LRESULT CALLBACK PictureView::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<PictureView>(window, message, lParam);
    if (self != nullptr) {
        switch (message) {
        case WM_NCCREATE: self->window_ = window; break;
        case WM_PAINT: self->onPaint(); break;
        case WM_ERASEBKGND: return 1;  // draw() covers everything: no flicker
        case WM_MOUSEMOVE: self->onMouseMove(lParam); break;
        case WM_LBUTTONDOWN: self->onLeftButtonDown(lParam); break;
        case WM_NCDESTROY: self->onNcDestroy(); break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PictureView::onPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    draw(dc);
    EndPaint(window_, &paint);
}

uint16_t PictureView::unscaled(WORD position) const {
    // Never larger than the position itself, as the scale is at least 1.
    return static_cast<uint16_t>(scale_.unscaled(position));
}

void PictureView::onMouseMove(LPARAM position) {
    app_.pointerMoved(unscaled(LOWORD(position)), unscaled(HIWORD(position)));
}

void PictureView::onLeftButtonDown(LPARAM position) {
    app_.leftButtonDown(unscaled(LOWORD(position)), unscaled(HIWORD(position)));
}

void PictureView::onNcDestroy() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

void PictureView::draw(HDC dc) {
    const AppState& state = app_.state();
    if (state.displayImage == nullptr || state.currentPicture == nullptr) {
        return;  // the main window has already released the pictures
    }
    app_.composeDisplay();
    const LayoutRect frame = scale_.scaled(kFrameRect);
    const LayoutRect picture = scale_.scaled(kPictureRect);
    const LayoutRect counter = scale_.scaled(kCounterRect);
    // The window's own size: its edges are scaled one by one, which at some
    // scales gives a pixel more than its width scaled on its own.
    const LayoutRect placed = scale_.scaled(kViewRect);
    const LayoutRect view = {0, 0, placed.width(), placed.height()};
    fillAround(dc, frame, picture, stockBrush(WHITE_BRUSH));
    // Stretched, the painted picture looks best averaged: nearest pixels would
    // give its curves and thin lines stair steps of uneven width at 125 % and
    // 150 % and plain blocks at 200 %. Unstretched it is copied as it is.
    const bool stretched = picture.width() != kPictureWidth;
    const int oldMode = SetStretchBltMode(dc, stretched ? HALFTONE : COLORONCOLOR);
    POINT oldOrigin = {};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // as HALFTONE asks
    StretchDIBits(dc, picture.left, picture.top, picture.width(), picture.height(), 0, 0,
                  kPictureWidth, kPictureHeight, state.displayImage->bits(),
                  static_cast<const BITMAPINFO*>(state.displayImage->header()), DIB_RGB_COLORS,
                  SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    if (counter_.context != nullptr) {
        drawCounter(counter);
        BitBlt(dc, counter.left, counter.top, counter.width(), counter.height(), counter_.context,
               0, 0, SRCCOPY);
    }
    // The rest shows the class background, drawn here instead of erased
    // first: below the frame around the counter, and right of the frame where
    // the view's scaled edges make it a pixel wider than the frame.
    const LayoutRect below = {view.left, frame.bottom, view.right, view.bottom};
    fillAround(dc, below, counter, stockBrush(LTGRAY_BRUSH));
    const RECT beside = {frame.right, view.top, view.right, frame.bottom};
    FillRect(dc, &beside, stockBrush(LTGRAY_BRUSH));
}

void PictureView::drawCounter(const LayoutRect& counter) {
    HDC dc = counter_.context;
    RECT area = {0, 0, counter.width(), counter.height()};
    FillRect(dc, &area, stockBrush(LTGRAY_BRUSH));
    const std::wstring text = widened(app_.formatCounter());
    const CounterColor color = App::counterColor(app_.state().slapCount);
    SetTextColor(dc, RGB(color.red, color.green, color.blue));
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, counter_.font);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
}
