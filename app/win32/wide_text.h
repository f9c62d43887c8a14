#pragma once
// The logic's UTF-8 as the UTF-16 the W calls take, and back: the program's
// one seam between the two. Neither way guesses: text that does not convert
// is refused.
#include <string>

// False (and *wide empty) when utf8 is not UTF-8.
bool toWide(const char* utf8, std::wstring* wide);
// False (and *utf8 empty) when wide holds an unpaired surrogate.
bool toUtf8(const wchar_t* wide, std::string* utf8);
// The UTF-16 of a text the program itself made; empty if it is not UTF-8.
std::wstring widened(const char* utf8);
