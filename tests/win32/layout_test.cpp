// The main window as it is created: classes, styles, positions, sizes, ids,
// texts, menu, cursors, icon, the resources it loaded, and the process code page.
#include <cstring>

#include "hoppel_version.h"
#include "win32_test_support.h"

namespace {

struct ClientRect {
    int x, y, width, height;
};

ClientRect rectInParent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string menuText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

struct ResourceData {
    const uint8_t* bytes;
    DWORD size;
};

ResourceData resource(const char* name, const char* type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name, type);
    if (info == nullptr) {
        return {nullptr, 0};
    }
    return {static_cast<const uint8_t*>(LockResource(LoadResource(module, info))),
            SizeofResource(module, info)};
}

}  // namespace

using MainWindowLayout = MainWindowTest;

TEST_F(MainWindowLayout, MainWindowHasTitleSizeStyleAndClass) {
    EXPECT_EQ(text(main_), "Hoppelmaru");
    EXPECT_EQ(className(main_), "CWindow");
    RECT outer;
    GetWindowRect(main_, &outer);
    EXPECT_EQ(outer.right - outer.left, 540);
    EXPECT_EQ(outer.bottom - outer.top, 468);
    const LONG style = GetWindowLongA(main_, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_NE(style & WS_CLIPCHILDREN, 0);
    EXPECT_EQ(style & WS_CHILD, 0);
    EXPECT_EQ(GetParent(main_), nullptr);
    // Not shown until the program's start-up shows it.
    EXPECT_FALSE(IsWindowVisible(main_));
}

TEST_F(MainWindowLayout, WindowClassesHaveStylesBrushesCursorsAndIcon) {
    HWND view = window_->pictureView();
    const HGDIOBJ lightGrey = GetStockObject(LTGRAY_BRUSH);
    for (HWND window : {main_, view}) {
        SCOPED_TRACE(className(window));
        EXPECT_EQ(GetClassLongA(window, GCL_STYLE), static_cast<DWORD>(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)), lightGrey);
        EXPECT_EQ(GetClassLongA(window, GCL_CBCLSEXTRA), 0u);
        EXPECT_EQ(GetClassLongA(window, GCL_CBWNDEXTRA), 0u);
    }
    const auto cursor = [](HWND w) { return reinterpret_cast<HCURSOR>(GetClassLongPtrA(w, GCLP_HCURSOR)); };
    EXPECT_EQ(cursor(main_), LoadCursorA(nullptr, IDC_ARROW));
    HCURSOR invisible = LoadCursorA(instance_, "NULL_CURSOR");
    ASSERT_NE(invisible, nullptr);
    EXPECT_EQ(cursor(view), invisible);

    const auto icon = [](HWND w) { return reinterpret_cast<HICON>(GetClassLongPtrA(w, GCLP_HICON)); };
    HICON appIcon = LoadIconA(instance_, "APP_ICON");
    ASSERT_NE(appIcon, nullptr);
    EXPECT_EQ(icon(main_), appIcon);
    EXPECT_EQ(icon(view), nullptr);
}

