// What the format table and the dictionary do to their lines on add, edit and delete.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/table_rules.h"
#include "resources/config_strings.h"

namespace orv {
namespace {

DecimalFormat Format(const char* label, uint16_t msb = 20) {
    DecimalFormat f;
    f.label.Assign(label);
    f.msbBit = msb;
    f.lsbBit = 9;
    f.msbWeight = 1.0f;
    f.units.Assign("m");
    return f;
}

ParamRecord Param(const char* label, uint16_t address, const char* format = "") {
    ParamRecord r;
    r.paramLabel.Assign(label);
    r.address = address;
    r.formatLabel.Assign(format);
    return r;
}

std::vector<std::string> Labels(const LineList& list) {
    std::vector<std::string> out;
    for (const auto& line : list.Lines()) out.push_back(line.substr(0, 8));
    return out;
}

TEST(FormatTableRulesTest, LinesAreSortedIgnoringCaseCyrillicIncluded) {
    // Windows-1251: "бета" (lower case) and "АЛЬФА" (upper case) sort as альфа < бета.
    const LineList list = FormatLines({Format("gamma"), Format("\xE1\xE5\xF2\xE0"), Format("ALPHA"),
                                       Format("\xC0\xCB\xDC\xD4\xC0"), Format("Beta")});
    EXPECT_EQ(Labels(list), (std::vector<std::string>{"ALPHA   ", "Beta    ", "gamma   ", "\xC0\xCB\xDC\xD4\xC0   ",
                                                      "\xE1\xE5\xF2\xE0    "}));
}

TEST(FormatTableRulesTest, AddingRefusesALabelThatDiffersOnlyInCase) {
    LineList list = FormatLines({Format("ALT"), Format("SPD")});
    EXPECT_EQ(AddFormatLine(list, Format("BRG")), nullptr);
    EXPECT_EQ(list.Selection(), 1);  // the new line, at its sorted place
    EXPECT_STREQ(AddFormatLine(list, Format("alt")), text::kDuplicateFormatOnAdd);
    EXPECT_EQ(Labels(list), (std::vector<std::string>{"ALT     ", "BRG     ", "SPD     "}));
    EXPECT_EQ(list.Selection(), 0);  // the search selected the clashing line
    // A label that is only a prefix of another is no clash: labels are compared over 8 columns.
    EXPECT_EQ(AddFormatLine(list, Format("AL")), nullptr);
    // Cyrillic letters clash whatever their case.
    EXPECT_EQ(AddFormatLine(list, Format("\xE2\xFB\xF1")), nullptr);            // "выс"
    EXPECT_STREQ(AddFormatLine(list, Format("\xC2\xDB\xD1")), text::kDuplicateFormatOnAdd);  // "ВЫС"
}

TEST(FormatTableRulesTest, EditingKeepsOrChangesTheLabel) {
    LineList list = FormatLines({Format("ALT"), Format("BRG"), Format("SPD")});
    // Same label in another case: not a duplicate, the line is replaced.
    EXPECT_EQ(ReplaceFormatLine(list, 0, Format("Alt", 25)), nullptr);
    EXPECT_EQ(Labels(list), (std::vector<std::string>{"Alt     ", "BRG     ", "SPD     "}));
    EXPECT_EQ(list.At(0).substr(20, 2), "25");
    // Renamed to a label another line has: refused, lines unchanged.
    const auto before = list.Lines();
    EXPECT_STREQ(ReplaceFormatLine(list, 0, Format("spd")), text::kDuplicateFormatOnEdit);
    EXPECT_EQ(list.Lines(), before);
    // Renamed to a free label: the line moves to its sorted place and is selected.
    EXPECT_EQ(ReplaceFormatLine(list, 0, Format("ZZZ")), nullptr);
    EXPECT_EQ(Labels(list), (std::vector<std::string>{"BRG     ", "SPD     ", "ZZZ     "}));
    EXPECT_EQ(list.Selection(), 2);
}

TEST(FormatTableRulesTest, DeletionSelectsTheLineThatMovedUp) {
    LineList list = FormatLines({Format("A"), Format("B"), Format("C")});
    DeleteAndSelectNext(list, 1);
    EXPECT_EQ(Labels(list), (std::vector<std::string>{"A       ", "C       "}));
    EXPECT_EQ(list.Selection(), 1);
    DeleteAndSelectNext(list, 1);  // the last line
    EXPECT_EQ(list.Selection(), LineList::kNone);
    DeleteAndSelectNext(list, 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selection(), LineList::kNone);
}

TEST(FormatTableRulesTest, SavedFormatsCarryWeightsRoundedToSixDecimals) {
    DecimalFormat f = Format("W");
    f.msbWeight = 0.1234567f;
    const auto saved = FormatsOfLines(FormatLines({f}));
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].msbWeight, 0.123457f);
    EXPECT_EQ(saved[0].label, f.label);
}

TEST(ParamTableRulesTest, LabelsAreUniqueAddressesAreNot) {
    LineList list = ParamLines({Param("ALT", 0310, "ALT1")});
    EXPECT_EQ(AddParamLine(list, Param("SPD", 0310)), nullptr);  // same address, other label
    EXPECT_STREQ(AddParamLine(list, Param("Spd", 0206)), text::kDuplicateParamOnAdd);
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_EQ(list.Count(), 2);
    // Editing without changing the label replaces the line even though another shares its address.
    EXPECT_EQ(ReplaceParamLine(list, 0, Param("alt", 0310)), nullptr);
    EXPECT_EQ(list.At(0), "alt            310              ");
    // Renaming onto another label is refused, lines unchanged.
    const auto before = list.Lines();
    EXPECT_STREQ(ReplaceParamLine(list, 0, Param("SPD", 1)), text::kDuplicateParamOnEdit);
    EXPECT_EQ(list.Lines(), before);
    const auto records = ParamsOfLines(list);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].address, 0310);
    EXPECT_TRUE(records[0].formatLabel.IsBlank());
}

}  // namespace
}  // namespace orv
