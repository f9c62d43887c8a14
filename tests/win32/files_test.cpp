// Files dropped on the window and File > Save image, on real files.
#include "win32_test_support.h"

namespace {

// 480 x 320 pictures that differ from the test picture and from each other.
Picture stripes(uint32_t color) {
    return makePicture(480, 320, [color](int32_t x, int32_t y) {
        return ((x / 16 + y / 16) % 2 == 0) ? color : kBlue;
    });
}

bool globalIsFreed(HGLOBAL memory) {
    return GlobalFlags(memory) == GMEM_INVALID_HANDLE;
}

}  // namespace

using DroppedFiles = MainWindowTest;
using SaveImage = MainWindowTest;

TEST_F(DroppedFiles, AcceptedPictureReplacesBothPicturesResetsCounterAndStopsAutoMode) {
    const AppState& state = window_->app().state();
    SendMessageA(window_->pictureView(), WM_MOUSEMOVE, 0, MAKELPARAM(241, 160));
    command(0);
    window_->app().state().slapCount = 7;
    const Picture dropped = stripes(0x80C040);
    const std::string path = folder_ + "\\stripes.bmp";
    ASSERT_TRUE(writeFile(path, encodeBmp24(dropped)));

    HDROP drop = makeDrop({path});
    EXPECT_EQ(SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), 0);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == dropped.pixels);
    EXPECT_TRUE(pictureOf(*state.untouchedPicture).pixels == dropped.pixels);
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_FALSE(state.autoMode);
    EXPECT_EQ(text(window_->autoButton()), "自動");
    EXPECT_TRUE(IsWindowEnabled(window_->clearButton()));
    EXPECT_FALSE(KillTimer(main_, 1));
    EXPECT_EQ(state.handX, 240u);  // the hand stays
    EXPECT_TRUE(globalIsFreed(drop));

    // Clear now returns to the dropped picture, not the built-in one.
    SendMessageA(window_->pictureView(), WM_LBUTTONDOWN, MK_LBUTTON, clientOf(200, 160));
    command(1);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == dropped.pixels);
}

TEST_F(DroppedFiles, RejectedFilesChangeNothingAndLeaveAutoModeRunning) {
    const AppState& state = window_->app().state();
    const Picture original = pictureOf(*state.currentPicture);
    command(0);
    KillTimer(main_, 1);
    window_->app().state().slapCount = 5;

    struct Rejected {
        const char* name;
        std::vector<uint8_t> bytes;  // empty: the file is not created
    };
    std::vector<uint8_t> notBmp(470000, 0x42);
    std::vector<uint8_t> wide = encodeBmp24(makePicture(481, 320, [](int32_t, int32_t) { return kSkin; }));
    std::vector<uint8_t> tall = encodeBmp24(makePicture(480, 321, [](int32_t, int32_t) { return kSkin; }));
    std::vector<uint8_t> shortFile = encodeBmp24(stripes(kSkin));
    shortFile.resize(460853);
    const Rejected files[] = {
        {"missing.bmp", {}},
        {"not-a-bmp.bmp", notBmp},
        {"wide.bmp", wide},
        {"tall.bmp", tall},
        {"one-byte-short.bmp", shortFile},
    };
    for (const Rejected& f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = folder_ + "\\" + f.name;
        if (!f.bytes.empty()) {
            ASSERT_TRUE(writeFile(path, f.bytes));
        }
        HDROP drop = makeDrop({path});
        SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        EXPECT_TRUE(globalIsFreed(drop));
        EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == original.pixels);
        EXPECT_TRUE(pictureOf(*state.untouchedPicture).pixels == original.pixels);
        EXPECT_EQ(state.slapCount, 5);
        EXPECT_TRUE(state.autoMode);
        EXPECT_EQ(text(window_->autoButton()), "停止");
    }
}

TEST_F(DroppedFiles, OnlyTheFirstOfSeveralFilesCounts) {
    const AppState& state = window_->app().state();
    const Picture original = pictureOf(*state.currentPicture);
    const std::string good = folder_ + "\\good.bmp";
    const std::string other = folder_ + "\\other.bmp";
    const std::string bad = folder_ + "\\bad.bmp";
    ASSERT_TRUE(writeFile(good, encodeBmp24(stripes(0x80C040))));
    ASSERT_TRUE(writeFile(other, encodeBmp24(stripes(0x4080C0))));
    ASSERT_TRUE(writeFile(bad, std::vector<uint8_t>(100, 1)));

    SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({bad, good})), 0);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == original.pixels);

    SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({other, good, bad})), 0);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == stripes(0x4080C0).pixels);
}

