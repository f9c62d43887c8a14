#pragma once
// The counter's off-screen surface and font (CounterSurface, which the picture
// view draws through), made by the main window at its display scale.
#include <windows.h>

#include "app/display_scale.h"
#include "app/win32/picture_view_window.h"

// Makes the surface anew at scale, compatible with window's display; what
// the old scale had is released once replaced.
void remakeCounterSurface(CounterSurface& counter, HWND window, const DisplayScale& scale);
// Releases everything and empties counter.
void releaseCounterSurface(CounterSurface& counter);
