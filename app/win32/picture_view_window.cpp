#include "app/win32/picture_view_window.h"

#include <algorithm>
#include <vector>

#include "app/win32/wide_text.h"
#include "app/win32/window_object.h"
#include "image/image.h"
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

RECT toRect(const LayoutRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

LayoutRect intersection(const LayoutRect& a, const RECT& b) {
    LayoutRect r = {std::max(a.left, int32_t(b.left)), std::max(a.top, int32_t(b.top)),
                    std::min(a.right, int32_t(b.right)), std::min(a.bottom, int32_t(b.bottom))};
    return r.width() > 0 && r.height() > 0 ? r : LayoutRect{};
}

int64_t areaOf(const LayoutRect& r) {
    return int64_t(r.width()) * r.height();
}

// The rectangles of what the next paint must draw; none when nothing is invalid.
std::vector<RECT> updateParts(HWND window) {
    std::vector<RECT> parts;
    const GdiObject<HRGN> update(CreateRectRgn(0, 0, 0, 0));
    if (GetUpdateRgn(window, update.get(), FALSE) > NULLREGION) {
        std::vector<BYTE> data(GetRegionData(update.get(), 0, nullptr));
        auto* region = reinterpret_cast<RGNDATA*>(data.data());
        if (!data.empty() && GetRegionData(update.get(), DWORD(data.size()), region) != 0) {
            const RECT* rects = reinterpret_cast<const RECT*>(region->Buffer);
            parts.assign(rects, rects + region->rdh.nCount);
        }
    }
    return parts;
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
        case kRepaintChangeMessage:
            self->invalidate(*reinterpret_cast<const ViewChange*>(lParam));
            UpdateWindow(window);
            break;
        case WM_NCDESTROY: self->onNcDestroy(); break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PictureView::onPaint() {
    std::vector<RECT> parts = updateParts(window_);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (parts.empty()) {
        parts.push_back(paint.rcPaint);
    }
    draw(dc, parts.data(), static_cast<int>(parts.size()));
    EndPaint(window_, &paint);
}

void PictureView::invalidate(const ViewChange& change) {
    if (window_ == nullptr) {
        return;
    }
    // Averaged, a screen pixel mixes the picture pixels beside the one it
    // shows: those within one picture pixel of a change change too.
    const int32_t reach = scale_.scaled(kPictureRect).width() != kPictureWidth ? 1 : 0;
    for (int32_t i = 0; i < std::min(change.areaCount, ViewChange::kMostAreas); ++i) {
        const PictureArea& a = change.areas[i];
        if (a.empty()) {
            continue;
        }
        // Picture row y shows on client row 320 - y.
        const LayoutRect figures = {
            std::max(kPictureRect.left, kPictureRect.left + a.left - reach),
            std::max(kPictureRect.top, kPictureRect.top + kPictureHeight - a.top - reach),
            std::min(kPictureRect.right, kPictureRect.left + a.right + reach),
            std::min(kPictureRect.bottom, kPictureRect.top + kPictureHeight - a.bottom + reach)};
        const RECT area = toRect(scale_.scaled(figures));
        InvalidateRect(window_, &area, FALSE);
    }
    if (change.counter) {
        const RECT counter = toRect(scale_.scaled(kCounterRect));
        InvalidateRect(window_, &counter, FALSE);
    }
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
    releaseStretched();
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

void PictureView::draw(HDC dc) {
    const LayoutRect placed = scale_.scaled(kViewRect);
    const RECT whole = {0, 0, placed.width(), placed.height()};
    draw(dc, &whole, 1);
}

void PictureView::draw(HDC dc, const RECT* parts, int count) {
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
    const bool stretched = picture.width() != kPictureWidth;
    bool counterShown = false, pictureShown = false;
    for (int i = 0; i < count; ++i) {
        counterShown = counterShown || areaOf(intersection(counter, parts[i])) > 0;
        const LayoutRect part = intersection(picture, parts[i]);
        pictureShown = pictureShown || areaOf(part) > 0;
        // Stretched, the painted picture looks best averaged: nearest pixels
        // would give its curves and thin lines stair steps of uneven width at
        // 125 % and 150 % and plain blocks at 200 %.
        if (stretched && areaOf(part) > 0) {
            drawScaledPart(dc, picture, part);
        }
    }
    if (pictureShown && !stretched) {
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, picture.left, picture.top, picture.width(), picture.height(), 0, 0,
                      kPictureWidth, kPictureHeight, state.displayImage->bits(),
                      static_cast<const BITMAPINFO*>(state.displayImage->header()), DIB_RGB_COLORS,
                      SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
    if (counter_.context && counterShown) {
        drawCounter(counter);
        BitBlt(dc, counter.left, counter.top, counter.width(), counter.height(),
               counter_.context.get(), 0, 0, SRCCOPY);
    }
    // The rest shows the class background, drawn here instead of erased
    // first: below the frame around the counter, and right of the frame where
    // the view's scaled edges make it a pixel wider than the frame.
    const LayoutRect below = {view.left, frame.bottom, view.right, view.bottom};
    fillAround(dc, below, counter, stockBrush(LTGRAY_BRUSH));
    const RECT beside = {frame.right, view.top, view.right, frame.bottom};
    FillRect(dc, &beside, stockBrush(LTGRAY_BRUSH));
}

void PictureView::drawScaledPart(HDC dc, const LayoutRect& picture, const LayoutRect& part) {
    const SIZE size = {picture.width(), picture.height()};
    if (!stretchedContext_ || size.cx != stretchedSize_.cx || size.cy != stretchedSize_.cy) {
        releaseStretched();
        BITMAPINFO info = {};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        stretched_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (stretched_) {
            stretchedContext_ = MemoryDc(nullptr);
        }
        if (!stretchedContext_) {
            releaseStretched();
            return;
        }
        stretchedContext_.select(stretched_.get());
        stretchedBits_ = static_cast<uint32_t*>(bits);
        stretchedSize_ = size;
    }
    const PixelRect inside = {part.left - picture.left, part.top - picture.top,
                              part.right - picture.left, part.bottom - picture.top};
    GdiFlush();  // the system may still be reading the surface
    scaleSmoothly(*app_.state().displayImage, {stretchedBits_, size.cx, size.cy, size.cx}, inside);
    BitBlt(dc, part.left, part.top, part.width(), part.height(), stretchedContext_.get(),
           inside.left, inside.top, SRCCOPY);
}

void PictureView::releaseStretched() {
    stretchedContext_.reset();
    stretched_.reset();
    stretchedBits_ = nullptr;
    stretchedSize_ = SIZE{};
}

void PictureView::drawCounter(const LayoutRect& counter) {
    HDC dc = counter_.context.get();
    RECT area = {0, 0, counter.width(), counter.height()};
    FillRect(dc, &area, stockBrush(LTGRAY_BRUSH));
    const std::wstring text = widened(app_.formatCounter());
    const CounterColor color = App::counterColor(app_.state().slapCount);
    SetTextColor(dc, RGB(color.red, color.green, color.blue));
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, counter_.font.get());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
}
