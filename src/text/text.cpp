#include "text/text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace orv {

namespace {

// Unicode code points of the Windows-1251 bytes 0x80..0xFF. 0x98 has no character in the code
// page; Windows maps it to the control character U+0098, and so does this table, which keeps
// every byte string round-trippable.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // 0xF8
};

// The 1251 byte of a code point, or -1.
int ByteOfCodePoint(char32_t cp) {
    if (cp < 0x80) return int(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return int(cp - 0x0410 + 0xC0);
    for (std::size_t i = 0; i < 64; ++i) {
        if (kHighHalf[i] == cp) return int(0x80 + i);
    }
    return -1;
}

// Decodes one UTF-8 character at `pos`, advancing it. Overlong forms, surrogates, values above
// U+10FFFF and truncated sequences are invalid: nullopt, and `pos` moves past one byte.
std::optional<char32_t> DecodeUtf8(std::string_view s, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    ++pos;
    if (b0 < 0x80) return char32_t(b0);
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        return std::nullopt;
    }
    std::size_t p = pos;
    for (int i = 0; i < extra; ++i, ++p) {
        if (p >= s.size()) return std::nullopt;
        const auto b = static_cast<unsigned char>(s[p]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos = p;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Collation key of one byte: upper-cased, Ё placed right after Е, everything else by value.
constexpr unsigned kYoUpper = 0xA8;  // Ё
constexpr unsigned kYeUpper = 0xC5;  // Е
unsigned SortKey(char c) {
    const auto u = static_cast<unsigned char>(UpperCp1251(c));
    if (u == kYoUpper) return kYeUpper * 2 + 1;
    return unsigned(u) * 2;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Integer scan shared by ScanDec/ScanOct/ScanHex.
std::optional<long long> ScanInteger(std::string_view text, int base) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool any = false;
    if (base == 16 && i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        // "0x" counts as the digit 0 even when no hexadecimal digit follows.
        any = true;
        i += 2;
    }
    // Accumulated as a negative number so that the most negative value fits.
    constexpr long long kMin = std::numeric_limits<long long>::min();
    long long value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i]);
        if (d >= base) break;
        any = true;
        if (overflow) continue;
        if (value < (kMin + d) / base) {
            overflow = true;
            continue;
        }
        value = value * base - d;
    }
    if (!any) return std::nullopt;
    if (overflow) return negative ? kMin : std::numeric_limits<long long>::max();
    if (negative) return value;
    if (value == kMin) return std::numeric_limits<long long>::max();
    return -value;
}

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

// ---- Code page 1251 ----

std::optional<std::string> Cp1251FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = DecodeUtf8(utf8, pos);
        if (!cp) return std::nullopt;
        const int b = ByteOfCodePoint(*cp);
        if (b < 0) return std::nullopt;
        out += char(b);
    }
    return out;
}

std::string Cp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = DecodeUtf8(utf8, pos);
        const int b = cp ? ByteOfCodePoint(*cp) : -1;
        out += b < 0 ? '?' : char(b);
    }
    return out;
}

std::string Utf8FromCp1251(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (char c : cp1251) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b < 0x80 ? char32_t(b) : char32_t(kHighHalf[b - 0x80]));
    }
    return out;
}

char UpperCp1251(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') return char(b - 0x20);
    if (b >= 0xE0) return char(b - 0x20);  // а..я
    switch (b) {
    case 0xB8: return char(0xA8);  // ё
    case 0x90: return char(0x80);  // ђ
    case 0x83: return char(0x81);  // ѓ
    case 0x9A: return char(0x8A);  // љ
    case 0x9C: return char(0x8C);  // њ
    case 0x9D: return char(0x8D);  // ќ
    case 0x9E: return char(0x8E);  // ћ
    case 0x9F: return char(0x8F);  // џ
    case 0xA2: return char(0xA1);  // ў
    case 0xBC: return char(0xA3);  // ј
    case 0xB4: return char(0xA5);  // ґ
    case 0xBA: return char(0xAA);  // є
    case 0xBF: return char(0xAF);  // ї
    case 0xB3: return char(0xB2);  // і
    case 0xBE: return char(0xBD);  // ѕ
    default: return c;
    }
}

int CompareNoCase1251(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned ka = SortKey(a[i]);
        const unsigned kb = SortKey(b[i]);
        if (ka != kb) return ka < kb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase1251(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNoCase1251(a, b) == 0;
}

bool StartsWithNoCase1251(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && CompareNoCase1251(text.substr(0, prefix.size()), prefix) == 0;
}

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

// ---- scanf forms ----

std::optional<long long> ScanDec(std::string_view text) { return ScanInteger(text, 10); }
std::optional<long long> ScanOct(std::string_view text) { return ScanInteger(text, 8); }
std::optional<long long> ScanHex(std::string_view text) { return ScanInteger(text, 16); }

std::optional<double> ScanDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const double sign = negative ? -1.0 : 1.0;

    // "inf", "infinity" and "nan", as the C library reads them: the forms FormatFixed6 writes.
    auto matchWord = [&](std::string_view word) {
        if (text.size() - i < word.size()) return false;
        for (std::size_t k = 0; k < word.size(); ++k) {
            if ((text[i + k] | 0x20) != word[k]) return false;
        }
        return true;
    };
    if (matchWord("inf")) return sign * std::numeric_limits<double>::infinity();
    if (matchWord("nan")) return std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);

    const std::size_t start = i;
    int mantissaDigits = 0;
    int intDigits = 0;
    int fracPos = 0;
    // Where the first non-zero digit stands, to tell overflow from underflow on a range error.
    int leadIntIndex = -1;
    int leadFracPos = 0;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++mantissaDigits;
            if (seenPoint) --fracPos;
            if (c != '0' && leadIntIndex == -1 && leadFracPos == 0) {
                if (seenPoint) leadFracPos = fracPos;
                else leadIntIndex = intDigits;
            }
            if (!seenPoint) ++intDigits;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
            for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j) {
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
            }
            if (expNegative) exponent = -exponent;
            i = j;
        }
    }
    double value = 0.0;
    const auto res = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small gives zero, as the C library's conversion does.
        const long long lead = leadIntIndex >= 0 ? intDigits - 1 - leadIntIndex : leadFracPos;
        const long long magnitude = lead + exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (res.ec != std::errc{}) {
        return std::nullopt;
    }
    return sign * value;
}

std::string_view Trim(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsSpace(text[b])) ++b;
    while (e > b && IsSpace(text[e - 1])) --e;
    return text.substr(b, e - b);
}

std::string_view TrimRightBlanks(std::string_view text) {
    const auto end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::string_view Columns(std::string_view line, std::size_t at, std::size_t width) {
    return at < line.size() ? line.substr(at, width) : std::string_view{};
}

}  // namespace orv
