#pragma once
// The main window's outer size and place at a display scale.
#include <windows.h>

#include "app/display_scale.h"

// WS_CLIPCHILDREN: the main window's own background erase (after a resize)
// never paints over the picture view, so the picture does not flicker.
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// The outer size of the main window (with its menu) whose client area holds
// the layout at scale.
SIZE mainWindowSize(const DisplayScale& scale);
// Moves and sizes window to outer, kept wholly on the nearest monitor where it fits.
void placeOnMonitor(HWND window, const RECT& outer);
