// The editor's validation and the list dialogs' decisions on their working copies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/list_rules.h"
#include "display/table_ops.h"
#include "resources/display_strings.h"
#include "config/param_line.h"

namespace orv {
namespace {

DisplayParamFields Fields(const char* label, const char* channel, const char* address, const char* format = "") {
    return {std::string(label), std::string(channel), std::string(address), std::string(format)};
}

DisplayLineRecord Record(const char* label, uint16_t channel, uint16_t address, const char* format = "") {
    DisplayLineRecord r;
    r.paramLabel.Assign(label);
    r.channel = channel;
    r.address = address;
    r.formatLabel.Assign(format);
    return r;
}

std::string ParamLine(const char* label, uint16_t address, const char* format = "") {
    ParamRecord p;
    p.paramLabel.Assign(label);
    p.address = address;
    p.formatLabel.Assign(format);
    return RenderParamLine(p);
}

LineList ListOf(std::initializer_list<DisplayLineRecord> records) {
    LineList list;
    for (const auto& r : records) list.Add(RenderDisplayLine(r));
    return list;
}

TEST(DisplayParamEditor, ChecksAddressThenChannelThenLabel) {
    struct Case {
        DisplayParamFields fields;
        const char* error;
    };
    const Case cases[] = {
        {Fields("", "", ""), text::kDisplayBadAddress},
        {Fields("A", "1", "400"), text::kDisplayBadAddress},
        {Fields("A", "1", " x1"), text::kDisplayBadAddress},
        {Fields("", "", "377"), text::kDisplayBadChannel},
        {Fields("A", "9", "10"), text::kDisplayBadChannel},
        {Fields("A", "0", "10"), text::kDisplayBadChannel},
        {Fields("A", "-1", "10"), text::kDisplayBadChannel},
        {Fields("   ", " 8 ", "10"), text::kDisplayNoParamLabel},
        {{std::nullopt, std::string("1"), std::string("1"), std::nullopt}, text::kDisplayNoParamLabel},
        {{std::string("A"), std::nullopt, std::string("1"), std::nullopt}, text::kDisplayBadChannel},
    };
    for (const auto& c : cases) {
        const auto check = CheckDisplayParamFields(c.fields);
        EXPECT_STREQ(check.error, c.error) << c.fields.channel.value_or("?") << "/" << c.fields.address.value_or("?");
    }

    const auto ok = CheckDisplayParamFields(Fields(" AB CD ", " 2", " 310 ", " ALT1 x"));
    ASSERT_TRUE(ok.ok());
    EXPECT_EQ(ok.record, Record("AB", 2, 0310, "ALT1"));
    EXPECT_EQ(CheckDisplayParamFields(Fields("P", "8", "0", "  ")).record.formatLabel.View(), "        ");
}

TEST(DisplayParamEditor, FieldsOfALineAndOfATableRow) {
    const auto f = FieldsOfDisplayLine("ALT1           03        310       ALT1    ");
    EXPECT_EQ(*f.paramLabel, "ALT1    ");
    EXPECT_EQ(*f.channel, "03");
    EXPECT_EQ(*f.address, "310");
    EXPECT_EQ(*f.formatLabel, "ALT1    ");
    EXPECT_EQ(CheckDisplayParamFields(f).record, Record("ALT1", 3, 0310, "ALT1"));

    DisplayEntry e;
    e.paramLabel.Assign("HDG");
    e.channel = 5;
    e.address = 0320;
    const auto g = FieldsOfEntry(e);
    EXPECT_EQ(*g.channel, "5");
    EXPECT_EQ(*g.address, "320");
    EXPECT_EQ(*g.formatLabel, "        ");
}

TEST(DisplayListRules, DeletingSelectsTheLineThatMovesUpOrTheNewLast) {
    LineList list = ListOf({Record("P0", 1, 0), Record("P1", 1, 1), Record("P2", 1, 2), Record("P3", 1, 3),
                            Record("P4", 1, 4)});
    DeleteDisplayLine(list, 4);
    EXPECT_EQ(list.Selection(), 3);
    DeleteDisplayLine(list, 1);
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_EQ(list.At(1).substr(0, 2), "P2");
    DeleteDisplayLine(list, 0);
    DeleteDisplayLine(list, 0);
    DeleteDisplayLine(list, 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selection(), LineList::kNone);
}

TEST(DisplayListRules, FullListsRefuseAndPickedListsStopAt256) {
    LineList list;
    for (int i = 0; i < 256; ++i) list.Add(RenderDisplayLine(Record("P", uint16_t(1 + i / 128), uint16_t(i % 128))));
    EXPECT_TRUE(ListFull(list));
    EXPECT_STREQ(AddDisplayLine(list, Record("X", 8, 1)), text::kDisplayListFull);
    EXPECT_STREQ(InsertDisplayLine(list, 0, Record("X", 8, 1)), text::kDisplayListFull);
    EXPECT_TRUE(AddPickedLines(list, 8, {ParamLine("X", 1)}).empty());
    EXPECT_EQ(list.Count(), 256);

    EXPECT_EQ(*PickLimitMessage(250, 7), "В списке может быть выделено не более 6 параметров.");
    EXPECT_FALSE(PickLimitMessage(250, 6).has_value());
    EXPECT_EQ(*PickLimitMessage(0, 257), "В списке может быть выделено не более 256 параметров.");
}

TEST(DisplayListRules, PickedParametersAreAddedExceptTheOnesAlreadyShown) {
    LineList list = ListOf({Record("ALT", 2, 0203), Record("HDG", 1, 0320)});
    list.Select(1);
    const auto messages = AddPickedLines(list, 2,
                                         {ParamLine("HDG", 0320, "HDG"), ParamLine("ALT2", 0203), ParamLine("HIGH", 0400),
                                          ParamLine("HDG2", 0320)});
    // The second HDG clashes with the first one added in this same run; a dictionary address
    // above 0377 names no label slot and is refused as the editor refuses it.
    EXPECT_EQ(messages, (std::vector<std::string>{"ОШИБКА: дублирование параметра ALT2    ", "ОШИБКА: адрес параметра",
                                                  "ОШИБКА: дублирование параметра HDG2    "}));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(2), "HDG            02        320       HDG     ");
    EXPECT_EQ(list.Selection(), 1);

