// The format table and the dictionary shown with the focus in their list: no line is chosen
// until the engineer chooses one, so "Удалить" and "Редактировать" ask for a line first.
#include <QDialog>
#include <gtest/gtest.h>

#include "config/format_file.h"
#include "config/param_file.h"
#include "support/scratch_dir.h"
#include "config/ui/format_dialogs.h"
#include "config/ui/param_dialogs.h"
#include "resources/config_strings.h"
#include "support/example_formats.h"
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv {
namespace {

using test::Find;
using test::Press;

using ui::U;

class TableFocusTest : public test::ScratchDir {};

// Focus in list `list`, then the buttons `edit` and `remove` ask for a line; a click on line 1
// and `remove` asks whether to delete it.
void CheckFocusChoosesNothing(QDialog& dlg, int list, int edit, int remove, const char* pick, const char* question) {
    auto* box = Find<ui::ListBox>(dlg, list);
    ASSERT_NE(box, nullptr);
    ASSERT_GE(box->Count(), 2);
    ASSERT_TRUE(test::ShowAndFocus(dlg, box));
    ui::ScopedScript script;
    Press(dlg, edit);
    Press(dlg, remove);
    EXPECT_EQ(script->MessageTexts(), (QStringList{U(pick), U(pick)}));
    EXPECT_TRUE(script->dialogClasses.isEmpty());
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->visualItemRect(box->item(1)).center());
    Press(dlg, remove);  // the question is answered Cancel
    EXPECT_EQ(script->MessageTexts().last(), U(question));
}

TEST_F(TableFocusTest, TheFormatTableChoosesNoFormatOnFocus) {
    DecimalFormat spd = test::Alt1Format();
    spd.label.Assign("SPD");
    ASSERT_TRUE(SaveFormats(std::vector<DecimalFormat>{spd, test::Alt1Format()}));
    CFormatTableDlg dlg;
    CheckFocusChoosesNothing(dlg, 1011, 1022, 1021, text::kPickFormat, text::kDeleteFormatQuestion);
}

TEST_F(TableFocusTest, TheDictionaryChoosesNoParameterOnFocus) {
    ParamRecord a, b;
    a.paramLabel.Assign("ALT");
    a.address = 0203;
    b.paramLabel.Assign("VS");
    b.address = 0212;
    ASSERT_TRUE(SaveParams(std::vector<ParamRecord>{a, b}));
    CParamDictDlg dlg;
    CheckFocusChoosesNothing(dlg, 1000, 1021, 1019, text::kPickParam, text::kDeleteParamQuestion);
}

}  // namespace
}  // namespace orv
