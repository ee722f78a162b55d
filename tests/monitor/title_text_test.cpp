// Title pane: its texts and what it draws in each state.
#include <gtest/gtest.h>

#include <algorithm>

#include "text/code_page.h"
#include "monitor/table_rows.h"
#include "monitor/title_text.h"

namespace orv {
namespace {

TEST(TitleTexts, CyclePeriodAndFileChannel) {
    EXPECT_EQ(CycleText(7), Cp1251(" № цикла =          7"));
    EXPECT_EQ(PeriodText(1000), Cp1251(" период  =       1000 мсек"));
    EXPECT_EQ(FileChannelText(3), Cp1251("  Прием файла по каналу №  3"));
}

std::vector<std::string> TextsAt(const TitleDrawing& d, int x, int y) {
    std::vector<std::string> out;
    for (const PlacedText& t : d.texts)
        if (t.x == x && t.y == y) out.push_back(t.text);
    return out;
}

TEST(TitleDrawingTest, BlankIdleAndRewritingStates) {
    TitleValues v;
    TitleDrawing d = DrawTitle(v);  // no board
    EXPECT_TRUE(d.fillWhite);
    EXPECT_TRUE(d.texts.empty());

    v.deviceState = 0;
    for (uint16_t mode : {uint16_t(0), uint16_t(1)}) {
        v.acquisitionMode = mode;  // idle, or parameter reception while the table is rewritten
        d = DrawTitle(v);
        EXPECT_TRUE(d.fillWhite);
        ASSERT_EQ(d.texts.size(), 1u);
        EXPECT_EQ(d.texts[0], (PlacedText{0, 0, Cp1251(" Модуль Orvel")}));
        EXPECT_TRUE(d.lines.empty());
    }
    v.acquisitionMode = 3;
    EXPECT_TRUE(DrawTitle(v).texts.empty());
}

TEST(TitleDrawingTest, ParameterReceptionHeadsStandOverTheTableColumns) {
    TitleValues v{0, 1, 7, 250, 1, 0};
    const TitleDrawing d = DrawTitle(v);
    EXPECT_FALSE(d.fillWhite);
    EXPECT_EQ(TextsAt(d, 756, 16), std::vector<std::string>{CycleText(7)});
    EXPECT_EQ(TextsAt(d, 756, 32), std::vector<std::string>{PeriodText(250)});
    const std::string head2 = TextsAt(d, 0, 32).at(0);
    // "HEX" and "цикла" fall inside the table columns they name.
    EXPECT_GE(head2.find("HEX"), 26u);
    EXPECT_LT(head2.find("HEX"), 39u);
    const std::size_t cycle = head2.find(Cp1251("цикла"));
    EXPECT_GE(cycle, 82u);
    EXPECT_LT(cycle, 93u);
    // Every vertical rule is one of the table's separators.
    int verticals = 0;
    for (const PlacedLine& l : d.lines) {
        if (l.x1 != l.x2) continue;
        ++verticals;
        EXPECT_NE(std::find(kParameterSeparators.begin(), kParameterSeparators.end(), l.x1), kParameterSeparators.end());
        EXPECT_EQ(l.y2, 48);
    }
    EXPECT_EQ(verticals, 9);
    EXPECT_NE(std::find(d.lines.begin(), d.lines.end(), PlacedLine{182, 32, 574, 32}), d.lines.end());
}

TEST(TitleDrawingTest, FileReceptionNamesTheChannel) {
    TitleValues v{0, 2, 7, 1000, 0, 3};
    const TitleDrawing d = DrawTitle(v);
    EXPECT_EQ(TextsAt(d, 427, 0), std::vector<std::string>{FileChannelText(3)});
    EXPECT_EQ(TextsAt(d, 756, 16), std::vector<std::string>{PeriodText(1000)});
    EXPECT_TRUE(TextsAt(d, 756, 32).empty());
    for (const PlacedLine& l : d.lines) {
        if (l.x1 == l.x2) {
            EXPECT_NE(std::find(kStreamSeparators.begin(), kStreamSeparators.end(), l.x1), kStreamSeparators.end());
        }
    }
}

}  // namespace
}  // namespace orv
