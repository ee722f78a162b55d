#include "text/printf_forms.h"
#include "text/scanf_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace orv {
namespace {

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

}  // namespace
}  // namespace orv
