#include "app/win32/wide_text.h"

#include "stream/utf16.h"

// wchar_t is a UTF-16 unit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

bool toWide(const char* utf8, std::wstring* wide) {
    std::u16string units;
    const bool converted = utf8 != nullptr && utf8ToUtf16(utf8, &units);
    wide->assign(units.begin(), units.end());
    return converted;
}

bool toUtf8(const wchar_t* wide, std::string* utf8) {
    utf8->clear();
    if (wide == nullptr) {
        return false;
    }
    const std::wstring text(wide);
    return utf16ToUtf8(std::u16string(text.begin(), text.end()), utf8);
}

std::wstring widened(const char* utf8) {
    std::wstring wide;
    toWide(utf8, &wide);
    return wide;
}
