#pragma once
// The program's icon as the system shows it: the title bar's small one and
// the big one of Alt+Tab and the taskbar, each loaded at the size its DPI
// asks for, so that neither is a blurred stretch of another size.
#include <windows.h>

// APP_ICON at the small icon's size for the system DPI, for the window class.
// Shared: it lives as long as the program.
HICON classSmallIcon(HINSTANCE instance);

// The icons a window was handed, released once replaced and at the end.
class WindowIcons {
public:
    WindowIcons() = default;
    ~WindowIcons();
    WindowIcons(const WindowIcons&) = delete;
    WindowIcons& operator=(const WindowIcons&) = delete;

    // Hands window APP_ICON at the small and big sizes of dpi; where one
    // cannot be loaded the window keeps what it had.
    void apply(HWND window, HINSTANCE instance, UINT dpi);

private:
    HICON small_ = nullptr;
    HICON big_ = nullptr;
};