TEST_F(MainWindowLayout, ChildrenHavePositionsSizesIdsClassesAndTexts) {
    struct Expected {
        HWND window;
        const char* className;
        int id;
        ClientRect rect;
        const char* text;
    };
    const Expected children[] = {
        {window_->autoButton(), "Button", 0, {8, 8, 80, 32}, "自動"},
        {window_->clearButton(), "Button", 1, {96, 8, 80, 32}, "クリア"},
        {window_->pictureView(), "CButtocks", 3, {8, 48, 482, 360}, ""},
    };
    for (const Expected& e : children) {
        SCOPED_TRACE(e.text);
        ASSERT_NE(e.window, nullptr);
        EXPECT_EQ(GetParent(e.window), main_);
        EXPECT_EQ(className(e.window), e.className);
        EXPECT_EQ(GetDlgCtrlID(e.window), e.id);
        EXPECT_EQ(GetDlgItem(main_, e.id), e.window);
        const ClientRect r = rectInParent(e.window);
        EXPECT_EQ(r.x, e.rect.x);
        EXPECT_EQ(r.y, e.rect.y);
        EXPECT_EQ(r.width, e.rect.width);
        EXPECT_EQ(r.height, e.rect.height);
        EXPECT_EQ(text(e.window), e.text);
        const LONG style = GetWindowLongA(e.window, GWL_STYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_TRUE(IsWindowEnabled(e.window));
    }
    // Plain push buttons; the view has no border, so its client area is all of it.
    EXPECT_EQ(GetWindowLongA(window_->autoButton(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(window_->clearButton(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    RECT client;
    GetClientRect(window_->pictureView(), &client);
    EXPECT_EQ(client.right, 482);
    EXPECT_EQ(client.bottom, 360);
}

TEST_F(MainWindowLayout, MenuHasItemsTextsAndCommandIds) {
    HMENU bar = GetMenu(main_);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(menuText(bar, 0), "ファイル（&F）");
    EXPECT_EQ(menuText(bar, 1), "ヘルプ（&H）");

    struct Item {
        int menu;
        int position;
        const char* text;  // null: a separator
        UINT id;
    };
    const Item items[] = {
        {0, 0, "画像を保存（&S）", 57604},
        {0, 1, nullptr, 0},
        {0, 2, "終了（&X）", 57665},
        {1, 0, "バージョン情報（&A）", 57664},
        {1, 1, "作者サイト「Quillmarsh」へ(&G)", 40004},
    };
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 3);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 1)), 2);
    for (const Item& item : items) {
        SCOPED_TRACE(item.text != nullptr ? item.text : "separator");
        HMENU menu = GetSubMenu(bar, item.menu);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoA(menu, item.position, TRUE, &info));
        if (item.text == nullptr) {
            EXPECT_NE(info.fType & MFT_SEPARATOR, 0u);
            continue;
        }
        EXPECT_EQ(info.fType & MFT_SEPARATOR, 0u);
        EXPECT_EQ(info.wID, item.id);
        EXPECT_EQ(menuText(menu, item.position), item.text);
    }
}

TEST_F(MainWindowLayout, ResizingOrMaximizingMovesNothingInside) {
    HWND children[] = {window_->autoButton(), window_->clearButton(), window_->pictureView()};
    ClientRect before[3];
    for (int i = 0; i < 3; ++i) {
        before[i] = rectInParent(children[i]);
    }
    const auto unchanged = [&](const char* when) {
        SCOPED_TRACE(when);
        for (int i = 0; i < 3; ++i) {
            const ClientRect now = rectInParent(children[i]);
            EXPECT_EQ(now.x, before[i].x);
            EXPECT_EQ(now.y, before[i].y);
            EXPECT_EQ(now.width, before[i].width);
            EXPECT_EQ(now.height, before[i].height);
        }
    };
    SetWindowPos(main_, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    unchanged("resized larger");
    SetWindowPos(main_, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    unchanged("resized smaller");
    ShowWindow(main_, SW_MAXIMIZE);
    unchanged("maximized");
}

TEST_F(MainWindowLayout, BuiltInPictureHandAndSoundsAreLoaded) {
    const AppState& state = window_->app().state();
    const ResourceData picture = resource("RADAV_BMP", "DIB_PIXEL");
    const ResourceData hand = resource("HAND_BMP", "DIB_PIXEL");
    ASSERT_NE(picture.bytes, nullptr);
    ASSERT_NE(hand.bytes, nullptr);
    EXPECT_EQ(picture.size, 460854u);
    EXPECT_EQ(hand.size, 58854u);

    Picture expected;
    ASSERT_TRUE(decodeBmp24(picture.bytes, picture.size, &expected));
    ASSERT_EQ(state.currentPicture->width(), 480);
    ASSERT_EQ(state.currentPicture->height(), 320);
    EXPECT_TRUE(pictureOf(*state.currentPicture).pixels == expected.pixels);
    EXPECT_TRUE(pictureOf(*state.untouchedPicture).pixels == expected.pixels);
    ASSERT_TRUE(decodeBmp24(hand.bytes, hand.size, &expected));
    ASSERT_EQ(state.handImage->width(), 196);
    ASSERT_EQ(state.handImage->height(), 100);
    EXPECT_TRUE(pictureOf(*state.handImage).pixels == expected.pixels);
    EXPECT_EQ(state.displayImage->width(), 480);
    EXPECT_EQ(state.displayImage->height(), 320);

    const char* names[3] = {"SOUND1", "SOUND2", "SOUND3"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        const ResourceData wav = resource(names[i], "WAV_DAT");
        ASSERT_NE(wav.bytes, nullptr);
        EXPECT_EQ(state.slapSounds[i].bytes, wav.bytes);
        EXPECT_EQ(state.slapSounds[i].size, static_cast<int32_t>(wav.size));
        EXPECT_EQ(std::memcmp(wav.bytes, "RIFF", 4), 0);
        EXPECT_EQ(std::memcmp(wav.bytes + 8, "WAVE", 4), 0);
    }
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_EQ(state.handX, 0u);
    EXPECT_FALSE(state.autoMode);
}

TEST_F(MainWindowLayout, CounterSurfaceAndFontAreCreated) {
    const CounterSurface& counter = window_->counter();
    EXPECT_EQ(GetObjectType(counter.context), static_cast<DWORD>(OBJ_MEMDC));
    BITMAP bitmap = {};
    ASSERT_EQ(GetObjectA(counter.bitmap, sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
    EXPECT_EQ(bitmap.bmWidth, 96);
    EXPECT_EQ(bitmap.bmHeight, 36);
    EXPECT_EQ(GetCurrentObject(counter.context, OBJ_BITMAP), counter.bitmap);
    LOGFONTA font = {};
    ASSERT_EQ(GetObjectA(counter.font, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, 24);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, 600);
    EXPECT_FALSE(font.lfItalic);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_FALSE(font.lfStrikeOut);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(font.lfPitchAndFamily & 3, FIXED_PITCH);
    EXPECT_EQ(font.lfFaceName[0], '\0');
}

TEST(Win32Process, NarrowCallsTakeUtf8AndVersionIsBuiltIn) {
    // The manifest's code page: every narrow API call and fopen take UTF-8.
    EXPECT_EQ(GetACP(), 65001u);

    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS,
              static_cast<DWORD>((HOPPEL_VERSION_MAJOR << 16) | HOPPEL_VERSION_MINOR));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    char* name = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\041104b0\\ProductName",
                               reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, "Hoppelmaru");
}
