#pragma once
// UTF-8, the program's own text and paths, to and from UTF-16, what the
// platform's wide calls take. Strict both ways: text that is not well formed
// (a stray or missing continuation byte, an overlong or out-of-range form, an
// encoded or unpaired surrogate) is refused whole, so a path never reaches a
// file call with a character quietly replaced.
#include <cstddef>
#include <string>

// False, with *utf16 emptied, when utf8 is not well-formed UTF-8.
bool utf8ToUtf16(const std::string& utf8, std::u16string* utf16);
// False, with *utf8 emptied, when utf16 holds an unpaired surrogate.
bool utf16ToUtf8(const std::u16string& utf16, std::string* utf8);
// The length of UTF-8 text in UTF-16 units, as the platform counts a path.
size_t utf16Length(const std::string& utf8);
