// The picture view on the screen at each display scale: the program's own
// processor time (all its threads) per pointer move and per slap, and the
// paint of the area a pointer move invalidates, each against its cost at
// 96 DPI in the same run. Needs a display (Wine's X11 driver).
#include <windows.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/seeded_random.h"
#include "app/win32/main_window.h"
#include "bench/bench_ratios.h"
#include "resources/resource.h"

namespace {

const int kDpis[] = {96, 120, 144, 192};

// The main window at dpi, shown and painted once.
struct ShownWindow {
    SeededRandom random{7u};
    std::unique_ptr<MainWindow> window;
    DisplayScale scale;

    explicit ShownWindow(int dpi) : scale(dpi) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        MainWindow::registerClass(instance);
        window = std::make_unique<MainWindow>(instance, random);
        window->hooks().windowDpi = [dpi](HWND) { return UINT(dpi); };
        HWND main = window->create();
        if (main == nullptr)
            return;
        SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        ShowWindow(main, SW_SHOWNOACTIVATE);
        UpdateWindow(main);
        pump();
    }
    ~ShownWindow() {
        window.reset();
        pump();
    }
    static void pump() {
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
            if (message.message != WM_QUIT)
                DispatchMessageA(&message);
    }
    bool ok() const { return window != nullptr && window->handle() != nullptr; }
    HWND view() const { return window->pictureView(); }
    // The screen position of 96-DPI view client (x, y).
    LPARAM at(int x, int y) const { return MAKELPARAM(scale.scaled(x), scale.scaled(y)); }
};

// Back and forth across the middle of the picture, 3 pixels a move, as a
// pointer moves at a brisk pace.
int pathX(int64_t step) {
    const int64_t phase = step % 200;
    return 140 + int(3 * (phase < 100 ? phase : 200 - phase));
}

void pointerMove(benchmark::State& state, int dpi) {
    ShownWindow shown(dpi);
    if (!shown.ok()) {
        state.SkipWithError("no window");
        return;
    }
    int64_t step = 0;
    for (auto _ : state)
        SendMessageA(shown.view(), WM_MOUSEMOVE, 0, shown.at(pathX(step++), 160));
}

// A click on the figure (the hand stays hidden, as auto mode leaves it);
// now and then the picture is cleared, outside the timing, so that the
// slaps keep reddening instead of meeting a saturated spot.
void slap(benchmark::State& state, int dpi) {
    ShownWindow shown(dpi);
    if (!shown.ok()) {
        state.SkipWithError("no window");
        return;
    }
    int64_t slaps = 0;
    for (auto _ : state) {
        if (++slaps % 32 == 0) {
            state.PauseTiming();
            SendMessageA(shown.window->handle(), WM_COMMAND, MAKEWPARAM(IDC_CLEAR, 0), 0);
            state.ResumeTiming();
        }
        SendMessageA(shown.view(), WM_LBUTTONDOWN, MK_LBUTTON, shown.at(300, 150));
    }
}

// The paint alone of what one pointer move invalidates: the hand's box where
// it was and where it went, 3 pixels apart, at the scale.
void moveAreaPaint(benchmark::State& state, int dpi) {
    ShownWindow shown(dpi);
    if (!shown.ok()) {
        state.SkipWithError("no window");
        return;
    }
    SendMessageA(shown.view(), WM_MOUSEMOVE, 0, shown.at(241, 160));
    // The hand's 196 x 100 box, hot spot (80, 50), and the same 3 pixels right.
    const LayoutRect box =
        shown.scale.scaled(LayoutRect{241 - 80, 160 - 50, 241 + 116 + 3, 160 + 50});
    const RECT area = {box.left, box.top, box.right, box.bottom};
    for (auto _ : state) {
        InvalidateRect(shown.view(), &area, FALSE);
        UpdateWindow(shown.view());
    }
}

struct Registered {
    Registered() {
        for (int dpi : kDpis) {
            const std::string suffix = std::to_string(dpi);
            benchmark::RegisterBenchmark(("BM_ViewPointerMove" + suffix).c_str(), pointerMove, dpi)
                ->MeasureProcessCPUTime()
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("BM_ViewSlap" + suffix).c_str(), slap, dpi)
                ->MeasureProcessCPUTime()
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("BM_ViewMoveAreaPaint" + suffix).c_str(), moveAreaPaint,
                                         dpi)
                ->MeasureProcessCPUTime()
                ->Unit(benchmark::kMicrosecond);
        }
    }
} registered;

static BenchRatioEntry viewRatios[] = {
    {"BM_ViewPointerMove120", "BM_ViewPointerMove96", 0},
    {"BM_ViewPointerMove144", "BM_ViewPointerMove96", 2.0},
    {"BM_ViewPointerMove192", "BM_ViewPointerMove96", 2.0},
    {"BM_ViewSlap120", "BM_ViewSlap96", 0},
    {"BM_ViewSlap144", "BM_ViewSlap96", 0},
    {"BM_ViewSlap192", "BM_ViewSlap96", 2.0},
    {"BM_ViewMoveAreaPaint120", "BM_ViewMoveAreaPaint96", 0},
    {"BM_ViewMoveAreaPaint144", "BM_ViewMoveAreaPaint96", 0},
    {"BM_ViewMoveAreaPaint192", "BM_ViewMoveAreaPaint96", 0},
};

}  // namespace
