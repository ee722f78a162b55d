#pragma once
// Windows-1251, the code page of every core text: conversions from and to UTF-8, and letter case
// and ordering as the Windows sorted list box has them.

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Converts UTF-8 to Windows-1251 bytes; nullopt if a character has no 1251 form or the input is
// not valid UTF-8.
std::optional<std::string> Cp1251FromUtf8(std::string_view utf8);
// The same for text known to be representable (program literals); unrepresentable characters
// and invalid bytes become '?'.
std::string Cp1251(std::string_view utf8);
// Windows-1251 bytes to UTF-8. Every byte has a character (0x98, undefined in the code page,
// becomes U+0098 as on Windows), so Cp1251FromUtf8 gives any byte string back unchanged.
std::string Utf8FromCp1251(std::string_view cp1251);

// Case folding and ordering as the Windows sorted list box does it: letter case ignored for Latin
// and Cyrillic letters (Ё after Е), bytes otherwise compared by value.
char UpperCp1251(char c);
int CompareNoCase1251(std::string_view a, std::string_view b);
bool EqualNoCase1251(std::string_view a, std::string_view b);
bool StartsWithNoCase1251(std::string_view text, std::string_view prefix);

}  // namespace orv
