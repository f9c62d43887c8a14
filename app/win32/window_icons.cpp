#include "app/win32/window_icons.h"

#include <initializer_list>

#include "app/win32/display_dpi.h"

namespace {

HICON appIcon(HINSTANCE instance, int size, UINT flags) {
    return static_cast<HICON>(LoadImageW(instance, L"APP_ICON", IMAGE_ICON, size, size, flags));
}

// Gives the window icon as its kind (ICON_SMALL, ICON_BIG); the one held
// before is released once the window no longer shows it.
void replace(HWND window, WPARAM kind, HICON icon, HICON& held) {
    if (icon == nullptr) {
        return;
    }
    SendMessageW(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    if (held != nullptr) {
        DestroyIcon(held);
    }
    held = icon;
}

}  // namespace

HICON classSmallIcon(HINSTANCE instance) {
    return appIcon(instance, GetSystemMetrics(SM_CXSMICON), LR_SHARED);
}

WindowIcons::~WindowIcons() {
    for (HICON icon : {small_, big_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

void WindowIcons::apply(HWND window, HINSTANCE instance, UINT dpi) {
    replace(window, ICON_SMALL, appIcon(instance, metricForDpi(SM_CXSMICON, dpi), 0), small_);
    replace(window, ICON_BIG, appIcon(instance, metricForDpi(SM_CXICON, dpi), 0), big_);
}
