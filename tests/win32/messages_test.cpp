// What the windows do with the messages they are sent: pointer and clicks in
// the view, the buttons, the timer and the menu commands.
#include "win32_test_support.h"

using PictureViewMessages = MainWindowTest;
using AutoModeMessages = MainWindowTest;
using MenuCommands = MainWindowTest;

TEST_F(PictureViewMessages, PointerMovesTheHandWithItsHideRule) {
    struct Case {
        int clientX, clientY;
        uint32_t handX, handY;  // handX 0: hidden
    };
    const Case cases[] = {
        {31, 19, 30, 300},    // the first shown position
        {30, 19, 0, 300},     // one column further left: hidden, handY kept
        {31, 18, 0, 301},     // one row further up: hidden
        {451, 289, 450, 30},  // the last shown position
        {452, 289, 0, 30},
        {451, 290, 0, 29},
        {241, 160, 240, 159},
        {0, 100, 0, 219},           // the frame column wraps to a huge x
        {100, 400, 0, 0xFFFFFFAF},  // below the picture: y wraps to a huge value
    };
    HWND view = window_->pictureView();
    const AppState& state = window_->app().state();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "client " << c.clientX << "," << c.clientY);
        SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(c.clientX, c.clientY));
        EXPECT_EQ(state.handX, c.handX);
        EXPECT_EQ(state.handY, c.handY);
    }
}

TEST_F(PictureViewMessages, ClickSlapsTheMappedPictureRowCountedFromTheBottom) {
    loadTestPicture();
    const AppState& state = window_->app().state();
    const Picture before = pictureOf(*state.currentPicture);
    const int32_t x = 300, y = 160;
    SendMessageA(window_->pictureView(), WM_LBUTTONDOWN, MK_LBUTTON, clientOf(x, y));
    EXPECT_EQ(state.slapCount, 1);
    const Picture after = pictureOf(*state.currentPicture);
    // The point itself is in both areas: red + 2.
    EXPECT_EQ((after.at(x, y) >> 16) & 0xFF, ((before.at(x, y) >> 16) & 0xFF) + 2);
    // The outer area reaches 49 rows down but only 48 up, so these two tell
    // the direction of y and that the click landed on exactly this row.
    EXPECT_NE(after.at(x, y - 49), before.at(x, y - 49));
    EXPECT_EQ(after.at(x, y + 49), before.at(x, y + 49));
    EXPECT_NE(after.at(x, y + 48), before.at(x, y + 48));
    EXPECT_EQ(after.at(x, y - 50), before.at(x, y - 50));
    // 57 columns either side in the middle row, 58 not.
    EXPECT_NE(after.at(x - 57, y), before.at(x - 57, y));
    EXPECT_NE(after.at(x + 57, y), before.at(x + 57, y));
    EXPECT_EQ(after.at(x - 58, y), before.at(x - 58, y));
    EXPECT_EQ(after.at(x + 58, y), before.at(x + 58, y));
    // A click does not move the hand.
    EXPECT_EQ(state.handX, 0u);
}

TEST_F(PictureViewMessages, ClicksOnBackgroundFrameAndBelowThePictureDoNothing) {
    loadTestPicture();
    const AppState& state = window_->app().state();
    const Picture before = pictureOf(*state.currentPicture);
    HWND view = window_->pictureView();
    const LPARAM positions[] = {
        clientOf(60, 160),        // on the blue
        MAKELPARAM(0, 100),       // the frame's left column
        MAKELPARAM(481, 100),     // the frame's right column
        MAKELPARAM(300, 320),     // the picture's lowest row shown: one below row 0
        MAKELPARAM(300, 340),     // over the counter
    };
    for (LPARAM position : positions) {
        SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, position);
    }
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == before.pixels);

    // The frame's top row addresses picture row 319.
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(301, 0));
    EXPECT_EQ(state.slapCount, 1);
    EXPECT_NE(state.currentPicture->pixel(300, 319), before.at(300, 319));
}

TEST_F(AutoModeMessages, AutoButtonSwitchesTextClearButtonAndTimer) {
    const AppState& state = window_->app().state();
    HWND autoButton = window_->autoButton();
    HWND clearButton = window_->clearButton();

    command(0);
    EXPECT_TRUE(state.autoMode);
    EXPECT_EQ(text(autoButton), "停止");
    EXPECT_FALSE(IsWindowEnabled(clearButton));
    // Timer 1 of the main window fires and its tick adds to the accumulator.
    EXPECT_EQ(state.autoAccumulator, 0u);
    EXPECT_TRUE(pumpUntil([&] { return state.autoAccumulator > 0; }, 2000));

    command(0);
    EXPECT_FALSE(state.autoMode);
    EXPECT_EQ(text(autoButton), "自動");
    EXPECT_TRUE(IsWindowEnabled(clearButton));
    // The timer is gone: there is nothing left to kill.
    EXPECT_FALSE(KillTimer(main_, 1));
}

