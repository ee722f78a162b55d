// The list box shared by every list dialog: what chooses a line, whole lines, and the column head
// that scrolls with its list.
#include <QDialog>
#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "support/ui/widget_test.h"

namespace orv {
namespace {

struct ListWindow {
    explicit ListWindow(bool multiple = false) {
        list = new ui::ListBox(false, &window);
        list->SetMultipleSelection(multiple);
        head = new ui::ListHead(list, {QStringLiteral("head-one"), QStringLiteral("head-two")}, &window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(head);
        layout->addWidget(list);
        window.resize(300, 200);
    }
    QDialog window;
    ui::ListBox* list;
    ui::ListHead* head;
};

TEST(ListBox, FocusAloneChoosesNothingAClickOrAKeyDoes) {
    ListWindow w;
    for (const char* line : {"ALT", "VS", "HDG"}) w.list->AddLine(line);
    ASSERT_TRUE(test::ShowAndFocus(w.window, w.list));
    EXPECT_EQ(w.list->Selection(), LineList::kNone);
    EXPECT_TRUE(w.list->selectedItems().isEmpty());

    // The first key that moves in the list chooses the first line.
    QTest::keyClick(w.list, Qt::Key_Down);
    EXPECT_EQ(w.list->Selection(), 0);
    QTest::keyClick(w.list, Qt::Key_Down);
    EXPECT_EQ(w.list->Selection(), 1);

    // A click chooses the line under the pointer.
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, w.list->visualItemRect(w.list->item(2)).center());
    EXPECT_EQ(w.list->Selection(), 2);

    // Focus that leaves and comes back keeps the chosen line.
    w.head->setFocusPolicy(Qt::StrongFocus);
    w.head->setFocus(Qt::TabFocusReason);
    w.list->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.list->Selection(), 2);

    // A deleted choice leaves nothing chosen, and focus does not choose again.
    w.list->DeleteLine(2);
    EXPECT_EQ(w.list->Selection(), LineList::kNone);
    w.head->setFocus(Qt::TabFocusReason);
    w.list->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.list->Selection(), LineList::kNone);
}

TEST(ListBox, LongLinesAreWholeAndTheHeadScrollsWithThem) {
    ListWindow w;
    const std::string longLine = std::string(150, '7') + "512.000";
    w.list->AddLine("short");
    w.list->AddLine(longLine);
    w.list->AddLine("mid " + std::string(40, '-'));
    w.window.show();
    QCoreApplication::processEvents();

    const QFontMetrics metrics(w.list->font());
    const int textWidth = metrics.horizontalAdvance(QString::fromStdString(longLine));
    // The longest line's item holds its whole text, unelided, whatever line came first.
    EXPECT_EQ(w.list->textElideMode(), Qt::ElideNone);
    EXPECT_GE(w.list->visualItemRect(w.list->item(1)).width(), textWidth);
    // Scrolled fully right, the end of the longest line is inside the viewport.
    QScrollBar* bar = w.list->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    const QRect item = w.list->visualItemRect(w.list->item(1));
    EXPECT_LE(item.left() + textWidth, w.list->viewport()->width());

    // The head's first cell stands over the lines' first cell, scrolled or not.
    const auto listTextX = [&] {
        const int margin = w.list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w.list) + 1;
        return w.list->viewport()->mapTo(&w.window, QPoint(w.list->visualItemRect(w.list->item(0)).left() + margin, 0)).x();
    };
    const auto headTextX = [&] { return w.head->mapTo(&w.window, QPoint(w.head->TextX(), 0)).x(); };
    EXPECT_EQ(headTextX(), listTextX());
    bar->setValue(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(headTextX(), listTextX());
    bar->setValue(ui::kCellWidth * 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(headTextX(), listTextX());
    EXPECT_LT(headTextX(), 0);
}

// A head text holding a line break is two rows, each from the list's first column; scrolled, both
// rows move with the list's lines.
TEST(ListBox, AHeadTextOfSeveralLinesDrawsEachOnItsOwnRow) {
    QDialog window;
    auto* list = new ui::ListBox(false, &window);
    auto* head = new ui::ListHead(list, {QStringLiteral(" ab  c\nd  efg"), QStringLiteral("h")}, &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(head);
    layout->addWidget(list);
    list->AddLine(std::string(120, 'x'));
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(head->HeadLines(), (QStringList{QStringLiteral(" ab  c"), QStringLiteral("d  efg"), QStringLiteral("h")}));
    EXPECT_EQ(head->sizeHint().height(), 3 * ui::kRowHeight + 2);
    const std::vector<std::string> before = test::InkCells(*head, 8);
    EXPECT_EQ(before, (std::vector<std::string>{" ##  #  ", "#  ###  ", "#       "}));

    // Scrolled by two cells, every row has moved two cells left with the list's lines (the cells
    // now left of the list's viewport are cut off).
    QScrollBar* bar = list->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 2 * ui::kCellWidth);
    const int x = head->TextX();
    bar->setValue(2 * ui::kCellWidth);
    QCoreApplication::processEvents();
    EXPECT_EQ(head->TextX(), x - 2 * ui::kCellWidth);
    const std::vector<std::string> after = test::InkCells(*head, 8);
    ASSERT_EQ(after.size(), 3u);
    for (std::size_t row = 0; row < 3; ++row) EXPECT_EQ(after[row].substr(2), before[row].substr(2)) << row;
}

}  // namespace
}  // namespace orv
