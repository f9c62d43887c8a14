// The windows at display scales: the layout each DPI gives, the picture as
// drawn and as the pointer reaches it, and a change of DPI while running.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <tuple>

#include "app/display_scale.h"
#include "app/win32/display_dpi.h"
#include "stream/little_endian.h"
#include "tests/support/win32_resources.h"
#include "win32_test_support.h"

namespace {

LONG fontHeight(HGDIOBJ font) {
    LOGFONTA look = {};
    GetObjectA(font, sizeof look, &look);
    return look.lfHeight;
}

// An icon's colours as 0x00RRGGBB, rows bottom-up, and its size in *size.
std::vector<uint32_t> iconColours(HICON icon, int* size) {
    ICONINFO info = {};
    *size = 0;
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return {};
    }
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    std::vector<uint32_t> colours(size_t(bitmap.bmWidth) * bitmap.bmWidth);
    BITMAPINFO format = {};
    format.bmiHeader = {
        sizeof(BITMAPINFOHEADER), bitmap.bmWidth, bitmap.bmWidth, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const GdiObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
    if (GetDIBits(WindowDc(nullptr).get(), color.get(), 0, bitmap.bmWidth, colours.data(), &format,
                  DIB_RGB_COLORS) == bitmap.bmWidth) {
        *size = bitmap.bmWidth;
    }
    for (uint32_t& c : colours) {
        c &= 0xFFFFFF;
    }
    return colours;
}

// An icon's size, and whether its colours are exactly the icon resource's
// own 32-bit image of that size, which a stretch of another size never is.
std::pair<int, bool> iconShown(HICON icon) {
    int size = 0;
    const std::vector<uint32_t> shown = iconColours(icon, &size);
    int32_t bytes = 0;
    const uint8_t* group = resourceBytes("APP_ICON", RT_GROUP_ICON, &bytes);
    const int id = group == nullptr ? 0
                                    : LookupIconIdFromDirectoryEx(const_cast<uint8_t*>(group), TRUE,
                                                                  size, size, LR_DEFAULTCOLOR);
    const uint8_t* image = resourceBytes(MAKEINTRESOURCEA(id), RT_ICON, &bytes);
    bool same = size > 0 && image != nullptr && bytes >= 40 + 4 * size * size &&
                loadLe32(image + 4) == uint32_t(size) && loadLe16(image + 14) == 32;
    for (size_t i = 0; same && i < shown.size(); ++i) {
        same = shown[i] == (loadLe32(image + 40 + 4 * i) & 0xFFFFFF);
    }
    return {size, same};
}

// The window's icon of a kind (ICON_SMALL, ICON_BIG).
std::pair<int, bool> windowIcon(HWND window, WPARAM kind) {
    return iconShown(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, kind, 0)));
}

// What each reported DPI must give, all at 96 DPI's figures times DPI / 96.
struct Layout {
    UINT reported;
    LayoutRect autoButton, clearButton, view;
    SIZE counter;
    LONG counterFont;
    int32_t dpi;  // the DPI drawn at
    // The window's icons; whether the icon resource holds their sizes.
    int smallIcon, bigIcon;
    bool iconsAreOwn;
};
// clang-format off
const Layout kLayouts[] = {
    {96,   {8, 8, 88, 40},    {96, 8, 176, 40},   {8, 48, 490, 408},    {96, 36},   24,  96, 16, 32, true},
    {120,  {10, 10, 110, 50}, {120, 10, 220, 50}, {10, 60, 613, 510},   {120, 45},  30,  120, 20, 40, true},
    {144,  {12, 12, 132, 60}, {144, 12, 264, 60}, {12, 72, 735, 612},   {144, 54},  36,  144, 24, 48, true},
    {192,  {16, 16, 176, 80}, {192, 16, 352, 80}, {16, 96, 980, 816},   {192, 72},  48,  192, 32, 64, true},
    {110,  {9, 9, 101, 46},   {110, 9, 202, 46},  {9, 55, 561, 468},    {110, 41},  28,  110, 18, 37, false},
    {0,    {8, 8, 88, 40},    {96, 8, 176, 40},   {8, 48, 490, 408},    {96, 36},   24,  96, 16, 32, true},
    {1000, {40, 40, 440, 200}, {480, 40, 880, 200}, {40, 240, 2450, 2040}, {480, 180}, 120, 480, 80, 160, false},
};
// clang-format on

const Layout& layoutAt(UINT reported) {
    return *std::find_if(std::begin(kLayouts), std::end(kLayouts),
                         [&](const Layout& l) { return l.reported == reported; });
}

}  // namespace

