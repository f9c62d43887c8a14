#pragma once
// Each window keeps its state in one object, found through GWLP_USERDATA. The
// object's address arrives with WM_NCCREATE as the creation parameter.
#include <windows.h>

// The object of window: stored at WM_NCCREATE, null before it.
template <class Owner>
Owner* windowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        void* created = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A child window's control id as CreateWindowExW takes it, in the menu argument.
inline HMENU controlId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}
