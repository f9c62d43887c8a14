// What the windows do with the messages they are sent: pointer and clicks in
// the view, the buttons, the timer and the menu commands.
#include <objbase.h>

#include "tests/support/pointer_cases.h"
#include "win32_test_support.h"

using MainWindowMessages = MainWindowTest;

// The logic's own pointer cases, sent as messages: the hand goes where the
// logic puts it, and a click slaps exactly what slapAt does, moving no hand.
TEST_F(MainWindowMessages, PointerCasesOfTheLogicGoThroughTheMessages) {
    Dib32Image& picture = *state().currentPicture;
    random_.always(0);
    for (const PointerCase& c : kPointerCases) {
        SCOPED_TRACE(::testing::Message() << "client " << c.clientX << "," << c.clientY);
        picture.fillColor(100, 100, 100);
        move(c.clientX, c.clientY);
        EXPECT_EQ(std::make_pair(state().handX, state().handY), std::make_pair(c.handX, c.handY));
        click(c.clientX, c.clientY);
        EXPECT_EQ(std::make_pair(state().handX, state().handY), std::make_pair(c.handX, c.handY));
        const std::vector<uint32_t> clicked = current();
        picture.fillColor(100, 100, 100);
        window_->app().slapAt(c.clientX - 1, 319 - c.clientY);
        EXPECT_TRUE(clicked == current());
        EXPECT_EQ(clicked != std::vector<uint32_t>(480 * 320, 0x646464), c.slaps);
    }
}

TEST_F(MainWindowMessages, AutoButtonRunsTheTimerWhoseTicksSlapWhileTheViewIgnoresThePointer) {
    loadTestPicture();
    move(241, 160);
    command(IDC_AUTO);
    expectAutoMode(true);
    // Timer 1 of the main window fires and its ticks add to the accumulator.
    EXPECT_TRUE(pumpUntil([&] { return state().autoAccumulator > 0; }, 2000));
    const Picture before = pictureOf(*state().currentPicture);
    const auto hand = std::make_pair(state().handX, state().handY);
    const int32_t slaps = state().slapCount;
    move(301, 100);
    slapAt(300, 160);
    EXPECT_EQ(std::make_pair(state().handX, state().handY), hand);
    EXPECT_EQ(state().slapCount, slaps);
    EXPECT_TRUE(current() == before.pixels);
    command(IDC_AUTO);
    expectAutoMode(false);
    EXPECT_FALSE(KillTimer(main_, kAutoTimerId));  // already gone

    command(IDC_AUTO);
    KillTimer(main_, kAutoTimerId);  // from here the ticks are sent by hand
    // A tick adds d % 8 + 3 for a draw d: the fifth tick of 10 reaches 50 and
    // slaps at the next two draws, (d % 440 + 20, d % 280 + 20).
    random_.script({7, 7, 7, 7, 7, 300 - 20, 200 - 20});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(state().slapCount, slaps) << "tick " << i;
        SendMessageA(main_, WM_TIMER, kAutoTimerId, 0);
    }
    EXPECT_EQ(state().slapCount, slaps + 1);
    EXPECT_EQ(red(state().currentPicture->pixel(300, 200)), red(before.at(300, 200)) + 2);
    EXPECT_EQ(state().autoAccumulator, 0u);
}

TEST_F(MainWindowMessages, MenuCommandsAboutHomePageAndUnknownIdsByTheLowWordOnly) {
    // A notification code in the high word does not change which command runs.
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 1), 0);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].owner, main_);
    EXPECT_EQ(shown_[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(shown_[0].caption, "バージョン情報");
    EXPECT_EQ(shown_[0].text.rfind("Hoppelmaru バージョン 1.", 0), 0u);
    command(IDM_HOME_PAGE);
    EXPECT_EQ(addresses_, std::vector<std::string>{"https://quillmarsh.example/hoppelmaru/"});
    for (WORD id : {2, 4, 40003, 57605, 65535}) {  // nobody's ids
        command(id);
    }
    EXPECT_EQ(shown_.size() + addresses_.size() + saveDialogs_.size(), 2u);
    EXPECT_FALSE(state().autoMode);
    EXPECT_TRUE(IsWindow(main_));
}

namespace {

struct ShellCall {
    std::wstring verb, address;
    bool plain;     // no window, parameters or folder; shown normally
    HRESULT asMta;  // what asking for the multi-threaded apartment meanwhile got
};
std::vector<ShellCall> shellCalls;

HINSTANCE WINAPI fakeShellExecute(HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                  LPCWSTR directory, INT show) {
    const HRESULT asMta = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(asMta)) {
        CoUninitialize();
    }
    const bool plain = !window && !parameters && !directory && show == SW_SHOWNORMAL;
    shellCalls.push_back({verb, file, plain, asMta});
    return reinterpret_cast<HINSTANCE>(33);
}

}  // namespace

// The shell is asked with COM initialised apartment-threaded, and COM is
// released again afterwards.
TEST(ShellOpen, RunsWithAnApartmentThreadedComAndReleasesIt) {
    openWithShell(kHomePageUrl, fakeShellExecute);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].verb, L"open");
    EXPECT_EQ(shellCalls[0].address, L"https://quillmarsh.example/hoppelmaru/");
    EXPECT_TRUE(shellCalls[0].plain);
    EXPECT_EQ(shellCalls[0].asMta, RPC_E_CHANGED_MODE);
    const HRESULT after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(after, S_OK);
    if (SUCCEEDED(after)) {
        CoUninitialize();
    }
}
