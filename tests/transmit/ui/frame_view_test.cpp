// The frame dialog as the engineer sees it: focus in the list chooses no line, a long frame line
// can be scrolled to its end, and the column head scrolls with the list.
#include <QDialog>
#include <QScrollBar>
#include <QStyle>
#include <gtest/gtest.h>

#include "state/program_state.h"
#include "resources/transmit_strings.h"
#include "resources/ui/text_codec.h"
#include "support/example_formats.h"
#include "support/ui/widget_test.h"
#include "transmit/frame_line.h"
#include "transmit/ui/COutputFrameDlg.h"

namespace orv {
namespace {

using test::Find;
using test::Press;

constexpr int kList = 1000, kDelete = 1019, kEdit = 1021, kInsert = 1022;

class FrameViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.Shell.DeviceState = 0;
        state.Board.OutputChannelCount = 2;
        // Two words, the second with a format whose line runs past column 140.
        auto& frame = state.Transmit.StoredFrames[0];
        for (uint16_t i = 0; i < 2; ++i) {
            frame[i].number = i;
            frame[i].endFlag = 0;
            frame[i].paramLabel.Assign("W");
            frame[i].address = 1;
            frame[i].word = ComposeWord(0x100u + i, 1);
        }
        DecimalFormat f = test::Alt1Format();
        f.msbWeight = 65536.0f;
        frame[1].format = f;
        frame[1].formatLabel = f.label;
    }
    ProgramState state;
};

TEST_F(FrameViewTest, FocusInTheFrameChoosesNoLine) {
    COutputFrameDlg dlg(state, 1);
    auto* list = Find<ui::ListBox>(dlg, kList);
    ASSERT_TRUE(test::ShowAndFocus(dlg, list));
    ui::ScopedScript script;
    Press(dlg, kDelete);
    Press(dlg, kEdit);
    Press(dlg, kInsert);
    EXPECT_EQ(script->MessageTexts(), QStringList(3, QString::fromUtf8(text::kPickParameter)));
    EXPECT_EQ(list->Count(), 2);
}

TEST_F(FrameViewTest, ALongLineScrollsToItsEndUnderAHeadThatFollows) {
    COutputFrameDlg dlg(state, 1);
    auto* list = Find<ui::ListBox>(dlg, kList);
    ui::ListHead* head = dlg.findChild<ui::ListHead*>();
    ASSERT_NE(head, nullptr);
    dlg.show();
    QCoreApplication::processEvents();
    const QString line = ui::FromCp1251(list->Text(1));
    ASSERT_GT(line.size(), 140);
    ASSERT_TRUE(line.contains(QStringLiteral("65536.0")));  // the weight column, whole
    const int textWidth = list->fontMetrics().horizontalAdvance(line);
    QScrollBar* bar = list->horizontalScrollBar();
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    // The whole line fits its item, and its last character is inside the viewport.
    const QRect item = list->visualItemRect(list->item(1));
    EXPECT_GE(item.width(), textWidth);
    EXPECT_LE(item.left() + textWidth, list->viewport()->width());
    // The head moved by as much as the lines did.
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    EXPECT_EQ(head->mapTo(&dlg, QPoint(head->TextX(), 0)).x(),
              list->viewport()->mapTo(&dlg, QPoint(item.left() + margin, 0)).x());
    EXPECT_EQ(head->HeadLines(), (QStringList{QString::fromUtf8(text::kFrameHeading1),
                                              QString::fromUtf8(text::kFrameHeading2)}));
}

}  // namespace
}  // namespace orv
