// The parameter dictionary and the entry editor, driven through their controls.
#include <QDialog>
#include <gtest/gtest.h>

#include "config/format_file.h"
#include "config/param_file.h"
#include "support/scratch_dir.h"
#include "config/ui/config_commands.h"
#include "config/ui/param_dialogs.h"
#include "resources/config_strings.h"
#include "support/ui/widget_test.h"
#include "support/example_formats.h"
#include "resources/ui/text_codec.h"

namespace orv {
namespace {

using test::Find;
using test::Press;
using test::Type;

constexpr int kList = 1000, kAdd = 1020, kDelete = 1019, kEdit = 1021;
constexpr int kLabel = 1025, kAddress = 1022, kFormatLabel = 1005, kClearFormat = 1021, kFormats = 1011;

using ui::U;

void TypeIntoEditor(ui::Script& s, const QString& label, const QString& address) {
    s.OnDialog([label, address](QDialog& d) {
        EXPECT_NE(qobject_cast<CParamEditDlg*>(&d), nullptr);
        Type(d, kLabel, label);
        Type(d, kAddress, address);
        Press(d, ui::kIdOk);
    });
}

const std::vector<std::string>& Lines(const QWidget& dlg) { return Find<ui::ListBox>(dlg, kList)->Lines().Lines(); }

class ParamDialogsTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        const DecimalFormat f = test::Alt1Format();
        DecimalFormat g = f;
        g.label.Assign("SPD");
        ASSERT_TRUE(SaveFormats(std::vector<DecimalFormat>{g, f}));
    }
};

TEST_F(ParamDialogsTest, TwoEntriesAreSavedAs48BytesInAlphabeticalOrder) {
    CParamDictDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), U(text::kParamDictTitle));
    ui::ScopedScript script;
    TypeIntoEditor(*script, "zeta", " 310 ");
    Press(dlg, kAdd);
    TypeIntoEditor(*script, "AB CD", "310");  // same address, another label
    Press(dlg, kAdd);
    EXPECT_EQ(Lines(dlg), (std::vector<std::string>{"AB CD          310              ",
                                                     "zeta           310              "}));
    Press(dlg, ui::kIdOk);
    EXPECT_TRUE(script->MessageTexts().isEmpty());
    const auto bytes = ReadBytes(kParamFileName);
    ASSERT_EQ(bytes.size(), 48u);
    EXPECT_EQ(bytes[4], 0xC8);
    EXPECT_EQ(std::string(bytes.begin() + 15, bytes.begin() + 24), std::string("AB CD   \0", 9));
    EXPECT_EQ(std::string(bytes.begin() + 39, bytes.begin() + 47), "zeta    ");
}

TEST_F(ParamDialogsTest, TheEditorPicksAndClearsTheFormatAndRefusesBadAddresses) {
    CParamEditDlg ed;
    ed.SetFields(ParamFields{"", "", ""});
    ed.show();
    auto* formats = Find<ui::ListBox>(ed, kFormats);
    ASSERT_EQ(formats->Count(), 2);
    EXPECT_EQ(formats->Text(0).substr(0, 8), "ALT1    ");  // sorted
    test::DoubleClick(ed, kFormats, 1);
    EXPECT_EQ(test::TextOf(ed, kFormatLabel).trimmed(), "SPD");

    ui::ScopedScript script;
    Type(ed, kLabel, "ALT");
    Type(ed, kAddress, "400");
    Press(ed, ui::kIdOk);
    Type(ed, kAddress, "9");
    Press(ed, ui::kIdOk);
    Type(ed, kAddress, "");
    Press(ed, ui::kIdOk);
    Type(ed, kAddress, "377");
    Type(ed, kLabel, "  ");
    Press(ed, ui::kIdOk);
    EXPECT_EQ(script->MessageTexts(), (QStringList{U(text::kBadAddress), U(text::kBadAddress),
                                                   U(text::kBadAddress), U(text::kNoParamLabel)}));
    EXPECT_TRUE(ed.isVisible());

    Type(ed, kLabel, "ALT");
    Press(ed, ui::kIdOk);
    ASSERT_TRUE(ed.Result().has_value());
    EXPECT_EQ(ed.Result()->address, 255);
    EXPECT_EQ(ed.Result()->formatLabel.View(), "SPD     ");
}

