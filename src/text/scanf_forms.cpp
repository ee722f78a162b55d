#include "text/scanf_forms.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace orv {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Moves `i` past leading white space and an optional sign; true when the sign was '-'.
bool SkipBlanksAndSign(std::string_view text, std::size_t& i) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
    return false;
}

// Integer scan shared by ScanDec/ScanOct/ScanHex.
std::optional<long long> ScanInteger(std::string_view text, int base) {
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
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

}  // namespace

// ---- scanf forms ----

std::optional<long long> ScanDec(std::string_view text) { return ScanInteger(text, 10); }
std::optional<long long> ScanOct(std::string_view text) { return ScanInteger(text, 8); }
std::optional<long long> ScanHex(std::string_view text) { return ScanInteger(text, 16); }

std::optional<double> ScanDouble(std::string_view text) {
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
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