class ScaledWindow : public MainWindowTest {
protected:
    // A new main window whose monitor reports dpi.
    void recreateAt(UINT dpi) {
        recreate([dpi](HWND) { return dpi; });
    }

    void expectLayout(const Layout& l) {
        SCOPED_TRACE(l.reported);
        EXPECT_EQ(window_->scale().dpi(), l.dpi);
        EXPECT_EQ(placedAt(window_->autoButton()), l.autoButton);
        EXPECT_EQ(placedAt(window_->clearButton()), l.clearButton);
        EXPECT_EQ(placedAt(window_->pictureView()), l.view);
        RECT viewClient;
        GetClientRect(window_->pictureView(), &viewClient);
        EXPECT_EQ(std::make_pair(viewClient.right, viewClient.bottom),
                  std::make_pair(LONG(l.view.width()), LONG(l.view.height())));
        BITMAP bitmap = {};
        GetObjectA(window_->counter().bitmap.get(), sizeof bitmap, &bitmap);
        EXPECT_EQ(std::make_pair(bitmap.bmWidth, bitmap.bmHeight),
                  std::make_pair(l.counter.cx, l.counter.cy));
        EXPECT_EQ(fontHeight(window_->counter().font.get()), l.counterFont);
        EXPECT_EQ(windowIcon(main_, ICON_SMALL), std::make_pair(l.smallIcon, l.iconsAreOwn));
        EXPECT_EQ(windowIcon(main_, ICON_BIG), std::make_pair(l.bigIcon, l.iconsAreOwn));
        const LONG buttonFont =
            DisplayScale(l.dpi).convertedFrom(fontHeight(GetStockObject(DEFAULT_GUI_FONT)), 96);
        for (HWND button : {window_->autoButton(), window_->clearButton()}) {
            EXPECT_EQ(fontHeight(reinterpret_cast<HGDIOBJ>(SendMessageA(button, WM_GETFONT, 0, 0))),
                      buttonFont);
        }
        // The client area holds the whole layout, whatever the caption and menu take.
        RECT client;
        GetClientRect(main_, &client);
        // The system keeps a window within the screen, which the tests' display
        // makes large enough for every DPI but the largest.
        const RECT outer = outerRectFor(RECT{0, 0, DisplayScale(l.dpi).scaled(kClientWidth),
                                             DisplayScale(l.dpi).scaled(kClientHeight)},
                                        GetWindowLongA(main_, GWL_STYLE), 0, true, UINT(l.dpi));
        const bool fits = outer.right - outer.left <= GetSystemMetrics(SM_CXSCREEN) &&
                          outer.bottom - outer.top <= GetSystemMetrics(SM_CYSCREEN);
        ASSERT_TRUE(fits || l.dpi > 192) << "the display is too small for " << l.dpi << " DPI";
        if (fits) {
            EXPECT_GE(client.right, DisplayScale(l.dpi).scaled(kClientWidth));
            EXPECT_GE(client.bottom, DisplayScale(l.dpi).scaled(kClientHeight));
        }
    }
};

TEST_F(ScaledWindow, EachReportedDpiLaysOutEveryWindowFontAndSurfaceAtItsScale) {
    for (const Layout& l : kLayouts) {
        recreateAt(l.reported);
        expectLayout(l);
        RECT outer;
        GetWindowRect(main_, &outer);
        if (l.dpi == 96) {  // in the project's prefix, as the program always had it
            EXPECT_EQ(std::make_pair(outer.right - outer.left, outer.bottom - outer.top),
                      std::make_pair(540L, 468L));
        }
    }
    // The class's own small icon, at the system DPI; and the large views'
    // 256 x 256 image, a PNG: the print's red in the middle, nothing in a corner.
    EXPECT_EQ(iconShown(reinterpret_cast<HICON>(GetClassLongPtrA(main_, GCLP_HICONSM))),
              std::make_pair(16, true));
    HICON large = static_cast<HICON>(LoadImageA(instance_, "APP_ICON", IMAGE_ICON, 256, 256, 0));
    int size = 0;
    const std::vector<uint32_t> colours = iconColours(large, &size);
    DestroyIcon(large);
    ASSERT_EQ(size, 256);
    EXPECT_EQ(colours[0], 0u);
    const uint32_t middle = colours[128 * 256 + 128];
    EXPECT_TRUE(red(middle) > 150 && (middle >> 8 & 0xFF) < 80 && (middle & 0xFF) < 80)
        << std::hex << middle;
}

