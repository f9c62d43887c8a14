#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "stream/utf16.h"

TEST(Utf16, WellFormedTextConvertsBothWaysUnchanged) {
    // clang-format off
    const struct {
        const char* utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"C:\\a.bmp", u"C:\\a.bmp"},
        {"\x7F\xC2\x80\xDF\xBF", u"\x7F\x80\x7FF"},             // the ends of one and two bytes
        {"\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF",     // three bytes, around the surrogates
         u"\x800\xD7FF\xE000\xFFFF"},
        {"保存した絵.bmp", u"保存した絵.bmp"},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\xD800\xDC00\xDBFF\xDFFF"},  // a pair each
    };
    // clang-format on
    for (const auto& c : cases) {
        std::u16string wide = u"left over";
        std::string narrow = "left over";
        EXPECT_TRUE(utf8ToUtf16(c.utf8, &wide)) << c.utf8;
        EXPECT_EQ(wide, c.utf16) << c.utf8;
        EXPECT_TRUE(utf16ToUtf8(c.utf16, &narrow)) << c.utf8;
        EXPECT_EQ(narrow, c.utf8);
    }
}

TEST(Utf16, MalformedUtf8IsRefusedWhole) {
    for (const char* bad : {
             "a\x80",                 // a continuation byte alone
             "\xC0\xAF", "\xC1\xBF",  // overlong two-byte forms
             "\xE0\x9F\xBF",          // overlong three-byte form
             "\xF0\x8F\xBF\xBF",      // overlong four-byte form
             "\xED\xA0\x80",          // an encoded surrogate
             "\xED\xBF\xBF",          // the last one
             "\xC3\xC3",              // a lead byte where a continuation byte belongs
             "\xF4\x90\x80\x80",      // past U+10FFFF
             "\xF5\x80\x80\x80", "\xFF",
             "\xE4\xBF",  // cut short at the end
             "\xE4\xBF"
             "a",  // cut short by an ASCII byte
         }) {
        std::u16string wide = u"left over";
        EXPECT_FALSE(utf8ToUtf16(std::string("ok") + bad, &wide)) << bad;
        EXPECT_TRUE(wide.empty());
    }
}

TEST(Utf16, UnpairedSurrogatesAreRefusedWhole) {
    for (const char16_t* bad : {u"\xD800",
                                u"a\xD800"
                                u"b",
                                u"\xDC00\xD800", u"\xDC00\xDC00", u"\xDBFF"}) {
        std::string narrow = "left over";
        EXPECT_FALSE(utf16ToUtf8(u"C:\\" + std::u16string(bad) + u".bmp", &narrow));
        EXPECT_TRUE(narrow.empty());
    }
}

// The platform counts a path in UTF-16 units; UTF-8 takes up to four bytes for one or two.
TEST(Utf16Length, CountsWhatThePlatformCounts) {
    const std::pair<std::string, size_t> cases[] = {
        {"", 0},
        {"a.bmp", 5},
        {"\xC3\xA9", 1},          // two bytes, one unit
        {"\xE3\x81\xBB", 1},      // ほ: three bytes, one unit
        {"\xF0\x9F\x8D\x91", 2},  // four bytes, a surrogate pair
        {"Z:\\\xE3\x81\xBB.bmp", 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf16Length(c.first), c.second) << c.first;
}
