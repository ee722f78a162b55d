// Table pane rows: exact columns of the parameter and stream rows, what is drawn per mode, and
// what a right click offers.
#include <gtest/gtest.h>

#include "monitor/table_rows.h"
#include "monitor_fixture.h"

namespace orv {
namespace {

using test::PutEntry;

std::string Cols(const std::string& row, std::size_t from, std::size_t to) { return row.substr(from, to - from + 1); }

TEST(ParameterRow, EveryFieldSitsInItsColumns) {
    DisplayState display;
    AcquisitionState acq;
    BoardImage image;
    DisplayEntry& e = PutEntry(display, 0, "ALT1", 3, 0310, true);
    e.receivedCycle = 42;
    e.receivedWord = 0x0C8000C8;

    const std::string row = ParameterRowText(display, acq, image, 0);
    ASSERT_EQ(row.size(), kParameterRowWidth);
    EXPECT_EQ(Cols(row, 0, 9), "     ALT1 ");
    EXPECT_EQ(Cols(row, 10, 16), "    3  ");
    EXPECT_EQ(Cols(row, 17, 25), "   310   ");
    EXPECT_EQ(Cols(row, 26, 38), "  0x0c8000c8 ");
    EXPECT_EQ(Cols(row, 39, 53), "  001440000310 ");
    EXPECT_EQ(Cols(row, 54, 60), "   00  ");
    EXPECT_EQ(Cols(row, 61, 81), " +1.406250e+002 deg  ");  // cut to 21 by the cycle column
    EXPECT_EQ(Cols(row, 82, 92), "         42");
    EXPECT_EQ(Cols(row, 93, 107), std::string(15, ' '));  // no mask: the count column is empty
    // Each separator falls on a column boundary, with a blank right after it; the last one
    // closes the row.
    for (int x : kParameterSeparators) {
        EXPECT_EQ(x % kColumnPixels, 0);
        if (x != kParameterSeparators.back()) {
            EXPECT_EQ(row[std::size_t(x / kColumnPixels)], ' ') << x;
        }
    }
    EXPECT_EQ(kParameterSeparators.back(), int(kColumnPixels * kParameterRowWidth));
}

TEST(ParameterRow, MaskedRowShowsZeroWordAndTheChannelsMatchCount) {
    DisplayState display;
    AcquisitionState acq;
    BoardImage image;
    DisplayEntry& e = PutEntry(display, 0, "ALT1", 2, 0310, true);
    e.maskMode = 1;
    image.Set32(e.slot, 0xE0C8F0C8);  // what the slot holds is not shown while the mask is set
    acq.MaskMatchCount[1] = 17;
    acq.MaskMatchCount[0] = 99;

    const std::string row = ParameterRowText(display, acq, image, 0);
    ASSERT_EQ(row.size(), kParameterRowWidth);
    EXPECT_EQ(Cols(row, 26, 38), "  0x00000000 ");
    EXPECT_EQ(Cols(row, 39, 53), "  000000000000 ");
    EXPECT_EQ(Cols(row, 54, 60), "   00  ");
    EXPECT_EQ(Cols(row, 61, 81), " +0.000000e+000 deg  ");
    EXPECT_EQ(Cols(row, 93, 107), "            17 ");

    // A masked entry of a channel outside the tables shows 0 rather than reading beyond them.
    e.channel = 9;
    EXPECT_EQ(RowMaskCount(acq, e), 0);
    EXPECT_EQ(ParameterRowText(display, acq, image, 0).size(), kParameterRowWidth);
}

TEST(ParameterRow, MFieldAndBlankDecimalWithoutFormat) {
    DisplayEntry e;
    e.paramLabel.Assign("   VS");
    e.channel = 12;
    e.address = 7;
    const std::string r11 = ParameterRowText(e, 0x60000000, 0);
    const std::string r01 = ParameterRowText(e, 0x20000000, 0);
    EXPECT_EQ(Cols(r11, 54, 60), "   11  ");
    EXPECT_EQ(Cols(r01, 54, 60), "   01  ");
    EXPECT_EQ(Cols(r01, 61, 81), std::string(21, ' '));
    EXPECT_EQ(Cols(r01, 10, 25), "   12     007   ");
    EXPECT_EQ(r01.size(), kParameterRowWidth);
}

TEST(ParameterRow, ValueIsTheLastCompleteWordReceivedNeverTheReleasedSlot) {
    DisplayState display;
    BoardImage image;
    DisplayEntry& e = PutEntry(display, 4, "X", 1, 1);
    image.Set(e.slot, 0x5678);  // a released slot read again: high half 0
    EXPECT_EQ(RowValue(display, image, 4), 0u);  // never received since loaded: 0
    e.receivedCycle = 3;
    e.receivedWord = 0x12345678;
    EXPECT_EQ(RowValue(display, image, 4), 0x12345678u);
    e.receivedCycle = 0;  // edited: the old parameter's word is not shown
    EXPECT_EQ(RowValue(display, image, 4), 0u);
}

TEST(StreamRow, ColumnsAndWordsOfTheCaptureBlock) {
    const std::string row = StreamRowText(7, 0x12345678);
    EXPECT_EQ(row, "  007     170     0x12345678   002215053170    00  ");
    EXPECT_EQ(row.size(), kStreamRowWidth);
    EXPECT_EQ(StreamRowText(255, 0xA0000000).substr(0, 7), "  255  ");
    EXPECT_EQ(StreamRowText(255, 0xC0000000).substr(44), "   10  ");

    BoardImage image;
    image.Set32(0x4200 + 4, 0xCAFE0102);
    EXPECT_EQ(StreamWord(image, 0x4200, 2), 0xCAFE0102u);
}

TEST(TableContentTest, WhatIsDrawnAndWhereTheSeparatorsEnd) {
    DisplayState display;
    for (int r = 0; r < 3; ++r) PutEntry(display, r, "P", 1, uint16_t(r));
    EXPECT_EQ(ContentOf(0, 1), TableContent::White);
    EXPECT_EQ(ContentOf(1, 0), TableContent::NotReady);
    EXPECT_EQ(ContentOf(1, 1), TableContent::Parameters);
    EXPECT_EQ(ContentOf(2, 0), TableContent::Stream);
    EXPECT_EQ(ContentOf(7, 1), TableContent::White);
    EXPECT_EQ(SeparatorBottom(TableContent::Parameters, display.DisplayTable), 48);
    EXPECT_EQ(SeparatorBottom(TableContent::Stream, display.DisplayTable), 4096);
    EXPECT_EQ(DrawnRows(TableContent::NotReady, display.DisplayTable), 0);
}

TEST(RightClick, MenuByColumnAndRow) {
    DisplayState display;
    PutEntry(display, 0, "A", 1, 1);
    PutEntry(display, 1, "B", 2, 1).maskMode = 1;
    PutEntry(display, 2, "C", 3, 1);
    struct Case {
        int x, y;
        Popup popup;
        int row;
    };
    const Case cases[] = {
        {0, 0, Popup::Edit, 0},       {182, 31, Popup::Edit, 1},     {183, 0, Popup::None, 0},
        {200, 16, Popup::None, 1},    {426, 0, Popup::None, 0},      {427, 0, Popup::Format, 0},
        {574, 40, Popup::Format, 2},  {575, 0, Popup::None, 0},      {651, 0, Popup::SetMask, 0},
        {756, 16, Popup::MaskOps, 1}, {757, 16, Popup::None, 1},     {200, 48, Popup::Add, 3},
        {900, 4000, Popup::Add, 250}, {10, 100000, Popup::Add, 6250},
    };
    for (const Case& c : cases) {
        const PopupChoice choice = ChoosePopup(display, c.x, c.y);
        EXPECT_EQ(choice.popup, c.popup) << c.x << "," << c.y;
        EXPECT_EQ(choice.row, c.row) << c.x << "," << c.y;
    }
    display.DisplayListReady = 0;
    EXPECT_EQ(ChoosePopup(display, 0, 0).popup, Popup::PassOn);
}

TEST(RightClick, AddGoesAfterTheLastEntryAndRefusesAFullTable) {
    DisplayState display;
    EXPECT_EQ(FirstFreeRow(display.DisplayTable), 0);
    for (int r = 0; r < 5; ++r) PutEntry(display, r, "P", 1, uint16_t(r));
    EXPECT_EQ(FirstFreeRow(display.DisplayTable), 5);
    for (int r = 0; r < kDisplayRows; ++r) PutEntry(display, r, "P", 1, uint16_t(r));
    EXPECT_EQ(FirstFreeRow(display.DisplayTable), -1);
}

}  // namespace
}  // namespace orv
