#pragma once
// The scanf forms the program reads its fields with, without the C library's locale, and the
// helpers that cut the fields out of a fixed-column line.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

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
