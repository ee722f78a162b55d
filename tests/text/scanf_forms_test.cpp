#include "text/scanf_forms.h"
#include "text/printf_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace orv {
namespace {

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
