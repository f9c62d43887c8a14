// What the windows do with the messages they are sent: pointer and clicks in
// the view, the buttons, the timer and the menu commands.
#include <objbase.h>

#include "win32_test_support.h"

using MainWindowMessages = MainWindowTest;

TEST_F(MainWindowMessages, PointerMovesTheHandWithItsHideRule) {
    // clang-format off
    const struct {
        int clientX, clientY;
        uint32_t handX, handY;  // handX 0: hidden
    } cases[] = {
        {31, 19, 30, 300},          // the first shown position
        {30, 19, 0, 300},           // one column further left: hidden, handY kept
        {31, 18, 0, 301},           // one row further up: hidden
        {451, 289, 450, 30},        // the last shown position
        {452, 289, 0, 30},          // one column further right
        {451, 290, 0, 29},          // one row further down
        {0, 100, 0, 219},           // the frame column wraps to a huge x
        {100, 400, 0, 0xFFFFFFAF},  // below the picture: y wraps to a huge value
    };
    // clang-format on
    for (const auto& c : cases) {
        move(c.clientX, c.clientY);
        EXPECT_EQ(std::make_pair(state().handX, state().handY), std::make_pair(c.handX, c.handY))
            << "client " << c.clientX << "," << c.clientY;
    }
}

TEST_F(MainWindowMessages, ClickSlapsTheMappedPictureRowAndNothingOffTheFigure) {
    loadTestPicture();
    const Picture before = pictureOf(*state().currentPicture);
    slapAt(60, 160);  // on the blue
    click(0, 100);    // the frame's left and right columns
    click(481, 100);
    click(300, 320);  // one below the picture's row 0
    click(300, 340);  // over the counter
    EXPECT_EQ(state().slapCount, 0);
    EXPECT_TRUE(current() == before.pixels);

    slapAt(300, 160);
    EXPECT_EQ(state().slapCount, 1);
    EXPECT_EQ(state().handX, 0u);  // a click does not move the hand
    const Picture after = pictureOf(*state().currentPicture);
    EXPECT_EQ(red(after.at(300, 160)), red(before.at(300, 160)) + 2);  // in both areas
    // The outer area reaches 49 rows down but only 48 up, which tells the
    // direction of y and the exact row; 57 columns either side, 58 not.
    // clang-format off
    const struct {
        int dx, dy;
        bool changed;
    } probes[] = {
        {0, -49, true},
        {0, 48, true},
        {0, 49, false},
        {0, -50, false},
        {-57, 0, true},
        {57, 0, true},
        {-58, 0, false},
        {58, 0, false},
    };
    // clang-format on
    for (const auto& p : probes) {
        EXPECT_EQ(after.at(300 + p.dx, 160 + p.dy) != before.at(300 + p.dx, 160 + p.dy), p.changed)
            << "offset " << p.dx << "," << p.dy;
    }
    click(301, 0);  // the frame's top row addresses picture row 319
    EXPECT_EQ(state().slapCount, 2);
    EXPECT_NE(state().currentPicture->pixel(300, 319), before.at(300, 319));
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
