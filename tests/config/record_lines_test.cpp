#include "config/format_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "config/param_line.h"
#include "text/code_page.h"
#include "support/example_formats.h"

namespace orv {
namespace {

using test::MakeFormat;

const DecimalFormat kAlt1 = MakeFormat("ALT1", 0, 28, 11, 90.0f, "deg");

TEST(FormatLineTest, ExampleLineAndRoundTrip) {
    const std::string line = RenderFormatLine(kAlt1);
    EXPECT_EQ(line, Cp1251("ALT1      знак      28          11        deg        90.000000"));
    EXPECT_EQ(line.size(), 62u);
    EXPECT_EQ(ParseFormatLine(line), kAlt1);

    const DecimalFormat speed = MakeFormat("SPD", 1, 29, 9, 0.5f, "m");
    const std::string speedLine = RenderFormatLine(speed);
    EXPECT_EQ(speedLine, Cp1251("SPD       данн      29          09        m          0.500000"));
    EXPECT_EQ(ParseFormatLine(speedLine), speed);

    const DecimalFormat negative = MakeFormat("Neg", 0, 12, 10, -1234.5f, "km/h");
    EXPECT_EQ(ParseFormatLine(RenderFormatLine(negative)), negative);
}

TEST(FormatLineTest, WeightTravelsRoundedToSixDecimals) {
    struct Case {
        float weight;
        const char* text;
        float parsed;
    };
    const std::vector<Case> cases = {
        {0.1234567f, "0.123457", 0.123457f},
        {0.0000001f, "0.000000", 0.0f},
        {0.0000005f, "0.000000", 0.0f},  // 0.0000005f lies just below one half
        {-0.5f, "-0.500000", -0.5f},
        {5.625f, "5.625000", 5.625f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const DecimalFormat f = MakeFormat("W", 0, 28, 11, c.weight, "deg");
        const std::string line = RenderFormatLine(f);
        EXPECT_EQ(line.substr(53), c.text);
        EXPECT_EQ(ParseFormatLine(line).msbWeight, c.parsed);
    }
}

TEST(ParamLineTest, ExampleLineAndRoundTrip) {
    ParamRecord p;
    p.paramLabel = Label8("ALT1");
    p.address = 0310;
    p.formatLabel = Label8("ALT1");
    const std::string line = RenderParamLine(p);
    EXPECT_EQ(line, "ALT1           310      ALT1    ");
    EXPECT_EQ(line.size(), 32u);
    EXPECT_EQ(ParseParamLine(line), p);

    ParamRecord none;
    none.paramLabel = Label8(Cp1251("Высота"));
    none.address = 7;
    const std::string noneLine = RenderParamLine(none);
    EXPECT_EQ(noneLine, Cp1251("Высота         007              "));
    const ParamRecord back = ParseParamLine(noneLine);
    EXPECT_EQ(back, none);
    EXPECT_TRUE(back.formatLabel.IsBlank());
}

}  // namespace
}  // namespace orv
