// The program where Windows ignores the manifest's UTF-8 code page (before
// Windows 10 1903): this test program's manifest has none, and it runs under a
// Japanese (932) and a Western (1252) system code page. Every text is read
// back as the UTF-16 the system shows, through the real dialogs.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "win32_test_support.h"

#include <dlgs.h>

#include "hoppel_version.h"

namespace {

BOOL CALLBACK findDialog(HWND window, LPARAM out) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (wcscmp(name, L"#32770") != 0 || !IsWindowVisible(window)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(out) = window;
    return FALSE;
}

// A visible dialog of the thread; null when none showed in time.
HWND waitForDialog(DWORD thread) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(20)) {
        HWND found = nullptr;
        EnumThreadWindows(thread, findDialog, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr) {
            return found;
        }
    }
    return nullptr;
}

// The dialog's pixels as the screen shows them, into a BMP file.
void screenshot(HWND dialog, const std::string& path) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(dialog, &r);
    ViewSurface surface(r.right - r.left, r.bottom - r.top);
    BitBlt(surface.dc(), 0, 0, r.right - r.left, r.bottom - r.top, WindowDc(nullptr).get(), r.left,
           r.top, SRCCOPY);
    const Picture shot = makePicture(r.right - r.left, r.bottom - r.top, [&](int32_t x, int32_t y) {
        return surface.at(x, r.bottom - r.top - 1 - y);
    });
    writeFile(path, encodeBmp24(shot));
}

}  // namespace

class CodePageWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        const char* lang = std::getenv("LANG");
        japanese_ = lang != nullptr && std::strncmp(lang, "ja", 2) == 0;
        ShowWindow(main_, SW_SHOWNORMAL);
    }
    // Runs command id, which opens a modal dialog, while another thread
    // reads the dialog with look and then closes it.
    void withDialog(WORD id, const std::function<void(HWND)>& look) {
        const DWORD thread = GetCurrentThreadId();
        std::thread watcher([&] {
            HWND dialog = waitForDialog(thread);
            if (dialog == nullptr) {
                ADD_FAILURE() << "no dialog showed";
                return;
            }
            look(dialog);
        });
        command(id);
        watcher.join();
    }
    bool japanese_ = false;
};

TEST_F(CodePageWindow, TheSystemCodePageIsNotUtf8) {
    EXPECT_EQ(GetACP(), japanese_ ? 932u : 1252u);
}

TEST_F(CodePageWindow, ButtonsAndMenuShowTheirTexts) {
    wchar_t item[64] = {};
    GetMenuStringW(GetMenu(main_), IDM_SAVE_IMAGE, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(item), L"画像を保存（&S）");
    EXPECT_EQ(text(main_), "Hoppelmaru");
    EXPECT_EQ(text(window_->clearButton()), "クリア");
    for (const char* shown : {"自動", "停止", "自動"}) {
        EXPECT_EQ(text(window_->autoButton()), shown);
        command(IDC_AUTO);
    }
}

TEST_F(CodePageWindow, TheAboutBoxShowsItsTexts) {
    window_->hooks().showMessage = systemDialogs().showMessage;
    std::string caption;
    bool textShown = false;
    withDialog(IDM_ABOUT, [&](HWND box) {
        caption = text(box);
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            textShown = textShown || text(child) == "Hoppelmaru バージョン " HOPPEL_VERSION_TEXT;
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(caption, "バージョン情報");
    EXPECT_TRUE(textShown);
}

// 120 Japanese characters below the test's folder: a path no Western code
// page can name, and one whose Japanese code page bytes are not its UTF-8.
TEST_F(CodePageWindow, AJapanesePathDropsAndSavesThroughTheRealSaveDialog) {
    const std::string folder = folder_ + "\\" + repeated("お尻画", 20);
    ASSERT_TRUE(CreateDirectoryW(widened(folder.c_str()).c_str(), nullptr));
    const std::string picture = folder + "\\ほっぺ画像.bmp";
    const std::string saved = folder + "\\" + repeated("保存した", 14) + ".bmp";
    ASSERT_EQ(widened(saved.c_str()).size() - folder_.size(), 1u + 60 + 1 + 56 + 4);
    const Picture dropped = stripes(0x80C040);
    ASSERT_TRUE(writeFile(picture, encodeBmp24(dropped)));
    drop({picture}, true);
    EXPECT_TRUE(current() == dropped.pixels);
    slapAt(300, 160);

    window_->hooks().askSavePath = systemDialogs().askSavePath;
    // The dialog moves the current folder while it is open: the shot goes by a whole path.
    const std::string shot = folder_.substr(0, folder_.rfind('\\')) +
                             (japanese_ ? "\\save-dialog-cp932.bmp" : "\\save-dialog-cp1252.bmp");
    wchar_t before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    std::string title;
    std::wstring filter;
    withDialog(IDM_SAVE_IMAGE, [&](HWND dialog) {
        title = text(dialog);
        wchar_t first[64] = {};
        SendMessageW(GetDlgItem(dialog, cmb1), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        filter = first;
        screenshot(dialog, shot);
        // The name box: a combo box in the explorer-style dialog, an edit in the older one.
        const std::wstring wide = widened(saved.c_str());
        if (!SetDlgItemTextW(dialog, cmb13, wide.c_str())) {
            SetDlgItemTextW(dialog, edt1, wide.c_str());
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    });
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(after), before);  // a folder saved into is not kept busy
    EXPECT_FALSE(readWholeFile(shot).empty());
    EXPECT_EQ(title, "保存するファイル名を指定してください");
    EXPECT_EQ(filter, L"ビットマップ(*.bmp)");
    EXPECT_TRUE(savedAsShown(saved));
}
