// The list dialog and the pick dialog shown as the engineer meets them: focus in the list chooses
// nothing, duplicates are told as "Добавить список" meets them, and the channel box names the
// channel that is added.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "state/program_state.h"
#include "config/param_file.h"
#include "support/scratch_dir.h"
#include "display/table_ops.h"
#include "display/ui/CDisplayListDlg.h"
#include "resources/display_strings.h"
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv {
namespace {

using test::Find;
using test::Press;

constexpr int kList = 1000, kDelete = 1019, kEdit = 1021, kInsert = 1022, kAddList = 1023;
constexpr int kPickChannel = 1002, kPickParams = 1000;

using ui::U;

ParamRecord Param(const char* label, uint16_t address) {
    ParamRecord p;
    p.paramLabel.Assign(label);
    p.address = address;
    return p;
}

class ListDialogFocusTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        // Sorted: ALT (203), HDG (320), VS (212).
        ASSERT_TRUE(SaveParams(std::vector<ParamRecord>{Param("VS", 0212), Param("HDG", 0320), Param("ALT", 0203)}));
    }
    void Row(int row, const char* label, uint16_t channel, uint16_t address) {
        DisplayLineRecord r;
        r.paramLabel.Assign(label);
        r.channel = channel;
        r.address = address;
        ASSERT_EQ(AssignEntry(state.Display, row, r), AssignResult::Assigned);
    }
    ProgramState state;
};

TEST_F(ListDialogFocusTest, AListWithFocusButNoChosenLineAsksForAParameter) {
    Row(0, "ALT", 1, 0203);
    Row(1, "VS", 1, 0212);
    CDisplayListDlg dlg(state);
    auto* list = Find<ui::ListBox>(dlg, kList);
    ASSERT_TRUE(test::ShowAndFocus(dlg, list));
    ui::ScopedScript script;
    Press(dlg, kDelete);
    Press(dlg, kEdit);
    Press(dlg, kInsert);
    EXPECT_EQ(script->MessageTexts(),
              (QStringList{U(text::kDisplayPickParam), U(text::kDisplayPickParam), U(text::kDisplayPickParam)}));
    EXPECT_TRUE(script->dialogClasses.isEmpty());
    EXPECT_EQ(list->Count(), 2);

    // Once the engineer clicks a line, "Удалить" asks about it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    script->Answer(ui::Answer::Ok);
    Press(dlg, kDelete);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kDisplayDeleteQuestion));
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Text(0).substr(0, 3), "ALT");
}

TEST_F(ListDialogFocusTest, AddingAListTellsEachDuplicateWhenTheLoopMeetsIt) {
    Row(0, "HDGX", 2, 0320);
    CDisplayListDlg dlg(state);
    ui::ScopedScript script;
    std::vector<int> linesAtMessage;
    script->onMessage = [&](const ui::MessageRecord&) { linesAtMessage.push_back(Find<ui::ListBox>(dlg, kList)->Count()); };
    script->OnDialog([](QDialog& d) {
        Find<QComboBox>(d, kPickChannel)->setCurrentIndex(1);
        auto* params = Find<ui::ListBox>(d, kPickParams);
        for (int i : {0, 1, 2}) params->SetLineSelected(i, true);  // ALT, HDG (shown), VS
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAddList);
    EXPECT_EQ(script->MessageTexts(), QStringList{U("ОШИБКА: дублирование параметра HDG     ")});
    // ALT was in the list when HDG's message came, VS not yet.
    EXPECT_EQ(linesAtMessage, std::vector<int>{2});
    EXPECT_EQ(Find<ui::ListBox>(dlg, kList)->Count(), 3);
}

TEST_F(ListDialogFocusTest, ThePickDialogTakesTheTypedChannelOrRefusesIt) {
    CDisplayListDlg dlg(state);
    ui::ScopedScript script;
    script->OnDialog([&](QDialog& d) {
        auto* channel = Find<QComboBox>(d, kPickChannel);
        auto* params = Find<ui::ListBox>(d, kPickParams);
        ASSERT_TRUE(test::ShowAndFocus(d, params));
        EXPECT_TRUE(params->SelectedLines().empty());  // focus picks no parameter
        params->SetLineSelected(0, true);
        for (const char* bad : {"9", "0", "x", "4a", ""}) {
            channel->setEditText(QString::fromLatin1(bad));
            Press(d, ui::kIdOk);
            EXPECT_TRUE(d.isVisible()) << bad;
        }
        EXPECT_EQ(script->MessageTexts(), QStringList(5, U(text::kDisplayBadChannel)));
        channel->setEditText(QStringLiteral("4"));
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAddList);
    ASSERT_EQ(Find<ui::ListBox>(dlg, kList)->Count(), 1);
    EXPECT_EQ(Find<ui::ListBox>(dlg, kList)->Text(0), "ALT            04        203               ");

    // A chosen item still names its own channel.
    script->OnDialog([&](QDialog& d) {
        Find<QComboBox>(d, kPickChannel)->setCurrentIndex(6);
        Find<ui::ListBox>(d, kPickParams)->SetLineSelected(2, true);
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAddList);
    ASSERT_EQ(Find<ui::ListBox>(dlg, kList)->Count(), 2);
    EXPECT_EQ(Find<ui::ListBox>(dlg, kList)->Text(1), "VS             07        212               ");
}

}  // namespace
}  // namespace orv
