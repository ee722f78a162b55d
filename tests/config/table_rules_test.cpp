// What the format table and the dictionary do to their lines on add, edit and delete.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/code_page.h"

#include "config/table_rules.h"
#include "resources/config_strings.h"
#include "config/format_line.h"

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

// The whole-table checks (a file's duplicates, its list) against the dialogs' own adds, one line
// at a time, on random tables: labels of Latin and Cyrillic letters of both cases (Ё and Е differ,
// ґ and Ґ do not), blanks, a zero byte inside, and many copies of earlier labels in the other case.
TEST(FormatTableRulesTest, WholeTableChecksGiveWhatAddingLineByLineGives) {
    std::mt19937 rng(17);
    const std::string alphabet("aAbZz \xE0\xC0\xB8\xA8\xE5\xC5\xB4\xA5\xFF\xDF\xBF\xAF\0", 19);
    std::vector<Label8> labels;
    auto label = [&] {
        if (!labels.empty() && rng() % 3 == 0) {
            // An earlier label, in capitals: a duplicate whatever case it had.
            std::string copy(labels[rng() % labels.size()].View());
            for (char& c : copy) c = UpperCp1251(c);
            labels.emplace_back();
            labels.back().AssignRaw(copy.data());
            return labels.back();
        }
        char raw[8];
        const std::size_t length = rng() % 9;
        for (std::size_t i = 0; i < 8; ++i) raw[i] = i < length ? alphabet[rng() % alphabet.size()] : ' ';
        labels.emplace_back();
        labels.back().AssignRaw(raw);
        return labels.back();
    };
    for (int round = 0; round < 300; ++round) {
        const std::size_t n = rng() % 80;
        std::vector<DecimalFormat> formats;
        std::vector<ParamRecord> params;
        for (std::size_t i = 0; i < n; ++i) {
            formats.push_back(Format("", uint16_t(9 + rng() % 21)));
            formats.back().label = label();
            params.push_back(Param("", uint16_t(rng() % 256), rng() % 2 ? "ALT" : ""));
            params.back().paramLabel = label();
        }
        LineList formatList(true), paramList(true), allFormats(true), allParams(true);
        std::vector<const char*> formatRefusals, paramRefusals;
        for (std::size_t i = 0; i < n; ++i) {
            formatRefusals.push_back(AddFormatLine(formatList, formats[i]));
            paramRefusals.push_back(AddParamLine(paramList, params[i]));
            allFormats.Add(RenderFormatLine(formats[i]));
            allParams.Add(RenderParamLine(params[i]));
        }
        ASSERT_EQ(FormatLabelClashes(formats), formatRefusals) << "round " << round;
        ASSERT_EQ(ParamLabelClashes(params), paramRefusals) << "round " << round;
        ASSERT_EQ(FormatLines(formats).Lines(), allFormats.Lines()) << "round " << round;
        ASSERT_EQ(ParamLines(params).Lines(), allParams.Lines()) << "round " << round;
    }
    // The first of two is kept, and a Cyrillic label is a duplicate in the other case.
    // (Compared as texts: each translation unit may hold its own copy of a message literal.)
    const auto texts = [](const std::vector<const char*>& messages) {
        std::vector<std::string> out;
        for (const char* m : messages) out.push_back(m ? m : "(none)");
        return out;
    };
    EXPECT_EQ(texts(FormatLabelClashes({Format("\xC0\xCB\xD2"), Format("ALT"), Format("\xE0\xEB\xF2"), Format("alt")})),
              texts({nullptr, nullptr, text::kDuplicateFormatOnAdd, text::kDuplicateFormatOnAdd}));
}

}  // namespace
}  // namespace orv
