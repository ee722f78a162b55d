// The head over the trace list: its two lines stand over the list's columns and scroll with them.
#include <QStyle>
#include <gtest/gtest.h>

#include "monitor/mask.h"
#include "monitor/monitor_fixture.h"
#include "monitor/ui/CParamTraceDlg.h"
#include "resources/monitor_strings.h"
#include "resources/ui/grid_font.h"
#include "support/ui/widget_test.h"

namespace orv::ui {
namespace {

TEST(TraceHead, BothLinesStandOverTheListColumnsAndScrollWithThem) {
    ProgramState state;
    test::PutEntry(state.Display, 0, "ALT", 5, 0203, true).maskMode = 1;
    test::AppendTrace(state.Acquisition, 4, 0x0C8000C8u, 7000);
    CParamTraceDlg dlg(state, 0);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    ListHead* head = test::HeadOver(dlg, 1000);
    ASSERT_NE(head, nullptr);
    const QStringList lines = QString::fromUtf8(text::kTraceHead).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(head->HeadLines(), lines);
    const int columns = int(std::max(lines[0].size(), lines[1].size()));
    const std::vector<std::string> ink = test::InkCells(*head, columns);
    ASSERT_EQ(ink.size(), 2u);
    for (int row = 0; row < 2; ++row) EXPECT_EQ(ink[std::size_t(row)], test::InkOf(lines[row], columns)) << row;

    // The head's first cell is the first cell of the list's lines (it scrolls with them as every
    // list head does).
    ListBox* list = head->List();
    const auto listX = [&] {
        const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        return list->viewport()->mapTo(&dlg, QPoint(list->visualItemRect(list->item(0)).left() + margin, 0)).x();
    };
    const auto headX = [&] { return head->mapTo(&dlg, QPoint(head->TextX(), 0)).x(); };
    EXPECT_EQ(headX(), listX());
}

}  // namespace
}  // namespace orv::ui