TEST_F(AutoModeMessages, PointerAndClicksAreIgnoredWhileAutoModeRuns) {
    loadTestPicture();
    const AppState& state = window_->app().state();
    HWND view = window_->pictureView();
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(241, 160));
    ASSERT_EQ(state.handX, 240u);
    command(0);
    KillTimer(main_, 1);  // only the messages sent here count
    const Picture before = pictureOf(*state.currentPicture);
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(301, 100));
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, clientOf(300, 160));
    EXPECT_EQ(state.handX, 240u);
    EXPECT_EQ(state.handY, 159u);
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == before.pixels);
}

TEST_F(AutoModeMessages, TimerTicksAccumulateAndSlapARandomPointOfTheFigure) {
    loadTestPicture();
    const AppState& state = window_->app().state();
    command(0);
    KillTimer(main_, 1);  // the ticks are sent by hand
    const Picture before = pictureOf(*state.currentPicture);
    // Four ticks of 10 stay below 50; the fifth reaches it and draws the
    // point: first (100, 50), on the blue, then (300, 200) on the skin.
    // Each draw d gives x = d % 440 + 20 and y = d % 280 + 20.
    random_.script = {7, 7, 7, 7, 7, 100 - 20, 50 - 20, 300 - 20, 200 - 20};
    for (int i = 0; i < 4; ++i) {
        SendMessageA(main_, WM_TIMER, 1, 0);
        EXPECT_EQ(state.slapCount, 0) << "tick " << i + 1;
    }
    SendMessageA(main_, WM_TIMER, 1, 0);
    EXPECT_EQ(state.slapCount, 1);
    const Picture after = pictureOf(*state.currentPicture);
    EXPECT_EQ((after.at(300, 200) >> 16) & 0xFF, ((before.at(300, 200) >> 16) & 0xFF) + 2);
    EXPECT_TRUE(after.at(100, 50) == before.at(100, 50));
    // The hand was placed there for the slap and is hidden after it.
    EXPECT_EQ(state.handX, 0u);
    EXPECT_EQ(state.handY, 200u);
    EXPECT_EQ(state.autoAccumulator, 0u);
}

TEST_F(AutoModeMessages, ClearRestoresTheLoadedPictureAndTheCounter) {
    loadTestPicture();
    const AppState& state = window_->app().state();
    const Picture loaded = pictureOf(*state.untouchedPicture);
    HWND view = window_->pictureView();
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(241, 160));
    for (int i = 0; i < 3; ++i) {
        SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, clientOf(200 + 50 * i, 160));
    }
    ASSERT_EQ(state.slapCount, 3);
    ASSERT_FALSE(pictureOf(*state.currentPicture).pixels == loaded.pixels);
    command(1);
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == loaded.pixels);
    // Clear leaves the hand where it is.
    EXPECT_EQ(state.handX, 240u);
    EXPECT_EQ(state.handY, 159u);
}

TEST_F(MenuCommands, AboutBoxShowsNameAndVersionOwnedByTheMainWindow) {
    command(57664);
    ASSERT_EQ(log_.messages.size(), 1u);
    const DialogLog::Message& box = log_.messages[0];
    EXPECT_EQ(box.owner, main_);
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(box.caption, "バージョン情報");
    EXPECT_NE(box.text.find("Hoppelmaru"), std::string::npos);
    EXPECT_NE(box.text.find("バージョン 1."), std::string::npos);
}

TEST_F(MenuCommands, HomePageOpensTheMakersAddress) {
    command(40004);
    ASSERT_EQ(log_.addresses.size(), 1u);
    EXPECT_EQ(log_.addresses[0], "https://quillmarsh.example/hoppelmaru/");
    EXPECT_TRUE(log_.messages.empty());
}

TEST_F(MenuCommands, CommandIdsAreReadFromTheLowWordOnly) {
    // A notification code in the high word (BN_CLICKED is 0, this is not)
    // does not change which command runs.
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(57664, 1), 0);
    EXPECT_EQ(log_.messages.size(), 1u);
    // Ids nobody owns do nothing.
    for (WORD id : {2, 4, 40003, 57605, 65535}) {
        SendMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    EXPECT_EQ(log_.messages.size(), 1u);
    EXPECT_TRUE(log_.addresses.empty());
    EXPECT_TRUE(log_.saveRecords.empty());
    EXPECT_FALSE(window_->app().state().autoMode);
    EXPECT_TRUE(IsWindow(main_));
}
