#include "app/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstddef>
#include <utility>

#include "hoppel_version.h"

#include "app/win32/display_dpi.h"
#include "app/win32/window_object.h"
#include "resources/resource.h"

namespace {

const char kMainClass[] = "CWindow";
const char kTitle[] = "Hoppelmaru";
// WS_CLIPCHILDREN: the main window's own background erase (after a resize)
// never paints over the picture view, so the picture does not flicker.
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// The dialog record without the fields added after Windows NT 4.0: 76 bytes
// on i686, 136 on x86_64.
constexpr DWORD kSaveDialogRecordSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);

// One built-in resource: its bytes live as long as the program and are never written.
struct ResourceBytes {
    const uint8_t* bytes = nullptr;
    int32_t size = 0;
};

ResourceBytes findResource(HINSTANCE instance, const char* name, const char* type) {
    ResourceBytes found;
    HRSRC info = FindResourceA(instance, name, type);
    HGLOBAL loaded = info != nullptr ? LoadResource(instance, info) : nullptr;
    if (loaded != nullptr) {
        found.bytes = static_cast<const uint8_t*>(LockResource(loaded));
        found.size =
            found.bytes != nullptr ? static_cast<int32_t>(SizeofResource(instance, info)) : 0;
    }
    return found;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, RandomSource& random)
    : instance_(instance), app_(platform_, random), view_(app_, counter_) {
    hooks_.askSavePath = [](OPENFILENAMEA& dialog) { return GetSaveFileNameA(&dialog) != 0; };
    hooks_.showMessage = [](HWND owner, const char* text, const char* caption, UINT type) {
        MessageBoxA(owner, text, caption, type);
    };
    hooks_.openAddress = [](const char* address) {
        ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
    };
    hooks_.windowDpi = [](HWND window) { return dpiOfWindow(window); };
}

MainWindow::~MainWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void MainWindow::registerClass(HINSTANCE instance) {
    // The buttons of the common controls the manifest asks for.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "APP_ICON");
    windowClass.hIconSm = classSmallIcon(instance);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MENU);
    windowClass.lpszClassName = kMainClass;
    RegisterClassExA(&windowClass);
}

