#include "display/display_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "config/format_line.h"
#include "config/param_line.h"
#include "text/code_page.h"
#include "support/example_formats.h"

namespace orv {
namespace {

using test::MakeFormat;

const DecimalFormat kAlt1 = MakeFormat("ALT1", 0, 28, 11, 90.0f, "deg");

TEST(DisplayLineTest, BothChannelFormsAndRoundTrip) {
    DisplayLineRecord r;
    r.paramLabel = Label8("ALT1");
    r.channel = 3;
    r.address = 0310;
    r.formatLabel = Label8("ALT1");
    const std::string record = RenderDisplayLine(r, ChannelForm::ZeroPadded);
    const std::string table = RenderDisplayLine(r, ChannelForm::BlankPadded);
    EXPECT_EQ(record, "ALT1           03        310       ALT1    ");
    EXPECT_EQ(table, "ALT1            3        310       ALT1    ");
    EXPECT_EQ(record.size(), 43u);
    EXPECT_EQ(table.size(), 43u);
    EXPECT_EQ(ParseDisplayLine(record), r);
    EXPECT_EQ(ParseDisplayLine(table), r);

    r.channel = 8;
    r.address = 0377;
    r.formatLabel.Clear();
    EXPECT_EQ(ParseDisplayLine(RenderDisplayLine(r)), r);
}

TEST(LineParseTest, ShortLinesGiveBlankAndZeroFields) {
    const std::string format = RenderFormatLine(kAlt1);
    for (std::size_t n = 0; n <= format.size(); ++n) {
        SCOPED_TRACE(n);
        const std::string_view cut = std::string_view(format).substr(0, n);
        const DecimalFormat f = ParseFormatLine(cut);
        EXPECT_EQ(f.label, Label8(cut.substr(0, 8)));
        EXPECT_EQ(f.msbBit, n < 21 ? 0 : n == 21 ? 2 : 28);
        EXPECT_EQ(f.lsbBit, n < 33 ? 0 : n == 33 ? 1 : 11);
        if (n <= 42) {
            EXPECT_TRUE(f.units.Trimmed().empty());
        }
        if (n <= 53) {
            EXPECT_EQ(f.msbWeight, 0.0f);
        }
    }
    const std::string display = "ALT1           03        310       ALT1    ";
    for (std::size_t n = 0; n <= display.size(); ++n) {
        SCOPED_TRACE(n);
        const DisplayLineRecord r = ParseDisplayLine(std::string_view(display).substr(0, n));
        EXPECT_EQ(r.channel, n < 17 ? 0 : 3);
        EXPECT_EQ(r.address, n <= 25 ? 0 : n == 26 ? 3 : n == 27 ? 031 : 0310);
        if (n <= 35) {
            EXPECT_TRUE(r.formatLabel.IsBlank());
        }
    }
    const ParamRecord p = ParseParamLine("ALT1");
    EXPECT_EQ(p.paramLabel, Label8("ALT1"));
    EXPECT_EQ(p.address, 0);
    EXPECT_TRUE(p.formatLabel.IsBlank());
}

TEST(ColumnHeadTest, HeadsAreTheWindows1251Texts) {
    struct Case {
        const char* head;
        const char* utf8;
    };
    const std::vector<Case> cases = {
        {kFormatLineHead1, "Метка     29-й   № старшего  № младшего  единицы    цена ст."},
        {kFormatLineHead2, "формата   бит    разряда     разряда     измерения  разряда"},
        {kParamLineHead1, "  метка       Адрес      метка  "},
        {kParamLineHead2, "параметра   Параметра   формата"},
        {kDisplayLineHead1, "  метка        №        Адрес       метка    "},
        {kDisplayLineHead2, "параметра    канала    Параметра   формата  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.head, Cp1251(c.utf8));
    }
    EXPECT_EQ(Utf8FromCp1251(kRoleSignText), "знак");
    EXPECT_EQ(Utf8FromCp1251(kRoleDataText), "данн");
}

}  // namespace
}  // namespace orv
