#pragma once
// The printf forms of the Windows C library that the list lines rely on, written without the C
// library's locale: numbers look the same whatever the locale.

#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

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

}  // namespace orv
