// The mask dialog as the engineer meets it: the head's bit numbers over their edits, and typing
// into the edits as the dialog opens.
#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "monitor/mask.h"
#include "monitor/ui/monitor_dialogs.h"
#include "resources/ui/grid_font.h"
#include "support/ui/widget_test.h"

namespace orv::ui {
namespace {

using test::Find;

TEST(MaskDialogLayout, EveryBitNumberOfTheHeadStandsOverItsEdit) {
    CInputMaskDlg dlg(0);
    dlg.show();
    QCoreApplication::processEvents();
    const QLabel* head = dlg.Head();
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->font().family(), GridFont().family());
    const QString text = head->text();
    const QFontMetricsF metrics(head->font());
    const QPoint headOrigin = head->mapTo(&dlg, head->contentsRect().topLeft());
    int numbers = 0;
    for (int bit = 31; bit >= 9; bit -= 2) {
        const QString number = QString::number(bit);
        const qsizetype at = bit == 9 ? text.lastIndexOf(QStringLiteral(" 9")) + 1 : text.indexOf(number);
        ASSERT_EQ(text.mid(at, number.size()), number);
        ASSERT_GE(at, 0) << bit;
        // Where the number's glyphs are drawn, in dialog pixels.
        const double centre =
            headOrigin.x() + metrics.horizontalAdvance(text.left(at)) + metrics.horizontalAdvance(number) / 2;
        const int k = 31 - bit;  // the edit of that bit, from the left
        const QLineEdit* edit = Find<QLineEdit>(dlg, kMaskEditIds[std::size_t(k)]);
        ASSERT_NE(edit, nullptr);
        const QRect r(edit->mapTo(&dlg, QPoint(0, 0)), edit->size());
        EXPECT_GE(centre, r.left() + 2) << "bit " << bit;
        EXPECT_LE(centre, r.right() - 2) << "bit " << bit;
        // Under the number, not above or beside it.
        EXPECT_GT(r.top(), headOrigin.y()) << "bit " << bit;
        ++numbers;
    }
    EXPECT_EQ(numbers, 12);
    // The edits stand in order, none over another, all inside the dialog.
    EXPECT_GE(Find<QLineEdit>(dlg, kMaskEditIds[0])->geometry().left(), 0);
    for (int k = 1; k < kMaskBits; ++k) {
        const QLineEdit* left = Find<QLineEdit>(dlg, kMaskEditIds[std::size_t(k - 1)]);
        const QLineEdit* right = Find<QLineEdit>(dlg, kMaskEditIds[std::size_t(k)]);
        EXPECT_LE(left->geometry().right(), right->geometry().left()) << k;
    }
}

TEST(MaskDialogTyping, ABitTypedAsTheDialogOpensReplacesItsCharacterAndMovesOn) {
    CInputMaskDlg dlg(0);
    ASSERT_TRUE(test::ShowAndFocus(dlg, nullptr));
    QLineEdit* bit31 = Find<QLineEdit>(dlg, 1030);
    QLineEdit* bit30 = Find<QLineEdit>(dlg, 1031);
    QLineEdit* bit29 = Find<QLineEdit>(dlg, 1009);
    ASSERT_EQ(QApplication::focusWidget(), bit31);
    // Nothing selected, the cursor wherever the edit put it: "1" replaces the "x".
    bit31->deselect();
    bit31->end(false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    EXPECT_EQ(bit31->text(), QStringLiteral("1"));
    EXPECT_EQ(QApplication::focusWidget(), bit30);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_0);
    EXPECT_EQ(bit30->text(), QStringLiteral("0"));
    EXPECT_EQ(QApplication::focusWidget(), bit29);
    QTest::keyClick(QApplication::focusWidget(), 'X');
    EXPECT_EQ(bit29->text(), QStringLiteral("X"));

    // Click into an edit, then type.
    QLineEdit* bit20 = Find<QLineEdit>(dlg, 1018);
    QTest::mouseClick(bit20, Qt::LeftButton, {}, bit20->rect().center());
    bit20->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(bit20, Qt::Key_0);
    EXPECT_EQ(bit20->text(), QStringLiteral("0"));
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(dlg, 1019));

    // Anything else still follows the change rule: a 2 or an emptied edit is "x".
    QLineEdit* bit19 = Find<QLineEdit>(dlg, 1019);
    bit19->selectAll();
    QTest::keyClick(bit19, Qt::Key_2);
    EXPECT_EQ(bit19->text(), QStringLiteral("x"));
    bit19->selectAll();
    QTest::keyClick(bit19, Qt::Key_Delete);
    EXPECT_EQ(bit19->text(), QStringLiteral("x"));
    bit31->setText(QStringLiteral("x1"));
    EXPECT_EQ(bit31->text(), QStringLiteral("x"));

    EXPECT_EQ(dlg.Bits().substr(0, 3), "x0X");
    EXPECT_EQ(dlg.Bits()[11], '0');  // bit 20
}

}  // namespace
}  // namespace orv::ui
