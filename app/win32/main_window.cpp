#include "app/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <utility>

#include "app/shown_texts.h"
#include "app/win32/built_in_resources.h"
#include "app/win32/counter_surface.h"
#include "app/win32/wide_text.h"
#include "app/win32/window_fonts.h"
#include "app/win32/window_object.h"
#include "app/win32/window_placement.h"
#include "resources/resource.h"

namespace {

const wchar_t kMainClass[] = L"CWindow";
const wchar_t kTitle[] = L"" HOPPEL_TEXT_TITLE;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, RandomSource& random)
    : instance_(instance),
      hooks_(systemDialogs()),
      app_(platform_, random),
      view_(app_, counter_) {}

MainWindow::~MainWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void MainWindow::registerClass(HINSTANCE instance) {
    // The buttons of the common controls the manifest asks for.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"APP_ICON");
    windowClass.hIconSm = classSmallIcon(instance);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MENU);
    windowClass.lpszClassName = kMainClass;
    RegisterClassExW(&windowClass);
}

HWND MainWindow::create() {
    // The size for 96 DPI first; the creation steps find the monitor's DPI.
    const SIZE first = mainWindowSize(DisplayScale());
    HWND window = CreateWindowExW(0, kMainClass, kTitle, kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  first.cx, first.cy, nullptr, nullptr, instance_, this);
    if (window != nullptr) {
        RECT outer;
        GetWindowRect(window, &outer);
        const SIZE size = mainWindowSize(scale_);
        placeOnMonitor(window_,
                       RECT{outer.left, outer.top, outer.left + size.cx, outer.top + size.cy});
    }
    return window;
}