TEST_F(ParamDialogsTest, ClearingTheFormatGivesEightBlanks) {
    CParamDictDlg dlg;
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {
        Type(d, kLabel, "P1");
        Type(d, kAddress, "10");
        test::DoubleClick(d, kFormats, 0);
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAdd);
    ASSERT_EQ(Lines(dlg).size(), 1u);
    EXPECT_EQ(Lines(dlg)[0].substr(24), "ALT1    ");

    Find<ui::ListBox>(dlg, kList)->Select(0);
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(test::TextOf(d, kLabel), "P1");
        EXPECT_EQ(test::TextOf(d, kAddress), "010");
        EXPECT_EQ(test::TextOf(d, kFormatLabel), "ALT1");
        Press(d, kClearFormat);
        Press(d, ui::kIdOk);
    });
    Press(dlg, kEdit);
    EXPECT_EQ(Lines(dlg)[0].substr(24), "        ");
    Press(dlg, ui::kIdOk);
    const auto saved = LoadParams();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].formatLabel.View(), "        ");
}

TEST_F(ParamDialogsTest, DuplicatesOnAddAndEditLeaveTheListUnchanged) {
    CParamDictDlg dlg;
    ui::ScopedScript script;
    TypeIntoEditor(*script, "ALT", "310");
    Press(dlg, kAdd);
    TypeIntoEditor(*script, "SPD", "206");
    Press(dlg, kAdd);
    TypeIntoEditor(*script, "spd", "1");
    Press(dlg, kAdd);
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kDuplicateParamOnAdd)});
    EXPECT_EQ(Find<ui::ListBox>(dlg, kList)->Selection(), 1);
    const auto before = Lines(dlg);

    // Renaming ALT to spd: a question, and either answer changes nothing.
    for (ui::Answer a : {ui::Answer::Ok, ui::Answer::Cancel}) {
        Find<ui::ListBox>(dlg, kList)->Select(0);
        TypeIntoEditor(*script, "spd", "310");
        script->Answer(a);
        Press(dlg, kEdit);
        EXPECT_EQ(script->messages.back().text, U(text::kDuplicateParamOnEdit));
        EXPECT_EQ(script->messages.back().buttons, ui::Buttons::OkCancel);
        EXPECT_EQ(Lines(dlg), before);
    }

    // Changing only the letter case replaces the line.
    Find<ui::ListBox>(dlg, kList)->Select(0);
    TypeIntoEditor(*script, "Alt", "311");
    Press(dlg, kEdit);
    EXPECT_EQ(Lines(dlg)[0].substr(0, 18), "Alt            311");

    // Delete with no selection, then the last line.
    Find<ui::ListBox>(dlg, kList)->Select(LineList::kNone);
    Press(dlg, kDelete);
    EXPECT_EQ(script->messages.back().text, U(text::kPickParam));
    Find<ui::ListBox>(dlg, kList)->Select(1);
    script->Answer(ui::Answer::Ok);
    Press(dlg, kDelete);
    EXPECT_EQ(script->messages.back().text, U(text::kDeleteParamQuestion));
    EXPECT_EQ(Lines(dlg).size(), 1u);
    EXPECT_EQ(Find<ui::ListBox>(dlg, kList)->Selection(), LineList::kNone);

    Press(dlg, ui::kIdCancel);
    EXPECT_TRUE(LoadParams().empty());  // nothing was ever saved
}

TEST_F(ParamDialogsTest, MenuCommandsRunTheDialogsModally) {
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) { Press(d, ui::kIdCancel); });
    script->OnDialog([](QDialog& d) { Press(d, ui::kIdOk); });
    RunFormatTable(nullptr);
    RunParamDict(nullptr);
    EXPECT_EQ(script->dialogClasses, (QStringList{"orv::CFormatTableDlg", "orv::CParamDictDlg"}));
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());
    EXPECT_EQ(ReadBytes(kParamFileName).size(), 0u);  // an empty dictionary saved
    EXPECT_TRUE(std::filesystem::exists(kParamFileName));
}

}  // namespace
}  // namespace orv
