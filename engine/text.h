// Small text helpers shared by the parsers and the writers. All of them work on
// ASCII letters only and never depend on the process locale.
#pragma once

#include <string>
#include <string_view>

namespace zelba {

// True when both texts are equal without regard to ASCII case.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// True when `text` starts with `prefix`, without regard to ASCII case.
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);

// Upper-cases ASCII letters in place; other bytes are kept.
void toUpperAscii(std::string& text);

// True for an ASCII letter (a byte of a multi-byte character is not one).
bool isAsciiLetter(char c);

// `text` without the blanks (spaces, tabs, carriage returns) at its ends.
std::string_view trimBlanks(std::string_view text);

}  // namespace zelba