TEST_F(DroppedFiles, JapanesePathsAndTooLongPathsAreHandled) {
    const AppState& state = window_->app().state();
    const std::string japanese = folder_ + "\\ほっぺ画像.bmp";
    ASSERT_TRUE(writeFile(japanese, encodeBmp24(stripes(0x80C040))));
    SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({japanese})), 0);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == stripes(0x80C040).pixels);

    // Cut to 255 characters, the name is no longer found: rejected, no crash.
    const std::string longPath = folder_ + "\\" + std::string(300, 'a') + ".bmp";
    SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({longPath})), 0);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == stripes(0x80C040).pixels);
}

TEST_F(SaveImage, DialogRecordHasTheDescribedSettingsAndCancelWritesNothing) {
    command(57604);
    ASSERT_EQ(log_.saveRecords.size(), 1u);
    const OPENFILENAMEA& record = log_.saveRecords[0];
    EXPECT_EQ(record.lStructSize, 76u);
    EXPECT_EQ(record.hwndOwner, main_);
    // One entry, then the empty string that ends the list.
    EXPECT_EQ(std::string(record.lpstrFilter, 33),
              std::string("ビットマップ(*.bmp)\0*.bmp\0\0", 33));
    EXPECT_EQ(record.lpstrCustomFilter, nullptr);
    EXPECT_EQ(record.nFilterIndex, 1u);
    EXPECT_EQ(record.lpstrFile, window_->savePath());
    EXPECT_EQ(record.nMaxFile, 260u);
    EXPECT_EQ(record.lpstrFileTitle, nullptr);
    EXPECT_EQ(record.lpstrInitialDir, nullptr);
    EXPECT_STREQ(record.lpstrTitle, "保存するファイル名を指定してください");
    EXPECT_EQ(record.Flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));
    EXPECT_STREQ(record.lpstrDefExt, "bmp");
    EXPECT_EQ(record.lpfnHook, nullptr);
    EXPECT_EQ(record.lpTemplateName, nullptr);
    EXPECT_EQ(log_.saveNamesOffered[0], "");
    // Cancelled: nothing shown, nothing written.
    EXPECT_TRUE(log_.messages.empty());
}

TEST_F(SaveImage, WritesTheSlappedPictureAsA24BitBmpAndOffersTheNameAgain) {
    loadTestPicture();
    HWND view = window_->pictureView();
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, clientOf(300, 160));
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(241, 160));  // the hand is not saved
    const AppState& state = window_->app().state();
    const Picture slapped = pictureOf(*state.currentPicture);

    const std::string path = folder_ + "\\保存.bmp";
    log_.nextSavePath = path;
    command(57604);
    EXPECT_TRUE(log_.messages.empty());
    EXPECT_EQ(fileSize(path), 460854);
    Picture saved;
    const std::vector<uint8_t> bytes = readWholeFile(path);
    ASSERT_TRUE(decodeBmp24(bytes.data(), bytes.size(), &saved));
    EXPECT_EQ(saved.width, 480);
    EXPECT_EQ(saved.height, 320);
    EXPECT_TRUE(saved.pixels == slapped.pixels);

    // The dialog opens with the last name; saving again over it works.
    log_.nextSavePath.clear();
    command(57604);
    ASSERT_EQ(log_.saveNamesOffered.size(), 2u);
    EXPECT_EQ(log_.saveNamesOffered[1], path);
    log_.nextSavePath = path;
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, clientOf(300, 160));
    command(57604);
    EXPECT_TRUE(log_.messages.empty());
    const std::vector<uint8_t> again = readWholeFile(path);
    ASSERT_TRUE(decodeBmp24(again.data(), again.size(), &saved));
    EXPECT_TRUE(saved.pixels == pictureOf(*state.currentPicture).pixels);
    EXPECT_FALSE(saved.pixels == slapped.pixels);
}

TEST_F(SaveImage, WriteFailureShowsTheErrorBoxOwnedByTheMainWindow) {
    const std::string path = folder_ + "\\no-such-folder\\picture.bmp";
    log_.nextSavePath = path;
    command(57604);
    ASSERT_EQ(log_.messages.size(), 1u);
    const DialogLog::Message& box = log_.messages[0];
    EXPECT_EQ(box.owner, main_);
    EXPECT_EQ(box.text, "ファイル作成に失敗しました。空き容量を確認してください");
    EXPECT_EQ(box.caption, "書き込みエラー");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(fileSize(path), -1);
}
