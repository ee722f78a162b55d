#include "text/text.h"

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

TEST(FormatTest, ExponentFormHasThreeExponentDigitsAndRoundsCorrectly) {
    struct Case {
        double value;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {140.625, "1.406250e+002"},
        {0.0, "0.000000e+000"},
        {1.0, "1.000000e+000"},
        {0.0013732910156, "1.373291e-003"},
        {0.00068664550781, "6.866455e-004"},
        {9.9999996, "1.000000e+001"},      // carry into the exponent
        {9.9999994, "9.999999e+000"},
        {0.99999999, "1.000000e+000"},     // carry from a negative exponent
        {999999.96, "1.000000e+006"},
        {1e100, "1.000000e+100"},
        {1.5e-300, "1.500000e-300"},
        {3.4028234663852886e38, "3.402823e+038"},
        {4.9406564584124654e-324, "4.940656e-324"},
        {-2.5, "-2.500000e+000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FormatExp(c.value), c.expected);
    }
}

TEST(FormatTest, FixedFormHasSixDecimals) {
    struct Case {
        double value;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {90.0, "90.000000"},
        {0.1234567, "0.123457"},
        {0.0000001, "0.000000"},
        {0.0000005000001, "0.000001"},
        {-0.5, "-0.500000"},
        {5.625, "5.625000"},
        {1e20, "100000000000000000000.000000"},
        {double(0.1f), "0.100000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FormatFixed6(c.value), c.expected);
    }
}

TEST(FormatTest, IntegerFormsAndPadding) {
    EXPECT_EQ(FormatDec(3, 2, true), "03");
    EXPECT_EQ(FormatDec(3, 2, false), " 3");
    EXPECT_EQ(FormatDec(123, 2, true), "123");
    EXPECT_EQ(FormatDec(-5, 4, true), "-005");
    EXPECT_EQ(FormatHex(0xABC, 6, true), "000abc");
    EXPECT_EQ(PadLeft("1", 2, '0'), "01");
    EXPECT_EQ(PadLeft("abcde", 4), "abcde");
    EXPECT_EQ(PadRight("m", 4), "m   ");
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
}

TEST(ScanTest, Integers) {
    constexpr long long kMax = std::numeric_limits<long long>::max();
    constexpr long long kMin = std::numeric_limits<long long>::min();
    struct Case {
        const char* text;
        int base;
        std::optional<long long> expected;
    };
    const std::vector<Case> cases = {
        {"42", 10, 42},       {"  42abc", 10, 42},  {"\t-7", 10, -7},   {"+3", 10, 3},
        {" 3", 10, 3},        {"03", 10, 3},        {"", 10, {}},       {"   ", 10, {}},
        {"-", 10, {}},        {"x1", 10, {}},       {"- 1", 10, {}},    {"1 2", 10, 1},
        {"9223372036854775807", 10, kMax},          {"9223372036854775808", 10, kMax},
        {"-9223372036854775808", 10, kMin},         {"-99999999999999999999", 10, kMin},
        {"310", 8, 200},      {"377", 8, 255},      {"0778", 8, 63},    {"8", 8, {}},
        {"0x1F", 16, 31},     {"0X1f", 16, 31},     {"ff", 16, 255},    {" 123456", 16, 0x123456},
        {"0x", 16, 0},        {"0xg", 16, 0},       {"g", 16, {}},      {"-0x10", 16, -16},
        {"x10", 16, {}},      {"ffffffffffffffffff", 16, kMax},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " base " + std::to_string(c.base));
        const auto got = c.base == 10 ? ScanDec(c.text) : c.base == 8 ? ScanOct(c.text) : ScanHex(c.text);
        EXPECT_EQ(got, c.expected);
    }
}

TEST(ScanTest, Doubles) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const std::vector<Case> cases = {
        {"90", 90.0},         {"-0.5", -0.5},       {"1e3", 1000.0},       {".5", 0.5},
        {"5.", 5.0},          {"+2.25", 2.25},      {"  90.000000", 90.0}, {"1.5x", 1.5},
        {"1e", 1.0},          {"1e+", 1.0},         {"2E-2", 0.02},        {"1.2.3", 1.2},
        {"0.123457", 0.123457}, {"-0.000000", 0.0}, {"", {}},              {".", {}},
        {"-", {}},            {"e5", {}},           {"abc", {}},           {"- 1", {}},
        {"1e400", inf},       {"-1e400", -inf},     {"1000e306", inf},     {"0.001e311", 1e308},
        {"1e-400", 0.0},      {"123e-400", 0.0},    {"0.0001e-320", 0.0},  {"inf", inf},
        {"-INF", -inf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ScanDouble(c.text), c.expected);
    }
    EXPECT_TRUE(std::signbit(*ScanDouble("-0.000000")));
    const auto nan = ScanDouble("nan");
    ASSERT_TRUE(nan.has_value());
    EXPECT_TRUE(std::isnan(*nan));
}

}  // namespace
}  // namespace orv
