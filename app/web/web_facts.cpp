// What the page takes from the module rather than writing it again: the
// layout's rounding and rectangles, the picture's size, the drop's head.
#include <emscripten/emscripten.h>

#include <initializer_list>
#include <string>

#include "app/app.h"
#include "app/display_scale.h"
#include "app/picture_file_head.h"
#include "app/window_fit.h"
#include "app/web/web_platform.h"

EM_JS(void, pageFacts, (const char* json),
      { Module.hoppel.facts(JSON.parse(UTF8ToString(json))); });

extern "C" {

// The layout's rounding, both ways, at the DPI the page lays out at (96 x its scale).
EMSCRIPTEN_KEEPALIVE int32_t hoppelScaled(int32_t dpi, int32_t figure) {
    return DisplayScale(dpi).scaled(figure);
}

EMSCRIPTEN_KEEPALIVE int32_t hoppelUnscaled(int32_t dpi, int32_t position) {
    return DisplayScale(dpi).unscaled(position);
}

EMSCRIPTEN_KEEPALIVE int32_t hoppelUsableDpi(int32_t dpi) {
    return usableDpi(dpi);
}

EMSCRIPTEN_KEEPALIVE double hoppelFittingScale(double viewWidth, double viewHeight, double ratio,
                                               int32_t width, int32_t height) {
    return fittingScale(viewWidth, viewHeight, ratio, width, height);
}

// What the page takes from here rather than writing again: the 96-DPI
// layout's rectangles by name ([left, top, right, bottom]; the buttons and the
// view in the client area, the frame, the picture and the counter in the
// view's), the client size, the picture's size and how many of a dropped
// file's first bytes decide on it.
EMSCRIPTEN_KEEPALIVE void hoppelDescribe() {
    const auto list = [](std::initializer_list<int32_t> values) {
        std::string text = "[";
        for (const int32_t v : values)
            text += (text.size() > 1 ? "," : "") + std::to_string(v);
        return text + "]";
    };
    const auto edges = [&](const LayoutRect& r) {
        return list({r.left, r.top, r.right, r.bottom});
    };
    const std::string json = "{\"rects\":{\"autoButton\":" + edges(kAutoButtonRect) +
                             ",\"clearButton\":" + edges(kClearButtonRect) +
                             ",\"view\":" + edges(kViewRect) + ",\"frame\":" + edges(kFrameRect) +
                             ",\"picture\":" + edges(kPictureRect) +
                             ",\"counter\":" + edges(kCounterRect) +
                             "},\"client\":" + list({kClientWidth, kClientHeight}) +
                             ",\"picture\":" + list({kPictureWidth, kPictureHeight}) +
                             ",\"dropHead\":" + std::to_string(kPictureFileHeadSize) +
                             ",\"saveName\":\"" + kSaveName + "\"}";
    pageFacts(json.c_str());
}
}
