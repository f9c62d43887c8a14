#include "app/win32/picture_view_window.h"

#include "app/win32/window_object.h"
#include "resources/resource.h"

namespace {

const char kViewClass[] = "CButtocks";

HBRUSH stockBrush(int which) {
    return static_cast<HBRUSH>(GetStockObject(which));
}

}  // namespace

PictureView::PictureView(App& app, const CounterSurface& counter) : app_(app), counter_(counter) {}

void PictureView::registerClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    // Invisible over the view: the drawn hand is the pointer.
    windowClass.hCursor = LoadCursorA(instance, "NULL_CURSOR");
    windowClass.hbrBackground = stockBrush(LTGRAY_BRUSH);
    windowClass.lpszClassName = kViewClass;
    RegisterClassA(&windowClass);
}

HWND PictureView::create(HINSTANCE instance, HWND parent) {
    return CreateWindowExA(0, kViewClass, nullptr, WS_CHILD | WS_VISIBLE, 8, 48, kViewWidth,
                           kViewHeight, parent, controlId(IDC_VIEW), instance, this);
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
    return DefWindowProcA(window, message, wParam, lParam);
}

void PictureView::onPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    draw(dc);
    EndPaint(window_, &paint);
}

void PictureView::onMouseMove(LPARAM position) {
    app_.pointerMoved(LOWORD(position), HIWORD(position));
}

void PictureView::onLeftButtonDown(LPARAM position) {
    app_.leftButtonDown(LOWORD(position), HIWORD(position));
}

void PictureView::onNcDestroy() {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

void PictureView::draw(HDC dc) {
    const AppState& state = app_.state();
    if (state.displayImage == nullptr || state.currentPicture == nullptr) {
        return;  // the main window has already released the pictures
    }
    app_.composeDisplay();
    const RECT frame = {0, 0, kPictureWidth + 2, kPictureHeight + 2};
    FrameRect(dc, &frame, stockBrush(WHITE_BRUSH));
    StretchDIBits(dc, 1, 1, kPictureWidth, kPictureHeight, 0, 0, kPictureWidth, kPictureHeight,
                  state.displayImage->bits(),
                  static_cast<const BITMAPINFO*>(state.displayImage->header()), DIB_RGB_COLORS,
                  SRCCOPY);
    if (counter_.context != nullptr) {
        drawCounter();
        BitBlt(dc, kCounterLeft, kCounterTop, kCounterWidth, kCounterHeight, counter_.context, 0, 0,
               SRCCOPY);
    }
    // The rest shows the class background, drawn here instead of erased first.
    const RECT rest[] = {
        {0, kCounterTop, kCounterLeft, kViewHeight},
        {kCounterLeft + kCounterWidth, kCounterTop, kViewWidth, kViewHeight},
        {kCounterLeft, kCounterTop + kCounterHeight, kCounterLeft + kCounterWidth, kViewHeight},
    };
    for (const RECT& r : rest) {
        FillRect(dc, &r, stockBrush(LTGRAY_BRUSH));
    }
}

void PictureView::drawCounter() {
    HDC dc = counter_.context;
    RECT area = {0, 0, kCounterWidth, kCounterHeight};
    FillRect(dc, &area, stockBrush(LTGRAY_BRUSH));
    const char* text = app_.formatCounter();
    const CounterColor color = App::counterColor(app_.state().slapCount);
    SetTextColor(dc, RGB(color.red, color.green, color.blue));
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, counter_.font);
    DrawTextA(dc, text, lstrlenA(text), &area, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
}