bool MainWindow::routeDialogKey(MSG& message) {
    if (window_ == nullptr || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
        return false;
    }
    // Enter and Escape would become the commands IDOK and IDCANCEL, and IDOK
    // is the Clear button's id: they stay plain keys, which nothing here takes.
    if (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) {
        return false;
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<MainWindow>(window, message, lParam);
    if (self != nullptr) {
        switch (message) {
        case WM_NCCREATE: self->window_ = window; break;
        case WM_CREATE: return self->onCreate();
        case WM_DESTROY: self->onDestroy(); return 0;
        case WM_NCDESTROY: self->onNcDestroy(); break;
        case WM_COMMAND: self->onCommand(LOWORD(wParam)); return 0;
        case WM_TIMER: self->onTimer(); return 0;
        case WM_DROPFILES: self->onDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_PARENTNOTIFY: self->onParentNotify(wParam, lParam); break;
        case WM_ACTIVATE:
            if (self->onActivate(LOWORD(wParam))) {
                return 0;
            }
            break;
        case WM_DPICHANGED:
            self->onDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_GETDPISCALEDSIZE:
            return self->onGetDpiScaledSize(LOWORD(wParam), reinterpret_cast<SIZE*>(lParam));
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::onCreate() {
    scale_ = DisplayScale(hooks_.windowDpi(window_));
    // Placed at the scale by layOut below.
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    autoButton_ = CreateWindowExW(0, L"Button", L"" HOPPEL_TEXT_AUTO, buttonStyle, 0, 0, 0, 0,
                                  window_, controlId(IDC_AUTO), instance_, nullptr);
    clearButton_ = CreateWindowExW(0, L"Button", L"" HOPPEL_TEXT_CLEAR, buttonStyle, 0, 0, 0, 0,
                                   window_, controlId(IDC_CLEAR), instance_, nullptr);
    PictureView::registerClass(instance_);
    view_.create(instance_, window_);
    platform_.attach(window_, autoButton_, clearButton_, view_.handle());
    loadBuiltInResources(app_, instance_);
    layOut();
    DragAcceptFiles(window_, TRUE);
    return 0;
}

void MainWindow::layOut() {
    const std::pair<HWND, LayoutRect> places[] = {{autoButton_, kAutoButtonRect},
                                                  {clearButton_, kClearButtonRect},
                                                  {view_.handle(), kViewRect}};
    for (const auto& place : places) {
        const LayoutRect r = scale_.scaled(place.second);
        MoveWindow(place.first, r.left, r.top, r.width(), r.height(), TRUE);
    }
    view_.setScale(scale_);
    icons_.apply(window_, instance_, static_cast<UINT>(scale_.dpi()));
    HFONT font = makeButtonFont(scale_);
    for (HWND button : {autoButton_, clearButton_}) {
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    DeleteObject(buttonFont_);  // no button draws with it any more
    buttonFont_ = font;
    remakeCounterSurface(counter_, window_, scale_);
}

void MainWindow::onDpiChanged(WORD dpi, const RECT* suggested) {
    scale_ = DisplayScale(dpi);
    layOut();
    // The system's rectangle as it is: it keeps the window under the pointer
    // that drags it across monitors of different scale.
    if (suggested != nullptr) {
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT MainWindow::onGetDpiScaledSize(WORD dpi, SIZE* size) {
    if (size == nullptr) {
        return FALSE;
    }
    *size = mainWindowSize(DisplayScale(dpi));
    return TRUE;
}

void MainWindow::onParentNotify(WPARAM what, LPARAM position) {
    if (LOWORD(what) != WM_LBUTTONDOWN) {
        return;
    }
    const POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    HWND child = ChildWindowFromPointEx(window_, at, CWP_SKIPINVISIBLE);
    mouseOnButton_ = child == autoButton_ || child == clearButton_;
    if (!mouseOnButton_ && GetFocus() != window_) {
        SetFocus(window_);  // a click elsewhere takes the focus off the buttons
    }
}

void MainWindow::onDestroy() {
    AppState& state = app_.state();
    if (state.autoMode) {
        KillTimer(window_, kAutoTimerId);
    }
    state.displayImage.reset();
    state.currentPicture.reset();
    state.untouchedPicture.reset();
    state.handImage.reset();
    releaseCounterSurface(counter_);
    PostQuitMessage(0);
}

void MainWindow::onNcDestroy() {
    // The buttons are gone by now: nothing draws with their font any more.
    DeleteObject(buttonFont_);
    buttonFont_ = nullptr;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    autoButton_ = nullptr;
    clearButton_ = nullptr;
}

void MainWindow::onCommand(WORD id) {
    switch (id) {
    case IDC_AUTO: app_.toggleAutoMode(); break;
    case IDC_CLEAR: app_.clear(); break;
    case IDM_HOME_PAGE: hooks_.openAddress(kHomePageUrl); break;
    case IDM_SAVE_IMAGE: savePictureAs(); break;
    case IDM_ABOUT: showAbout(hooks_, window_); break;
    case IDM_EXIT: DestroyWindow(window_); break;
    }
    if ((id == IDC_AUTO || id == IDC_CLEAR) && mouseOnButton_) {
        mouseOnButton_ = false;
        SetFocus(window_);
    }
}

void MainWindow::onTimer() {
    app_.autoTick();
}

void MainWindow::onDropFiles(HDROP drop) {
    // Only the first of several dropped files counts; its name is asked for
    // at its whole length, so that no cut name is ever looked up. A name that
    // is not UTF-16 (an unpaired surrogate) has no UTF-8 form: refused, as an
    // empty one.
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    if (length == 0 || DragQueryFileW(drop, 0, &name[0], length + 1) != length ||
        !toUtf8(name.c_str(), &droppedPath_)) {
        droppedPath_.clear();
    }
    app_.pictureDropped(droppedPath_.c_str());
    DragFinish(drop);
}

bool MainWindow::onActivate(WORD state) {
    // The focus a button had goes back to it when the window is active
    // again, as a dialog does it.
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        focusOnLeaving_ = focus == autoButton_ || focus == clearButton_ ? focus : nullptr;
        return false;
    }
    if (focusOnLeaving_ == nullptr || !IsWindowEnabled(focusOnLeaving_) || IsIconic(window_)) {
        return false;
    }
    SetFocus(focusOnLeaving_);
    return true;
}

void MainWindow::savePictureAs() {
    if (!askSavePath(hooks_, window_, savePath_, kLongestPath + 1)) {
        return;
    }
    // A name with no UTF-8 form is refused like one that cannot be written.
    std::string path;
    if (!toUtf8(savePath_, &path) || !app_.savePicture(path.c_str())) {
        showWriteError(hooks_, window_);
    }
}
