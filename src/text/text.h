#pragma once
// Text helpers for Windows-1251 byte strings and the printf forms of the Windows C library that
// the list lines rely on. Everything here is locale-independent: the program never formats or
// scans numbers through the C library's locale-sensitive functions.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// ---- Code page 1251 ----
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

// ---- printf forms ----
// "%Nd" / "%0Nd" of a signed value.
std::string FormatDec(long long value, int width = 0, bool zeroPad = false);
// "%No" / "%0No" and "%Nx" / "%0Nx" (lower case) of an unsigned value.
std::string FormatOct(unsigned long long value, int width = 0, bool zeroPad = false);
std::string FormatHex(unsigned long long value, int width = 0, bool zeroPad = false);
// "%f": fixed point with six decimals, rounded correctly.
std::string FormatFixed6(double value);
// "%e" of the Windows C library: d.dddddde+ddd, always three exponent digits, rounded correctly
// (9.9999996 gives 1.000000e+001). Infinities and NaN give "inf", "-inf", "nan" (in both forms).
std::string FormatExp(double value);
// "%Ns" right-aligned in N columns; "%0Ns" pads with zeros as the Windows library does.
std::string PadLeft(std::string_view text, std::size_t width, char fill = ' ');
// "%-Ns": left-aligned in N columns.
std::string PadRight(std::string_view text, std::size_t width, char fill = ' ');

// ---- scanf forms ----
// Each skips leading white space, takes an optional sign and then as many digits as form a number
// ("%d", "%o", "%x", "%f"), stopping at the first character that cannot continue it. nullopt when
// no digit could be read. Integers that do not fit are clamped to the range of long long; a
// double too large reads as an infinity and one too small as zero, as the C library does.
std::optional<long long> ScanDec(std::string_view text);
std::optional<long long> ScanOct(std::string_view text);
std::optional<long long> ScanHex(std::string_view text);  // an "0x" prefix is accepted
// Digits with an optional point and exponent ("90", "-0.5", ".5", "1e3"), or "inf"/"nan".
std::optional<double> ScanDouble(std::string_view text);

// Blanks (and tabs and line ends) removed at both ends.
std::string_view Trim(std::string_view text);
// Blanks removed at the end only.
std::string_view TrimRightBlanks(std::string_view text);
// The field of a fixed-column line from column `at`, at most `width` characters; empty when the
// line is shorter.
std::string_view Columns(std::string_view line, std::size_t at, std::size_t width = std::string_view::npos);

}  // namespace orv
