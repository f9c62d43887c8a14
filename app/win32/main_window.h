#pragma once
// The main window, window class CWindow: the Auto and Clear buttons, the
// picture view, the menu commands, the timer and the drop target. One object
// holds the window's whole state; the window procedure finds it through
// GWLP_USERDATA.
#include <windows.h>

#include <string>

#include "app/app.h"
#include "app/display_scale.h"
#include "app/win32/dialogs.h"
#include "app/win32/picture_view_window.h"
#include "app/win32/scoped_gdi.h"
#include "app/win32/win32_platform.h"
#include "app/win32/window_icons.h"

class MainWindow {
public:
    // random is borrowed and must outlive the window.
    MainWindow(HINSTANCE instance, RandomSource& random);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    static void registerClass(HINSTANCE instance);
    // Creates the (still hidden) window titled "Hoppelmaru", its client area
    // the layout at the DPI of its monitor (540 x 468 at 96 DPI in the
    // project's Wine prefix); the creation steps run inside. Null on failure.
    HWND create();
    // The message loop's dialog keys: Tab and Shift+Tab move the focus between
    // the buttons, Space presses the focused one. True when the message was
    // handled here and must not be dispatched again.
    bool routeDialogKey(MSG& message);

    HWND handle() const { return window_; }
    HWND autoButton() const { return autoButton_; }
    HWND clearButton() const { return clearButton_; }
    HWND pictureView() const { return view_.handle(); }
    App& app() { return app_; }
    PictureView& view() { return view_; }
    const CounterSurface& counter() const { return counter_; }
    DialogHooks& hooks() { return hooks_; }
    Win32Platform& platform() { return platform_; }
    const wchar_t* savePath() const { return savePath_; }
    const DisplayScale& scale() const { return scale_; }

    // File > Save image: asks for a name, writes the picture, reports a failure.
    void savePictureAs();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onCreate();
    void onDestroy();
    void onNcDestroy();
    void onCommand(WORD id);
    void onTimer();
    void onDropFiles(HDROP drop);
    void onParentNotify(WPARAM what, LPARAM position);
    // True when it gave the focus back itself.
    bool onActivate(WORD state);
    void onDpiChanged(WORD dpi, const RECT* suggested);
    LRESULT onGetDpiScaledSize(WORD dpi, SIZE* size);
    // The children, their fonts, the window's icons and the counter surface at scale_.
    void layOut();

    HINSTANCE instance_;
    DialogHooks hooks_;
    Win32Platform platform_;
    App app_;
    CounterSurface counter_;
    PictureView view_;
    HWND window_ = nullptr;
    HWND autoButton_ = nullptr;
    HWND clearButton_ = nullptr;
    GdiObject<HFONT> buttonFont_;
    WindowIcons icons_;
    DisplayScale scale_;
    // A button is being pressed with the mouse: once its command has run the
    // focus leaves it, so that Space does not press it again unasked.
    bool mouseOnButton_ = false;
    // The button that had the focus when the window was last deactivated.
    HWND focusOnLeaving_ = nullptr;
    std::string droppedPath_;
    // Kept between saves: the dialog opens with the last name.
    wchar_t savePath_[kLongestPath + 1] = {};
};
