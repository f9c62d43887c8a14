// Destruction of the main window, and the whole program from start to exit code.
#include "app/win32/program.h"
#include "win32_test_support.h"

using MainWindowLifetime = MainWindowTest;

TEST_F(MainWindowLifetime, ExitCloseBoxAndDestroyEachRunTheDestructionOnce) {
    struct Way {
        const char* name;
        std::function<void(HWND)> close;
    };
    const Way ways[] = {
        {"menu Exit", [](HWND w) { SendMessageA(w, WM_COMMAND, MAKEWPARAM(57665, 0), 0); }},
        {"close box", [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND w) { SendMessageA(w, WM_CLOSE, 0, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        window_.reset();
        drainQuitMessages();
        window_ = std::make_unique<MainWindow>(instance_, random_);
        main_ = window_->create();
        ASSERT_NE(main_, nullptr);
        HWND view = window_->pictureView();
        HWND autoButton = window_->autoButton();
        const CounterSurface counter = window_->counter();
        command(0);  // auto mode runs: its timer is stopped too

        way.close(main_);
        EXPECT_FALSE(IsWindow(main_));
        EXPECT_FALSE(IsWindow(view));
        EXPECT_FALSE(IsWindow(autoButton));
        EXPECT_EQ(window_->handle(), nullptr);
        const AppState& state = window_->app().state();
        EXPECT_EQ(state.displayImage, nullptr);
        EXPECT_EQ(state.currentPicture, nullptr);
        EXPECT_EQ(state.untouchedPicture, nullptr);
        EXPECT_EQ(state.handImage, nullptr);
        EXPECT_EQ(GetObjectType(counter.context), 0u);
        EXPECT_EQ(GetObjectType(counter.bitmap), 0u);
        EXPECT_EQ(GetObjectType(counter.font), 0u);
        // One quit message, with exit code 0; destroying the object later adds none.
        window_.reset();
        int code = -1;
        EXPECT_EQ(drainQuitMessages(&code), 1);
        EXPECT_EQ(code, 0);
    }
}

namespace {

// Ends the program's message loop from inside it, the way a user would.
int exitAttempts = 0;

void CALLBACK pressExit(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = FindWindowA("CWindow", "Hoppelmaru");
    if (window != nullptr && IsWindowVisible(window)) {
        KillTimer(nullptr, timer);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(57665, 0), 0);
    } else if (++exitAttempts > 100) {
        KillTimer(nullptr, timer);
        PostQuitMessage(99);  // never found: fail instead of hanging
    }
}

}  // namespace

TEST(Win32Program, RunsShowsTheWindowAndEndsWithExitCodeZero) {
    drainQuitMessages();
    exitAttempts = 0;
    SetTimer(nullptr, 0, 50, pressExit);
    const DWORD start = GetTickCount();
    const int code = runProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    EXPECT_EQ(code, 0);
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(FindWindowA("CWindow", "Hoppelmaru"), nullptr);
    EXPECT_EQ(drainQuitMessages(), 0);
}
