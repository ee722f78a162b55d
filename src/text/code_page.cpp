#include "text/code_page.h"

#include <algorithm>
#include <array>

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

}  // namespace orv
