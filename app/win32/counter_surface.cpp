#include "app/win32/counter_surface.h"

#include <utility>

#include "app/win32/window_fonts.h"

void remakeCounterSurface(CounterSurface& counter, HWND window, const DisplayScale& scale) {
    const LayoutRect area = scale.scaled(kCounterRect);
    {
        const WindowDc screen(window);
        GdiObject<HBITMAP> bitmap(
            CreateCompatibleBitmap(screen.get(), area.width(), area.height()));
        if (!counter.context) {
            counter.context = MemoryDc(screen.get());
        }
        counter.context.select(bitmap.get());
        counter.bitmap = std::move(bitmap);
    }
    // Never left selected: the paint selects it back out.
    counter.font.reset(makeCounterFont(scale));
}

void releaseCounterSurface(CounterSurface& counter) {
    counter.context.reset();
    counter.bitmap.reset();
    counter.font.reset();
}