    EXPECT_EQ(ChannelItems(true, 4), (std::vector<std::string>{" 1", " 2", " 3", " 4"}));
    EXPECT_EQ(ChannelItems(false, 4).size(), 8u);
    EXPECT_EQ(ChannelItems(true, 12).size(), 8u);
}

TEST(DisplayListRules, TableLinesAndFileRecords) {
    DisplayState display;
    ASSERT_EQ(AssignEntry(display, 0, Record("ALT1", 3, 0310, "ALT1"), "none.stt"), AssignResult::Assigned);
    ASSERT_EQ(AssignEntry(display, 1, Record("B", 8, 0), "none.stt"), AssignResult::Assigned);
    const LineList lines = DisplayLines(display.DisplayTable);
    ASSERT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.At(0), "ALT1            3        310       ALT1    ");
    EXPECT_FALSE(lines.Sorted());

    const auto records = RecordsOfLines(lines);
    EXPECT_EQ(records[0], Record("ALT1", 3, 0310, "ALT1"));
    std::vector<DisplayLineRecord> file(records);
    file.push_back(Record("CH0", 0, 1));
    file.push_back(Record("ADDR", 1, 256));
    DisplayLineRecord zero = Record("", 1, 7);
    zero.paramLabel.AssignRaw("\0\0\0\0\0\0\0\0");
    file.push_back(zero);
    // Lines with no label slot are shown; loading the list refuses them.
    const auto restored = LinesOfRecords(file);
    ASSERT_EQ(restored.size(), 5u);
    EXPECT_EQ(restored[0], "ALT1           03        310       ALT1    ");
    EXPECT_EQ(restored[2], "CH0            00        001               ");
    EXPECT_EQ(restored[3], "ADDR           01        400               ");
    EXPECT_EQ(restored[4], "               01        007               ");

    std::vector<DisplayLineRecord> many(300, Record("P", 1, 1));
    EXPECT_EQ(LinesOfRecords(many).size(), 256u);
}

}  // namespace
}  // namespace orv