// The picture fills exactly its scaled rectangle inside the white frame,
// each picture pixel on the span a pointer there maps back to: in a picture
// of flat 8 x 8 blocks, every view pixel whose neighbours all map into its
// block shows the block's colour unmixed (the stretch averages only across
// the blocks' edges). Nothing is left unpainted.
TEST_F(ScaledWindow, PictureFillsItsScaledRectangleWithEachPixelWhereThePointerFindsIt) {
    const auto block = [](int32_t x, int32_t y) {
        return static_cast<uint32_t>((y / 8) << 8 | (x / 8)) * 0x0301u + 0x400000u;
    };
    const Picture blocks = makePicture(480, 320, block);
    // 112: the view's scaled edges give it a pixel more than its scaled width.
    for (UINT dpi : {120u, 144u, 192u, 110u, 112u}) {
        SCOPED_TRACE(dpi);
        recreateAt(dpi);
        ASSERT_TRUE(writeFile(file("blocks.bmp"), encodeBmp24(blocks)));
        ASSERT_TRUE(window_->app().loadPictureFile(file("blocks.bmp").c_str()));
        const DisplayScale scale(dpi);
        const LayoutRect frame = scale.scaled(kFrameRect), picture = scale.scaled(kPictureRect);
        const LayoutRect view = scale.scaled(kViewRect);
        ViewSurface surface(view.width(), view.height());
        surface.fill(0xFF00FF);
        window_->view().draw(surface.dc());
        int wrong = 0, checked = 0, frameWrong = 0;
        for (int32_t cy = frame.top; cy < frame.bottom; ++cy) {
            for (int32_t cx = frame.left; cx < frame.right; ++cx) {
                if (cx < picture.left || cx >= picture.right || cy < picture.top ||
                    cy >= picture.bottom) {
                    frameWrong += surface.at(cx, cy) != kWhite;
                    continue;
                }
                // The picture pixel shown here, y from the top.
                const int32_t x = scale.unscaled(cx) - 1, y = scale.unscaled(cy) - 1;
                const auto blockOf = [&](int32_t at) { return (scale.unscaled(at) + 7) / 8 - 1; };
                if (blockOf(cx - 1) == x / 8 && blockOf(cx + 1) == x / 8 &&
                    blockOf(cy - 1) == y / 8 && blockOf(cy + 1) == y / 8) {
                    ++checked;
                    wrong += surface.at(cx, cy) != blocks.at(x, 319 - y);
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "of " << checked;
        EXPECT_GT(checked, picture.width() * picture.height() / 2);
        EXPECT_EQ(frameWrong, 0);
        EXPECT_EQ(surface.count(RECT{0, 0, view.width(), view.height()}, 0xFF00FF), 0);
        const LayoutRect counter = scale.scaled(kCounterRect);
        EXPECT_GT(
            surface.count(RECT{counter.left, counter.top, counter.right, counter.bottom}, 0x409080),
            20 * dpi / 96);
    }
}

// The pointer's point of picture pixel (x, y) is view client (x + 1, 319 - y)
// at 96 DPI; at a scale, every screen pixel of that point's span. A click
// there must slap exactly as slapAt(x, y) does, and the hand must go there.
// (Each slap plays its sound, so each pixel is clicked once per DPI, at one
// end of its span or the other; the hand checks both ends.)
TEST_F(ScaledWindow, AClickOnAPixelsPointSlapsThatPixelAndTheHandGoesThere) {
    const Picture skin = makePicture(480, 320, [](int32_t, int32_t) { return kPeach; });
    ASSERT_TRUE(writeFile(file("skin.bmp"), encodeBmp24(skin)));
    const POINT pixels[] = {{0, 0}, {479, 319}, {0, 319}, {479, 0}, {240, 160}};
    std::vector<std::vector<uint32_t>> slapped;
    ASSERT_TRUE(window_->app().loadPictureFile(file("skin.bmp").c_str()));
    for (const POINT& p : pixels) {
        window_->app().slapAt(p.x, p.y);
        slapped.push_back(current());
        command(IDC_CLEAR);
    }
    int turn = 0;
    for (UINT dpi : {96u, 120u, 144u, 192u, 110u}) {
        SCOPED_TRACE(dpi);
        recreateAt(dpi);
        ASSERT_TRUE(window_->app().loadPictureFile(file("skin.bmp").c_str()));
        const DisplayScale scale(dpi);
        for (size_t i = 0; i < std::size(pixels); ++i) {
            const POINT& p = pixels[i];
            SCOPED_TRACE(::testing::Message() << p.x << "," << p.y);
            const LayoutRect span =
                scale.scaled(LayoutRect{p.x + 1, 319 - p.y, p.x + 2, 320 - p.y});
            const POINT ends[] = {{span.left, span.top}, {span.right - 1, span.bottom - 1}};
            for (const POINT& at : ends) {
                move(at.x, at.y);
                EXPECT_EQ(state().handY, static_cast<uint32_t>(p.y));
            }
            const POINT& at = ends[turn++ % 2];
            click(at.x, at.y);
            EXPECT_TRUE(current() == slapped[i]) << "clicked at " << at.x << "," << at.y;
            command(IDC_CLEAR);
        }
        const LayoutRect centre = scale.scaled(LayoutRect{241, 159, 242, 160});
        for (const POINT& at :
             {POINT{centre.left, centre.top}, POINT{centre.right - 1, centre.bottom - 1}}) {
            move(at.x, at.y);
            EXPECT_EQ(std::make_pair(state().handX, state().handY), std::make_pair(240u, 160u));
        }
    }
}

TEST_F(ScaledWindow, DpiChangeLaysOutAnewMovesToTheRectangleAndKeepsPictureAndCount) {
    loadTestPicture();
    slapAt(300, 160);
    slapAt(200, 100);
    const std::vector<uint32_t> picture = current();
    const HGDIOBJ before[] = {window_->counter().font.get(), window_->counter().bitmap.get()};
    const HGDIOBJ buttonFont =
        reinterpret_cast<HGDIOBJ>(SendMessageA(window_->autoButton(), WM_GETFONT, 0, 0));
    const int objects = gdiObjects();

    RECT suggested = {100, 50, 910, 750};
    SendMessageA(main_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    expectLayout(layoutAt(144));
    RECT outer;
    GetWindowRect(main_, &outer);
    EXPECT_TRUE(EqualRect(&outer, &suggested));
    EXPECT_EQ(GetObjectType(before[0]) + GetObjectType(before[1]) + GetObjectType(buttonFont),
              0u);  // released once replaced
    EXPECT_EQ(state().slapCount, 2);
    EXPECT_TRUE(current() == picture);

    // What the system could report wrongly: no DPI, too high a DPI. The
    // rectangle is taken as given, also where it reaches past the monitor:
    // it keeps the window under the pointer that drags it across monitors.
    RECT across = {-300, 200, 510, 900};
    SendMessageA(main_, WM_DPICHANGED, MAKEWPARAM(0, 0), reinterpret_cast<LPARAM>(&across));
    expectLayout(layoutAt(0));
    GetWindowRect(main_, &outer);
    EXPECT_TRUE(EqualRect(&outer, &across));
    RECT anywhere = {0, 0, 3000, 2500};
    SendMessageA(main_, WM_DPICHANGED, MAKEWPARAM(1000, 1000), reinterpret_cast<LPARAM>(&anywhere));
    expectLayout(layoutAt(1000));
    SendMessageA(main_, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    expectLayout(layoutAt(96));
    EXPECT_EQ(gdiObjects(), objects);
    EXPECT_EQ(state().slapCount, 2);
    EXPECT_TRUE(current() == picture);
    // The size the system asks for ahead of a change is the layout's.
    SIZE size = {};
    EXPECT_TRUE(SendMessageA(main_, WM_GETDPISCALEDSIZE, 96, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(std::make_pair(size.cx, size.cy), std::make_pair(540L, 468L));
}

// What the manifest asks of the system: per-monitor DPI awareness (v2) and
// the buttons of the common controls 6, which alone know their ideal size.
TEST_F(ScaledWindow, TheProgramIsPerMonitorAwareWithTheCurrentButtons) {
    // Wine 8 tells per-monitor v2 from v1 by nothing the program uses.
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    SIZE ideal = {};
    EXPECT_TRUE(
        SendMessageA(window_->autoButton(), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
}

namespace {

// Pointer moves that come while the view is moved and sized for a new DPI,
// before it has its new scale.
WNDPROC viewProcedure = nullptr;
int movesDuringLayout = 0;
LRESULT CALLBACK viewMovedMidLayout(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGED && movesDuringLayout < 3) {
        ++movesDuringLayout;
        CallWindowProcA(viewProcedure, view, WM_MOUSEMOVE, 0,
                        MAKELPARAM(150 + 90 * movesDuringLayout, 170));
    }
    return CallWindowProcA(viewProcedure, view, message, wParam, lParam);
}

}  // namespace

// What the view shows after each input, painted only where it changed,
// against a whole repaint of the same state: the same at every scale.
TEST_F(ScaledWindow, PartialRepaintsShowWhatAWholeRepaintShows) {
    enum Kind { Move, Click, Clear, Drop };
    struct Input {
        Kind kind;
        int x, y;  // the view's client position at 96 DPI
    } const inputs[] = {
        {Move, 241, 160},  {Move, 244, 161},  {Move, 31, 19},     {Move, 451, 289},
        {Move, 452, 290},  {Click, 300, 150}, {Move, 40, 300},    {Click, 250, 100},
        {Click, 470, 8},   {Move, 478, 318},  {Move, 6000, 6000}, {Move, 300, 150},
        {Clear, 0, 0},     {Move, 305, 152},  {Drop, 0, 0},       {Move, 200, 100},
        {Click, 200, 100}, {Move, 60, 250},
    };
    const Picture dropped = makePicture(480, 320, [](int32_t x, int32_t y) {
        return x < 60 ? kBlue : 0x804020u + static_cast<uint32_t>((x * 7 + y * 13) % 97);
    });
    ASSERT_TRUE(writeFile(file("dropped.bmp"), encodeBmp24(dropped)));
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        recreateAt(dpi);
        const DisplayScale scale(dpi);
        HWND view = window_->pictureView();
        // The largest difference of a channel between the screen and a whole
        // repaint, and whether anything was left to paint. Only what shows
        // counts: the system keeps no pixels of a window beyond the screen or
        // of a child beyond its parent.
        const auto difference = [&] {
            RECT client, parent,
                screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            GetClientRect(view, &client);
            GetClientRect(main_, &parent);
            MapWindowPoints(main_, view, reinterpret_cast<POINT*>(&parent), 2);
            MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&screen), 2);
            IntersectRect(&client, &client, &parent);
            IntersectRect(&client, &client, &screen);
            EXPECT_TRUE(client.left == 0 && client.top == 0 && client.right > 300 &&
                        client.bottom > 200);
            const LayoutRect placed = window_->view().scale().scaled(kViewRect);
            ViewSurface shown(client.right, client.bottom), whole(placed.width(), placed.height());
            BitBlt(shown.dc(), 0, 0, client.right, client.bottom, WindowDc(view).get(), 0, 0,
                   SRCCOPY);
            window_->view().draw(whole.dc());
            int largest = GetUpdateRect(view, nullptr, FALSE) ? 1000 : 0;
            for (int32_t y = 0; y < client.bottom; ++y) {
                for (int32_t x = 0; x < client.right; ++x) {
                    const uint32_t a = shown.at(x, y), b = whole.at(x, y);
                    for (int shift : {0, 8, 16}) {
                        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
                        largest = std::max(largest, std::abs(d));
                    }
                }
            }
            return largest;
        };
        move(scale.scaled(241), scale.scaled(160));  // before the first paint
        SetWindowPos(main_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        ShowWindow(main_, SW_SHOWNOACTIVATE);
        RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_EQ(difference(), 0);
        for (const Input& input : inputs) {
            SCOPED_TRACE(::testing::Message() << input.kind << " " << input.x << "," << input.y);
            const int x = scale.scaled(input.x), y = scale.scaled(input.y);
            switch (input.kind) {
            case Move: move(x, y); break;
            case Click: click(x, y); break;
            case Clear: command(IDC_CLEAR); break;
            case Drop: drop({file("dropped.bmp")}); break;
            }
            EXPECT_EQ(difference(), 0);
        }
        EXPECT_EQ(state().slapCount, 1);
        // To the next scale while the pointer moves.
        const UINT next = dpi == 192 ? 96 : dpi * 3 / 2;
        viewProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(viewMovedMidLayout)));
        movesDuringLayout = 0;
        RECT suggested = {0, 0, 1100, 900};
        SendMessageA(main_, WM_DPICHANGED, MAKEWPARAM(next, next),
                     reinterpret_cast<LPARAM>(&suggested));
        SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(viewProcedure));
        EXPECT_GT(movesDuringLayout, 0);
        move(DisplayScale(next).scaled(300), DisplayScale(next).scaled(200));
        EXPECT_EQ(difference(), 0);
    }
    // Each window's surfaces go with it: a second round at 192 DPI leaves as many objects.
    window_.reset();
    drainQuitMessages();
    const int objects = gdiObjects();
    recreateAt(192);
    ShowWindow(main_, SW_SHOWNOACTIVATE);
    for (const Input& input : inputs) {
        if (input.kind == Move) {
            move(DisplayScale(192).scaled(input.x), DisplayScale(192).scaled(input.y));
        }
    }
    window_.reset();
    drainQuitMessages();
    EXPECT_EQ(gdiObjects(), objects);
}
