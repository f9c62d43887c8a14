// The buttons from the keyboard: Tab and Shift+Tab move the focus between
// them, Space presses the focused one, and nothing is pressed unasked.
#include "win32_test_support.h"

class MainWindowKeyboard : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ShowWindow(main_, SW_SHOWNORMAL);
        SetFocus(main_);
        window_->app().state().slapCount = 5;
    }
    void TearDown() override { setShift(false); }

    // The key's down and up, posted to the focused window as the system
    // does, through the program's message loop step.
    void key(WPARAM virtualKey, bool shift = false) {
        setShift(shift);
        HWND target = GetFocus();
        PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
        PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
            if (!window_->routeDialogKey(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        setShift(false);
    }
    static void setShift(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    // A left click as the system delivers it: the parent hears of it first.
    void mouseClick(HWND child) {
        RECT r;
        GetWindowRect(child, &r);
        POINT inParent = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ScreenToClient(main_, &inParent);
        SendMessageA(main_, WM_PARENTNOTIFY, MAKEWPARAM(WM_LBUTTONDOWN, 0),
                     MAKELPARAM(inParent.x, inParent.y));
        const LPARAM inChild = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
        SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, inChild);
        SendMessageA(child, WM_LBUTTONUP, 0, inChild);
    }
    HWND autoButton() { return window_->autoButton(); }
    HWND clearButton() { return window_->clearButton(); }
};

TEST_F(MainWindowKeyboard, TabAndShiftTabMoveTheFocusBetweenTheButtonsWithAFocusRectangle) {
    ASSERT_EQ(GetFocus(), main_);
    const struct {
        bool shift, onAuto;
    } steps[] = {
        {false, true}, {false, false}, {false, true},  // the picture view is no stop
        {true, false}, {true, true},
    };
    for (const auto& step : steps) {
        key(VK_TAB, step.shift);
        HWND expected = step.onAuto ? autoButton() : clearButton();
        EXPECT_EQ(GetFocus(), expected);
        EXPECT_NE(SendMessageA(expected, BM_GETSTATE, 0, 0) & BST_FOCUS, 0);
        EXPECT_EQ(SendMessageA(expected, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
    }
    EXPECT_EQ(state().slapCount, 5);
    expectAutoMode(false);
}

TEST_F(MainWindowKeyboard, SpacePressesTheFocusedButtonAndTabSkipsTheDisabledClear) {
    key(VK_TAB);
    key(VK_SPACE);
    expectAutoMode(true);
    key(VK_TAB);  // Clear is disabled while auto mode runs
    EXPECT_EQ(GetFocus(), autoButton());
    key(VK_SPACE);
    expectAutoMode(false);
    EXPECT_EQ(state().slapCount, 5);
    key(VK_TAB);
    ASSERT_EQ(GetFocus(), clearButton());
    key(VK_SPACE);
    EXPECT_EQ(state().slapCount, 0);
}

// Enter would otherwise become IDOK, the Clear button's id.
TEST_F(MainWindowKeyboard, EnterEscapeAndSpaceElsewherePressNothing) {
    for (int tabs = 0; tabs < 3; ++tabs) {  // the window, then each button focused
        SCOPED_TRACE(tabs);
        for (WPARAM k : {VK_RETURN, VK_ESCAPE}) {
            key(k);
        }
        if (tabs == 0) {
            key(VK_SPACE);
        }
        EXPECT_EQ(state().slapCount, 5);
        expectAutoMode(false);
        key(VK_TAB);
    }
    EXPECT_TRUE(IsWindow(main_));
}

// After a mouse click on a button Space must not press it again: two clicks
// on Auto and then Space would otherwise start auto mode unasked.
TEST_F(MainWindowKeyboard, AMouseClickLeavesTheFocusOffTheButtonsSoSpacePressesNothing) {
    mouseClick(autoButton());
    expectAutoMode(true);
    mouseClick(autoButton());
    expectAutoMode(false);
    EXPECT_EQ(GetFocus(), main_);
    key(VK_SPACE);
    expectAutoMode(false);
    mouseClick(clearButton());
    EXPECT_EQ(state().slapCount, 0);
    EXPECT_EQ(GetFocus(), main_);
    // A click on the picture takes the focus a Tab gave a button.
    key(VK_TAB);
    ASSERT_EQ(GetFocus(), autoButton());
    RECT view;
    GetWindowRect(window_->pictureView(), &view);
    POINT inParent = {view.left + 100, view.top + 100};
    ScreenToClient(main_, &inParent);
    SendMessageA(main_, WM_PARENTNOTIFY, MAKEWPARAM(WM_LBUTTONDOWN, 0),
                 MAKELPARAM(inParent.x, inParent.y));
    EXPECT_EQ(GetFocus(), main_);
    key(VK_SPACE);
    expectAutoMode(false);
}

// Switched away and back, the window gives the focus back to the button that
// had it; a button disabled meanwhile, or none focused, leaves it with the window.
TEST_F(MainWindowKeyboard, TheFocusedButtonHasTheFocusAgainAfterTheWindowWasSwitchedAway) {
    HWND other = CreateWindowExW(0, L"Static", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 0, 0, 200, 100, nullptr, nullptr, instance_, nullptr);
    ASSERT_NE(other, nullptr);
    SetActiveWindow(main_);  // the new window took the activation
    SetFocus(main_);
    const auto switchAwayAndBack = [&](const std::function<void()>& meanwhile) {
        SetActiveWindow(other);
        EXPECT_NE(GetFocus(), autoButton());
        EXPECT_NE(GetFocus(), clearButton());
        meanwhile();
        SetActiveWindow(main_);
    };
    key(VK_TAB);
    key(VK_TAB);
    ASSERT_EQ(GetFocus(), clearButton());
    switchAwayAndBack([] {});
    EXPECT_EQ(GetFocus(), clearButton());
    key(VK_TAB);
    switchAwayAndBack([] {});
    EXPECT_EQ(GetFocus(), autoButton());
    key(VK_TAB);
    switchAwayAndBack([&] { command(IDC_AUTO); });  // Clear disabled while away
    EXPECT_EQ(GetFocus(), main_);
    command(IDC_AUTO);
    switchAwayAndBack([] {});
    EXPECT_EQ(GetFocus(), main_);
    DestroyWindow(other);
}
