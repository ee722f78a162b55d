#include "text/printf_forms.h"

#include <charconv>
#include <cmath>

namespace orv {

namespace {

// Pads a formatted number on the left; with `zeroPad` the zeros go after a sign.
std::string PadNumber(std::string digits, int width, bool zeroPad) {
    if (width <= 0 || digits.size() >= std::size_t(width)) return digits;
    const std::size_t fill = std::size_t(width) - digits.size();
    if (!zeroPad) return std::string(fill, ' ') + digits;
    const std::size_t signLen = (!digits.empty() && digits[0] == '-') ? 1 : 0;
    digits.insert(signLen, fill, '0');
    return digits;
}

std::string FormatUnsigned(unsigned long long value, int base, int width, bool zeroPad) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, base);
    return PadNumber(std::string(buf, res.ptr), width, zeroPad);
}

std::string NonFinite(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    return value < 0 ? "-inf" : "inf";
}

}  // namespace

// ---- printf forms ----

std::string FormatDec(long long value, int width, bool zeroPad) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return PadNumber(std::string(buf, res.ptr), width, zeroPad);
}

std::string FormatOct(unsigned long long value, int width, bool zeroPad) {
    return FormatUnsigned(value, 8, width, zeroPad);
}

std::string FormatHex(unsigned long long value, int width, bool zeroPad) {
    return FormatUnsigned(value, 16, width, zeroPad);
}

std::string FormatFixed6(double value) {
    if (!std::isfinite(value)) return NonFinite(value);
    char buf[400];  // the largest double has 309 integer digits
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    return std::string(buf, res.ptr);
}

std::string FormatExp(double value) {
    if (!std::isfinite(value)) return NonFinite(value);
    char buf[64];
    // to_chars rounds the exact binary value correctly, carries included (9.9999996 becomes
    // 1.000000e+01); only the exponent needs widening to the three digits of the Windows form.
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 6);
    std::string_view text(buf, std::size_t(res.ptr - buf));
    const std::size_t e = text.find('e');
    std::string out(text.substr(0, e + 2));  // mantissa, 'e' and the exponent sign
    const std::string_view digits = text.substr(e + 2);
    if (digits.size() < 3) out.append(3 - digits.size(), '0');
    out.append(digits);
    return out;
}

std::string PadLeft(std::string_view text, std::size_t width, char fill) {
    if (text.size() >= width) return std::string(text);
    std::string out(width - text.size(), fill);
    out.append(text);
    return out;
}

std::string PadRight(std::string_view text, std::size_t width, char fill) {
    std::string out(text);
    if (out.size() < width) out.append(width - out.size(), fill);
    return out;
}

}  // namespace orv