HWND MainWindow::create() {
    // The size for 96 DPI first; the creation steps find the monitor's DPI.
    const SIZE first = outerSize(DisplayScale());
    HWND window = CreateWindowExA(0, kMainClass, kTitle, kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  first.cx, first.cy, nullptr, nullptr, instance_, this);
    if (window != nullptr) {
        RECT outer;
        GetWindowRect(window, &outer);
        const SIZE size = outerSize(scale_);
        placeOnMonitor(RECT{outer.left, outer.top, outer.left + size.cx, outer.top + size.cy});
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
    return IsDialogMessageA(window_, &message) != FALSE;
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
        case WM_DPICHANGED:
            self->onDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_GETDPISCALEDSIZE:
            return self->onGetDpiScaledSize(LOWORD(wParam), reinterpret_cast<SIZE*>(lParam));
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT MainWindow::onCreate() {
    scale_ = DisplayScale(hooks_.windowDpi(window_));
    // Placed at the scale by layOut below.
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    autoButton_ = CreateWindowExA(0, "Button", "自動", buttonStyle, 0, 0, 0, 0, window_,
                                  controlId(IDC_AUTO), instance_, nullptr);
    clearButton_ = CreateWindowExA(0, "Button", "クリア", buttonStyle, 0, 0, 0, 0, window_,
                                   controlId(IDC_CLEAR), instance_, nullptr);
    PictureView::registerClass(instance_);
    view_.create(instance_, window_);
    platform_.attach(window_, autoButton_, clearButton_, view_.handle());
    loadResources();
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
    createButtonFont();
    createCounterSurface();
}

SIZE MainWindow::outerSize(const DisplayScale& scale) const {
    const RECT client = {0, 0, scale.scaled(kClientWidth), scale.scaled(kClientHeight)};
    const RECT outer = outerRectFor(client, kMainStyle, 0, true, static_cast<UINT>(scale.dpi()));
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

void MainWindow::placeOnMonitor(const RECT& outer) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    const LayoutRect wanted = {outer.left, outer.top, outer.right, outer.bottom};
    LayoutRect kept = wanted;
    if (GetMonitorInfoA(MonitorFromRect(&outer, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        kept = keepWithin(wanted, LayoutRect{work.left, work.top, work.right, work.bottom});
    }
    SetWindowPos(window_, nullptr, kept.left, kept.top, kept.width(), kept.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::onDpiChanged(WORD dpi, const RECT* suggested) {
    scale_ = DisplayScale(dpi);
    layOut();
    if (suggested != nullptr) {
        placeOnMonitor(*suggested);
    }
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT MainWindow::onGetDpiScaledSize(WORD dpi, SIZE* size) {
    if (size == nullptr) {
        return FALSE;
    }
    *size = outerSize(DisplayScale(dpi));
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

void MainWindow::loadResources() {
    const ResourceBytes hand = findResource(instance_, "HAND_BMP", "DIB_PIXEL");
    // The picture is handed over as it lies in resource memory, which is
    // read-only: it already holds 24 bits per pixel, so nothing is patched.
    const ResourceBytes picture = findResource(instance_, "RADAV_BMP", "DIB_PIXEL");
    Sound sounds[3];
    const char* const soundNames[3] = {"SOUND1", "SOUND2", "SOUND3"};
    for (int i = 0; i < 3; ++i) {
        const ResourceBytes wav = findResource(instance_, soundNames[i], "WAV_DAT");
        sounds[i] = Sound{wav.bytes, wav.size};
    }
    app_.loadBuiltIns(picture.bytes, picture.size, hand.bytes, hand.size, sounds);
}

void MainWindow::createCounterSurface() {
    // Made anew at each scale; what the old scale had is released once replaced.
    const LayoutRect area = scale_.scaled(kCounterRect);
    HDC screen = GetDC(window_);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.width(), area.height());
    if (counter_.context == nullptr) {
        counter_.context = CreateCompatibleDC(screen);
    }
    ReleaseDC(window_, screen);
    SelectObject(counter_.context, bitmap);
    DeleteObject(counter_.bitmap);
    counter_.bitmap = bitmap;
    HFONT font = CreateFontA(scale_.scaled(kCounterFontHeight), 0, 0, 0, 600, FALSE, FALSE, FALSE,
                             SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, FIXED_PITCH, nullptr);
    DeleteObject(counter_.font);  // never left selected: the paint selects it back out
    counter_.font = font;
}

void MainWindow::createButtonFont() {
    // The GUI font's size and look, but a Japanese character set and no face
    // name: the font mapper then picks a face that has the buttons' glyphs,
    // which the GUI font itself lacks in a plain Wine prefix. The stock font
    // is made for the system DPI.
    LOGFONTA look = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof look, &look);
    const UINT systemDpi = dpiOfSystem();
    look.lfHeight = scale_.convertedFrom(look.lfHeight, systemDpi);
    look.lfWidth = scale_.convertedFrom(look.lfWidth, systemDpi);
    look.lfCharSet = SHIFTJIS_CHARSET;
    look.lfFaceName[0] = '\0';
    HFONT font = CreateFontIndirectA(&look);
    for (HWND button : {autoButton_, clearButton_}) {
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    DeleteObject(buttonFont_);  // no button draws with it any more
    buttonFont_ = font;
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
    DeleteDC(counter_.context);
    DeleteObject(counter_.bitmap);
    DeleteObject(counter_.font);
    counter_ = CounterSurface{};
    PostQuitMessage(0);
}

void MainWindow::onNcDestroy() {
    // The buttons are gone by now: nothing draws with their font any more.
    DeleteObject(buttonFont_);
    buttonFont_ = nullptr;
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
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
    case IDM_ABOUT: showAbout(); break;
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
    // at its whole length, so that no cut name is ever looked up.
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    droppedPath_.assign(length + 1, '\0');
    if (length == 0 || DragQueryFileA(drop, 0, &droppedPath_[0], length + 1) != length) {
        droppedPath_.clear();
    }
    app_.pictureDropped(droppedPath_.c_str());
    DragFinish(drop);
}

void MainWindow::showAbout() {
    hooks_.showMessage(window_, "Hoppelmaru バージョン " HOPPEL_VERSION_TEXT, "バージョン情報",
                       MB_OK);
}

void MainWindow::savePictureAs() {
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = kSaveDialogRecordSize;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = "ビットマップ(*.bmp)\0*.bmp\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = savePath_;
    dialog.nMaxFile = sizeof savePath_;  // bytes: the longest path in UTF-8
    dialog.lpstrTitle = "保存するファイル名を指定してください";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    dialog.lpstrDefExt = "bmp";
    if (!hooks_.askSavePath(dialog)) {
        return;
    }
    if (!app_.savePicture(savePath_)) {
        hooks_.showMessage(window_, "ファイル作成に失敗しました。空き容量を確認してください",
                           "書き込みエラー", MB_OK);
    }
}
