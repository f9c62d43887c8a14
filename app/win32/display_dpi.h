#pragma once
// The DPI functions of current Windows, found at run time so that the program
// still starts where they are missing (before Windows 10 1607), with the
// older calls standing in for them there.
#include <windows.h>

// The DPI of the window's monitor; the system DPI where that cannot be asked.
UINT dpiOfWindow(HWND window);
// The system DPI.
UINT dpiOfSystem();
// The outer rectangle of a window whose client area is client, at dpi.
RECT outerRectFor(const RECT& client, DWORD style, DWORD exStyle, bool menu, UINT dpi);
// A size from the system metrics (SM_CXICON and the like) at dpi.
int metricForDpi(int index, UINT dpi);
