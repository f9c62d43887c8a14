#include "app/win32/window_fonts.h"

#include "app/win32/display_dpi.h"

HFONT makeButtonFont(const DisplayScale& scale) {
    // The GUI font's size and look, but a Japanese character set and no face
    // name: the font mapper then picks a face that has the buttons' glyphs,
    // which the GUI font itself lacks in a plain Wine prefix. The stock font
    // is made for the system DPI.
    LOGFONTW look = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof look, &look);
    const UINT systemDpi = dpiOfSystem();
    look.lfHeight = scale.convertedFrom(look.lfHeight, systemDpi);
    look.lfWidth = scale.convertedFrom(look.lfWidth, systemDpi);
    look.lfCharSet = SHIFTJIS_CHARSET;
    look.lfFaceName[0] = L'\0';
    return CreateFontIndirectW(&look);
}

HFONT makeCounterFont(const DisplayScale& scale) {
    return CreateFontW(scale.scaled(kCounterFontHeight), 0, 0, 0, 600, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH, nullptr);
}
