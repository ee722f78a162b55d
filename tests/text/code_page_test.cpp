#include "text/code_page.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace orv {
namespace {

TEST(Cp1251Test, EveryByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    const std::string utf8 = Utf8FromCp1251(all);
    EXPECT_EQ(Cp1251FromUtf8(utf8), all);
    EXPECT_EQ(Cp1251(utf8), all);
}

TEST(Cp1251Test, KnownCharactersMapToTheirBytes) {
    struct Case {
        const char* utf8;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"АЯая", "\xC0\xDF\xE0\xFF"},
        {"Ёё№", "\xA8\xB8\xB9"},
        {"€‚„…", "\x88\x82\x84\x85"},
        {"ЂђЇїҐґ", "\x80\x90\xAF\xBF\xA5\xB4"},
        {"«»\u00A0", "\xAB\xBB\xA0"},
        {"ALT1 deg", "ALT1 deg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Cp1251FromUtf8(c.utf8), c.bytes);
        EXPECT_EQ(Utf8FromCp1251(c.bytes), c.utf8);
    }
}

TEST(Cp1251Test, UnrepresentableOrInvalidInputIsRefused) {
    const std::vector<std::string> inputs = {
        "中",                // CJK
        "a😀b",              // outside the BMP
        "Ä",                 // Latin-1 letter that 1251 lacks
        "\xD0",              // truncated two-byte sequence
        "\x80",              // lone continuation byte
        "\xC0\x80",          // overlong NUL
        "\xED\xA0\x80",      // surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xD0\x41",          // lead byte followed by ASCII
    };
    for (const auto& in : inputs) {
        SCOPED_TRACE(in);
        EXPECT_EQ(Cp1251FromUtf8(in), std::nullopt);
        EXPECT_NE(Cp1251(in).find('?'), std::string::npos);
    }
    EXPECT_EQ(Cp1251("x中y"), "x?y");
    EXPECT_EQ(Cp1251("\xD0\x41"), "?A");  // the ASCII byte after a broken lead is kept
}

TEST(CaseTest, UpperCasesLatinAndCyrillicLettersOnly) {
    const std::string lower = Cp1251("abcxyzабвэюяёђѓљњќћџўјґєїіѕ");
    const std::string upper = Cp1251("ABCXYZАБВЭЮЯЁЂЃЉЊЌЋЏЎЈҐЄЇІЅ");
    ASSERT_EQ(lower.size(), upper.size());
    for (std::size_t i = 0; i < lower.size(); ++i) {
        EXPECT_EQ(UpperCp1251(lower[i]), upper[i]) << i;
        EXPECT_EQ(UpperCp1251(upper[i]), upper[i]) << i;
    }
    for (char c : Cp1251("09 _[@№«µ")) EXPECT_EQ(UpperCp1251(c), c) << int(static_cast<unsigned char>(c));
}

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(CaseTest, OrderingIgnoresCaseAndPutsYoAfterYe) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const std::vector<Case> cases = {
        {"alt", "ALT", 0},      {"Alt1", "aLT1", 0},    {"Б", "в", -1},       {"в", "Б", 1},
        {"ёж", "ЁЖ", 0},        {"Е", "Ё", -1},         {"Ё", "Ж", -1},       {"ё", "ж", -1},
        {"ежа", "Ёж", -1},      {"Ёлка", "Ель", 1},     {"ab", "abc", -1},    {"", "a", -1},
        {"Z", "а", -1},         {"_", "a", 1},          {"[", "z", 1},        {"ALT ", "ALT1", -1},
        {"яблоко", "Я", 1},     {"Ы", "ь", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        const std::string a = Cp1251(c.a);
        const std::string b = Cp1251(c.b);
        EXPECT_EQ(Sign(CompareNoCase1251(a, b)), c.expected);
        EXPECT_EQ(Sign(CompareNoCase1251(b, a)), -c.expected);
        EXPECT_EQ(EqualNoCase1251(a, b), c.expected == 0);
    }
}

}  // namespace
}  // namespace orv
