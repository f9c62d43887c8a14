#include "app/win32/display_dpi.h"

#include "app/win32/scoped_gdi.h"

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using MetricForDpi = int(WINAPI*)(int, UINT);

// A user32 function by name; null where this Windows lacks it.
template <class Function>
Function user32(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    // Through the generic function type, which casts to any other silently.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

UINT dpiOfSystem() {
    static const DpiForSystem forSystem = user32<DpiForSystem>("GetDpiForSystem");
    if (forSystem != nullptr) {
        return forSystem();
    }
    const int dpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : 0;
}

UINT dpiOfWindow(HWND window) {
    static const DpiForWindow forWindow = user32<DpiForWindow>("GetDpiForWindow");
    return forWindow != nullptr && window != nullptr ? forWindow(window) : dpiOfSystem();
}

RECT outerRectFor(const RECT& client, DWORD style, DWORD exStyle, bool menu, UINT dpi) {
    static const AdjustForDpi forDpi = user32<AdjustForDpi>("AdjustWindowRectExForDpi");
    RECT outer = client;
    if (forDpi == nullptr || !forDpi(&outer, style, menu, exStyle, dpi)) {
        outer = client;
        AdjustWindowRectEx(&outer, style, menu, exStyle);
    }
    return outer;
}

int metricForDpi(int index, UINT dpi) {
    static const MetricForDpi forDpi = user32<MetricForDpi>("GetSystemMetricsForDpi");
    if (forDpi != nullptr) {
        return forDpi(index, dpi);
    }
    const UINT system = dpiOfSystem();
    return system > 0
               ? MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(system))
               : GetSystemMetrics(index);
}
