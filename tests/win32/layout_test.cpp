// The main window as created (classes, styles, places, ids, texts, menu, the
// resources it loaded), its destruction, and the whole program from start to exit.
#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "app/win32/program.h"
#include "hoppel_version.h"
#include "tests/support/win32_resources.h"
#include "win32_test_support.h"

namespace {

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

}  // namespace

using MainWindowLayout = MainWindowTest;

TEST_F(MainWindowLayout, WindowsHaveClassesStylesCursorsPlacesIdsAndTextsThatResizingKeeps) {
    EXPECT_EQ(text(main_), "Hoppelmaru");
    EXPECT_EQ(className(main_), "CWindow");
    EXPECT_EQ(std::make_pair(placedAt(main_).width(), placedAt(main_).height()),
              std::make_pair(540, 468));
    EXPECT_EQ(GetWindowLongA(main_, GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CHILD),
              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    EXPECT_FALSE(IsWindowVisible(main_));  // the program's start-up shows it

    HWND view = window_->pictureView();
    for (HWND window : {main_, view}) {
        EXPECT_EQ(GetClassLongA(window, GCL_STYLE), static_cast<DWORD>(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND),
                  LONG_PTR(GetStockObject(LTGRAY_BRUSH)));
    }
    HCURSOR invisible = LoadCursorA(instance_, "NULL_CURSOR");
    HICON icon = LoadIconA(instance_, "APP_ICON");
    ASSERT_TRUE(invisible != nullptr && icon != nullptr);
    EXPECT_EQ(GetClassLongPtrA(main_, GCLP_HCURSOR), LONG_PTR(LoadCursorA(nullptr, IDC_ARROW)));
    EXPECT_EQ(GetClassLongPtrA(view, GCLP_HCURSOR), LONG_PTR(invisible));
    EXPECT_EQ(GetClassLongPtrA(main_, GCLP_HICON), LONG_PTR(icon));
    EXPECT_EQ(GetClassLongPtrA(view, GCLP_HICON), 0);

    const struct {
        HWND window;
        const char* className;
        int id;
        LayoutRect place;
        const char* text;
    } children[] = {
        {window_->autoButton(), "Button", 0, {8, 8, 88, 40}, "自動"},
        {window_->clearButton(), "Button", 1, {96, 8, 176, 40}, "クリア"},
        {window_->pictureView(), "CButtocks", 3, {8, 48, 490, 408}, ""},
    };
    for (const auto& c : children) {
        SCOPED_TRACE(c.className);
        EXPECT_EQ(className(c.window), c.className);
        EXPECT_EQ(GetDlgItem(main_, c.id), c.window);
        EXPECT_EQ(text(c.window), c.text);
        EXPECT_EQ(GetWindowLongA(c.window, GWL_STYLE) &
                      (WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_TYPEMASK),
                  WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
    }
    RECT client;  // no border: the view's client area is all of it
    GetClientRect(window_->pictureView(), &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(482L, 360L));
    const SIZE sizes[] = {{540, 468}, {800, 600}, {200, 150}, {0, 0}};  // 0: maximized
    for (const SIZE& size : sizes) {
        if (size.cx == 0) {
            ShowWindow(main_, SW_MAXIMIZE);
        } else {
            SetWindowPos(main_, nullptr, 0, 0, size.cx, size.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        for (const auto& c : children) {
            EXPECT_EQ(placedAt(c.window), c.place) << c.className << " at width " << size.cx;
        }
    }
}

TEST_F(MainWindowLayout, MenuHasItemsTextsAndCommandIds) {
    HMENU bar = GetMenu(main_), file = GetSubMenu(bar, 0), help = GetSubMenu(bar, 1);
    EXPECT_EQ(
        (std::vector<int>{GetMenuItemCount(bar), GetMenuItemCount(file), GetMenuItemCount(help)}),
        (std::vector<int>{2, 3, 2}));
    const struct {
        HMENU menu;
        int position;
        const char* text;  // empty: a separator
        UINT id;
    } items[] = {
        {bar, 0, "ファイル（&F）", UINT(-1)},  // popups
        {bar, 1, "ヘルプ（&H）", UINT(-1)},
        {file, 0, "画像を保存（&S）", 57604},
        {file, 1, "", 0},
        {file, 2, "終了（&X）", 57665},
        {help, 0, "バージョン情報（&A）", 57664},
        {help, 1, "作者サイト「Quillmarsh」へ(&G)", 40004},
    };
    for (const auto& item : items) {
        char text[128] = {};
        GetMenuStringA(item.menu, item.position, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(text, std::string(item.text));
        EXPECT_EQ(GetMenuItemID(item.menu, item.position), item.id) << item.text;
        EXPECT_EQ((GetMenuState(item.menu, item.position, MF_BYPOSITION) & MF_SEPARATOR) != 0,
                  !*item.text);
    }
}

TEST_F(MainWindowLayout, BuiltInPictureHandSoundsAndCounterSurfaceAreLoaded) {
    const std::pair<const char*, const Dib32Image*> images[] = {
        {"RADAV_BMP", state().currentPicture.get()},
        {"RADAV_BMP", state().untouchedPicture.get()},
        {"HAND_BMP", state().handImage.get()}};
    for (const auto& image : images) {  // the same pixel rows as the resource file
        int32_t size = 0;
        const uint8_t* bytes = resourceBytes(image.first, "DIB_PIXEL", &size);
        ASSERT_TRUE(bytes != nullptr && image.second != nullptr) << image.first;
        const std::vector<uint8_t> encoded = encodeBmp24(pictureOf(*image.second));
        EXPECT_TRUE(size_t(size) == encoded.size() &&
                    std::equal(encoded.begin() + 54, encoded.end(), bytes + 54))
            << image.first;
    }
    for (int i = 0; i < 3; ++i) {
        int32_t size = 0;
        const uint8_t* wav =
            resourceBytes(("SOUND" + std::to_string(i + 1)).c_str(), "WAV_DAT", &size);
        EXPECT_TRUE(wav != nullptr && state().slapSounds[i].bytes == wav) << i;
        EXPECT_EQ(state().slapSounds[i].size, size);
    }
    EXPECT_TRUE(state().slapCount == 0 && state().handX == 0 && !state().autoMode);

    const CounterSurface& counter = window_->counter();
    EXPECT_EQ(GetObjectType(counter.context.get()), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(counter.context.get(), OBJ_BITMAP), counter.bitmap.get());
    BITMAP bitmap = {};
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(counter.bitmap.get(), sizeof bitmap, &bitmap) &&
                GetObjectA(counter.font.get(), sizeof font, &font));
    EXPECT_EQ(std::make_pair(bitmap.bmWidth, bitmap.bmHeight), std::make_pair(96L, 36L));
    EXPECT_EQ(std::make_tuple(font.lfHeight, font.lfWidth, font.lfWeight, font.lfCharSet,
                              font.lfPitchAndFamily & 3),
              std::make_tuple(24L, 0L, 600L, BYTE(SHIFTJIS_CHARSET), FIXED_PITCH));
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
}

// The buttons' font is realised with a Japanese character set and has a glyph
// for every character of their texts, whatever the prefix's font replacements.
TEST_F(MainWindowLayout, ButtonFontHasTheGlyphsOfTheButtonTexts) {
    const MemoryDc dc(nullptr);
    for (HWND button : {window_->autoButton(), window_->clearButton()}) {
        for (const char* text : {"自動", "停止", "クリア"}) {
            SCOPED_TRACE(text);
            auto font = reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0));
            ASSERT_NE(font, nullptr);
            HGDIOBJ old = SelectObject(dc.get(), font);
            EXPECT_EQ(GetTextCharset(dc.get()), SHIFTJIS_CHARSET);
            wchar_t wide[8] = {};
            const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 8) - 1;
            WORD glyphs[8] = {};
            ASSERT_EQ(GetGlyphIndicesW(dc.get(), wide, n, glyphs, GGI_MARK_NONEXISTING_GLYPHS),
                      DWORD(n));
            EXPECT_EQ(std::count(glyphs, glyphs + n, 0xFFFF), 0);
            SelectObject(dc.get(), old);
        }
    }
}

TEST_F(MainWindowLayout, ExitCloseBoxAndCloseEachDestroyOnceWithExitCodeZero) {
    const std::pair<UINT, WPARAM> ways[] = {
        {WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0)}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_CLOSE, 0}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.first);
        recreate();
        const HWND children[] = {window_->pictureView(), window_->autoButton()};
        const CounterSurface& surface = window_->counter();
        const HGDIOBJ counter[] = {surface.context.get(), surface.bitmap.get(), surface.font.get()};
        const HGDIOBJ buttonFont =
            reinterpret_cast<HGDIOBJ>(SendMessageA(children[1], WM_GETFONT, 0, 0));
        command(IDC_AUTO);  // auto mode runs: its timer is stopped too

        SendMessageA(main_, way.first, way.second, 0);
        EXPECT_FALSE(IsWindow(main_) || IsWindow(children[0]) || IsWindow(children[1]));
        EXPECT_EQ(window_->handle(), nullptr);
        EXPECT_TRUE(!state().displayImage && !state().currentPicture && !state().untouchedPicture &&
                    !state().handImage);
        EXPECT_EQ(GetObjectType(counter[0]) + GetObjectType(counter[1]) +
                      GetObjectType(counter[2]) + GetObjectType(buttonFont),
                  0u);
        window_.reset();  // adds no second quit message
        int code = -1;
        EXPECT_EQ(drainQuitMessages(&code), 1);
        EXPECT_EQ(code, 0);
    }
}

namespace {

// Ends the program's message loop from inside, as a user would; gives up
// with exit code 99 instead of hanging.
void CALLBACK pressExit(HWND, UINT, UINT_PTR timer, DWORD) {
    static int attempts = 0;
    HWND window = FindWindowA("CWindow", "Hoppelmaru");
    if (window != nullptr && IsWindowVisible(window)) {
        KillTimer(nullptr, timer);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    } else if (++attempts > 100) {
        KillTimer(nullptr, timer);
        PostQuitMessage(99);
    }
}

}  // namespace

TEST(Win32Program, RunsShowsTheWindowAndEndsWithExitCodeZero) {
    drainQuitMessages();
    SetTimer(nullptr, 0, 50, pressExit);
    EXPECT_EQ(runProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL), 0);
    EXPECT_EQ(FindWindowA("CWindow", "Hoppelmaru"), nullptr);
    EXPECT_EQ(drainQuitMessages(), 0);
}

TEST(Win32Program, CarriesItsNameAndVersionInTheVersionResource) {
    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &unused);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueA(info.data(), "\\StringFileInfo\\041104b0\\ProductName", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Hoppelmaru");
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), HOPPEL_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), HOPPEL_VERSION_MINOR);
}
