#include "app/win32/counter_surface.h"

#include "app/win32/window_fonts.h"

void remakeCounterSurface(CounterSurface& counter, HWND window, const DisplayScale& scale) {
    const LayoutRect area = scale.scaled(kCounterRect);
    HDC screen = GetDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.width(), area.height());
    if (counter.context == nullptr) {
        counter.context = CreateCompatibleDC(screen);
    }
    ReleaseDC(window, screen);
    SelectObject(counter.context, bitmap);
    DeleteObject(counter.bitmap);
    counter.bitmap = bitmap;
    HFONT font = makeCounterFont(scale);
    DeleteObject(counter.font);  // never left selected: the paint selects it back out
    counter.font = font;
}

void releaseCounterSurface(CounterSurface& counter) {
    DeleteDC(counter.context);
    DeleteObject(counter.bitmap);
    DeleteObject(counter.font);
    counter = CounterSurface{};
}
