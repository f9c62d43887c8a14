#include "stream/utf16.h"

#include <cstdint>

namespace {

// The code point starting at text[*i], *i moved past it; -1 when the bytes
// there do not form one.
int32_t nextCodePoint(const std::string& text, size_t* i) {
    const uint8_t lead = uint8_t(text[*i]);
    int32_t extra;
    int32_t point;
    int32_t least;
    if (lead < 0x80) {
        ++*i;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, point = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, point = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, point = lead & 0x07, least = 0x10000;
    } else {
        return -1;  // a continuation byte, an overlong two-byte lead, or beyond U+10FFFF
    }
    if (text.size() - *i <= size_t(extra)) {
        return -1;
    }
    for (int32_t k = 1; k <= extra; ++k) {
        const uint8_t next = uint8_t(text[*i + k]);
        if ((next & 0xC0) != 0x80) {
            return -1;
        }
        point = point << 6 | (next & 0x3F);
    }
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        return -1;
    }
    *i += size_t(extra) + 1;
    return point;
}

void appendUtf8(int32_t point, std::string* out) {
    if (point < 0x80) {
        out->push_back(char(point));
        return;
    }
    const int32_t extra = point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
    static const uint8_t kLeads[] = {0, 0xC0, 0xE0, 0xF0};
    out->push_back(char(kLeads[extra] | (point >> (6 * extra))));
    for (int32_t k = extra - 1; k >= 0; --k) {
        out->push_back(char(0x80 | ((point >> (6 * k)) & 0x3F)));
    }
}

}  // namespace

bool utf8ToUtf16(const std::string& utf8, std::u16string* utf16) {
    utf16->clear();
    for (size_t i = 0; i < utf8.size();) {
        const int32_t point = nextCodePoint(utf8, &i);
        if (point < 0) {
            utf16->clear();
            return false;
        }
        if (point < 0x10000) {
            utf16->push_back(char16_t(point));
        } else {
            utf16->push_back(char16_t(0xD800 + ((point - 0x10000) >> 10)));
            utf16->push_back(char16_t(0xDC00 + ((point - 0x10000) & 0x3FF)));
        }
    }
    return true;
}

bool utf16ToUtf8(const std::u16string& utf16, std::string* utf8) {
    utf8->clear();
    for (size_t i = 0; i < utf16.size(); ++i) {
        int32_t point = utf16[i];
        if (point >= 0xD800 && point <= 0xDFFF) {
            const bool paired = point <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                                utf16[i + 1] <= 0xDFFF;
            if (!paired) {
                utf8->clear();
                return false;
            }
            point = 0x10000 + ((point - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        }
        appendUtf8(point, utf8);
    }
    return true;
}

size_t utf16Length(const std::string& utf8) {
    size_t units = 0;
    for (const char c : utf8) {
        const uint8_t byte = uint8_t(c);
        // Lead bytes start a unit; a four-byte sequence makes a pair of them.
        units += (byte & 0xC0) != 0x80 ? 1 : 0;
        units += byte >= 0xF0 ? 1 : 0;
    }
    return units;
}
