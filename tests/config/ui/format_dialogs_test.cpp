// The format table and the format editor, driven through their controls.
#include <QComboBox>
#include <QDialog>
#include <gtest/gtest.h>

#include <filesystem>

#include "config/format_file.h"
#include "support/scratch_dir.h"
#include "config/ui/format_dialogs.h"
#include "resources/config_strings.h"
#include "resources/ui/text_codec.h"
#include "config/ui/type_text.h"
#include "support/ui/widget_test.h"
#include "support/example_formats.h"

namespace orv {
namespace {

using test::Find;
using test::Press;
using test::Type;

constexpr int kList = 1011, kAdd = 1020, kDelete = 1021, kEdit = 1022;
constexpr int kLabel = 1018, kRole = 1016, kMsb = 1015, kLsb = 1014, kWeight = 1013, kUnits = 1012;

using ui::U;

struct Typed {
    QString label, msb = "20", lsb = "9", weight = "1", units = "m";
    int role = 0;
};

// Answers the next editor by typing the fields and pressing "Применить"; if the editor refuses
// them it stays open and is then taken as cancelled.
void TypeIntoEditor(ui::Script& s, const Typed& t) {
    s.OnDialog([t](QDialog& d) {
        EXPECT_NE(qobject_cast<CFormatEditDlg*>(&d), nullptr);
        Type(d, kLabel, t.label);
        if (auto* role = Find<QComboBox>(d, kRole)) role->setCurrentIndex(t.role);
        Type(d, kMsb, t.msb);
        Type(d, kLsb, t.lsb);
        Type(d, kWeight, t.weight);
        Type(d, kUnits, t.units);
        Press(d, ui::kIdOk);
    });
}

std::vector<std::string> Labels(const QWidget& dlg) {
    std::vector<std::string> out;
    for (const auto& line : Find<ui::ListBox>(dlg, kList)->Lines().Lines()) out.push_back(line.substr(0, 8));
    return out;
}

class FormatDialogsTest : public test::ScratchDir {};

TEST_F(FormatDialogsTest, ThreeFormatsAreSavedAs84BytesInAlphabeticalOrder) {
    CFormatTableDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), U(text::kFormatTableTitle));
    ui::ScopedScript script;
    for (const char* label : {"gamma", "ALPHA", "Beta"}) {
        TypeIntoEditor(*script, {label});
        Press(dlg, kAdd);
    }
    EXPECT_EQ(Labels(dlg), (std::vector<std::string>{"ALPHA   ", "Beta    ", "gamma   "}));
    EXPECT_EQ(Find<ui::ListBox>(dlg, kList)->Selection(), 1);  // the last added line
    Press(dlg, ui::kIdOk);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(script->MessageTexts().isEmpty());
    const auto bytes = ReadBytes(kFormatFileName);
    ASSERT_EQ(bytes.size(), 84u);
    EXPECT_EQ(std::string(bytes.begin() + 18, bytes.begin() + 27), std::string("ALPHA   \0", 9));
    EXPECT_EQ(std::string(bytes.begin() + 46, bytes.begin() + 54), "Beta    ");
    EXPECT_EQ(std::string(bytes.begin() + 74, bytes.begin() + 82), "gamma   ");
    // Units "m" stored as the letter and three blanks.
    EXPECT_EQ(std::string(bytes.begin() + 13, bytes.begin() + 18), std::string("m   \0", 5));
}

TEST_F(FormatDialogsTest, CancelLeavesTheFileByteForByte) {
    // A hand-made record with reserved bytes the program would not write itself.
    const std::vector<uint8_t> original = {1, 2, 3, 4, 0x00, 0x00, 0xB4, 0x42, 28, 0, 11, 0, 0,
                                           'd', 'e', 'g', ' ', 0, 'A', 'L', 'T', '1', ' ', ' ', ' ', ' ', 0, 0};
    WriteBytes(kFormatFileName, original);
    CFormatTableDlg dlg;
    ASSERT_EQ(Labels(dlg), std::vector<std::string>{"ALT1    "});
    ui::ScopedScript script;
    TypeIntoEditor(*script, {"NEW"});
    Press(dlg, kAdd);
    script->Answer(ui::Answer::Ok);
    Find<ui::ListBox>(dlg, kList)->Select(0);
    Press(dlg, kDelete);
    Press(dlg, ui::kIdCancel);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(ReadBytes(kFormatFileName), original);
}

TEST_F(FormatDialogsTest, EditorRefusalsKeepItOpenWithTheInput) {
    CFormatEditDlg ed;
    ed.SetFields(FormatFields{"", "", "", "", "", 0});
    ed.show();
    ui::ScopedScript script;
    Type(ed, kLabel, "ALT");
    Type(ed, kMsb, "29");
    Type(ed, kLsb, "11");
    Type(ed, kWeight, "0.0000001");
    Type(ed, kUnits, "m");
    Press(ed, ui::kIdOk);  // sign role: 29 is too high
    Find<QComboBox>(ed, kRole)->setCurrentIndex(1);
    Press(ed, ui::kIdOk);  // the weight would be saved as 0
    Type(ed, kWeight, "-0.5");
    test::TypeText(ed, kUnits, U("日本"));  // no Windows-1251 form
    Press(ed, ui::kIdOk);
    EXPECT_EQ(script->MessageTexts(),
              (QStringList{U(text::kMsbAbove28), U(text::kNoWeight), U(text::kNoUnits)}));
    EXPECT_TRUE(ed.isVisible());
    EXPECT_FALSE(ed.Result().has_value());
    EXPECT_EQ(test::TextOf(ed, kMsb), "29");
    test::TypeText(ed, kUnits, U("м"));
    Press(ed, ui::kIdOk);
    EXPECT_EQ(script->messages.size(), 3u);
    ASSERT_TRUE(ed.Result().has_value());
    EXPECT_EQ(ed.result(), QDialog::Accepted);
    EXPECT_EQ(ed.Result()->msbWeight, -0.5f);
    EXPECT_EQ(ed.Result()->bit29Role, 1);
    EXPECT_EQ(ed.Result()->units.View(), "\xEC   ");  // Windows-1251 "м"
}

TEST_F(FormatDialogsTest, DuplicatesOnAddAndEdit) {
    CFormatTableDlg dlg;
    ui::ScopedScript script;
    TypeIntoEditor(*script, {"ALT"});
    Press(dlg, kAdd);
    TypeIntoEditor(*script, {"SPD"});
    Press(dlg, kAdd);
    TypeIntoEditor(*script, {"alt"});
    Press(dlg, kAdd);
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kDuplicateFormatOnAdd)});
    EXPECT_EQ(Labels(dlg), (std::vector<std::string>{"ALT     ", "SPD     "}));
    EXPECT_EQ(Find<ui::ListBox>(dlg, kList)->Selection(), 0);

    // Editing ALT into Alt: the editor shows the line's fields, and the line is replaced.
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(test::TextOf(d, kLabel), "ALT");
        EXPECT_EQ(test::TextOf(d, kMsb), "20");
        EXPECT_EQ(test::TextOf(d, kWeight), "1.000000");
        EXPECT_EQ(test::TextOf(d, kUnits), "m");
        Type(d, kLabel, "Alt");
        Type(d, kWeight, "0.1234567");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kEdit);
    EXPECT_EQ(Labels(dlg), (std::vector<std::string>{"Alt     ", "SPD     "}));
    const auto& alt = Find<ui::ListBox>(dlg, kList)->Text(0);
    EXPECT_EQ(alt.substr(53), "0.123457");

    // Renaming SPD to alt clashes.
    Find<ui::ListBox>(dlg, kList)->Select(1);
    TypeIntoEditor(*script, {"alt"});
    Press(dlg, kEdit);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kDuplicateFormatOnEdit));
    EXPECT_EQ(Labels(dlg), (std::vector<std::string>{"Alt     ", "SPD     "}));

    Press(dlg, ui::kIdOk);
    const auto saved = LoadFormats();
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].msbWeight, 0.123457f);
}

TEST_F(FormatDialogsTest, DeletingAsksAndSelectsTheLineThatMovedUp) {
    CFormatTableDlg dlg;
    ui::ScopedScript script;
    for (const char* label : {"A", "B", "C"}) {
        TypeIntoEditor(*script, {label});
        Press(dlg, kAdd);
    }
    auto* list = Find<ui::ListBox>(dlg, kList);
    list->Select(LineList::kNone);
    Press(dlg, kDelete);
    Press(dlg, kEdit);
    EXPECT_EQ(script->MessageTexts(), (QStringList{U(text::kPickFormat), U(text::kPickFormat)}));

    list->Select(1);
    script->Answer(ui::Answer::Cancel);
    Press(dlg, kDelete);
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(script->messages.back().text, U(text::kDeleteFormatQuestion));
    EXPECT_EQ(script->messages.back().buttons, ui::Buttons::OkCancel);

    script->Answer(ui::Answer::Ok);
    Press(dlg, kDelete);
    EXPECT_EQ(Labels(dlg), (std::vector<std::string>{"A       ", "C       "}));
    EXPECT_EQ(list->Selection(), 1);
    EXPECT_EQ(list->currentRow(), 1);  // the widget shows it too
    script->Answer(ui::Answer::Ok);
    Press(dlg, kDelete);
    EXPECT_EQ(list->Selection(), LineList::kNone);
    EXPECT_EQ(list->Count(), 1);
}

// Something that is no file holds the name: it could not be read, so it is never saved over.
TEST_F(FormatDialogsTest, AFileThatCouldNotBeReadIsToldAndNeverSavedOver) {
    std::filesystem::create_directory(kFormatFileName);
    ui::ScopedScript script;
    CFormatTableDlg dlg;
    TypeIntoEditor(*script, {"A"});
    Press(dlg, kAdd);
    Press(dlg, ui::kIdOk);
    EXPECT_NE(dlg.result(), QDialog::Accepted);  // stays open: only "Отмена" leaves
    EXPECT_EQ(script->MessageTexts(), QStringList({U("Ошибка чтения файла Orvfrmt.stt"),
                                                   U("Файл Orvfrmt.stt не был прочитан и не перезаписан.")}));
    EXPECT_TRUE(std::filesystem::is_directory(kFormatFileName));
}

TEST_F(FormatDialogsTest, AReadOnlyFileIsRefusedWithItsNameAndTheEditsStay) {
    ASSERT_TRUE(SaveFormats(std::vector<DecimalFormat>{test::Alt1Format()}));
    std::filesystem::permissions(kFormatFileName, std::filesystem::perms::owner_read |
                                                      std::filesystem::perms::group_read |
                                                      std::filesystem::perms::others_read);
    const auto before = ReadBytes(kFormatFileName);
    ui::ScopedScript script;
    CFormatTableDlg dlg;
    TypeIntoEditor(*script, {"B"});
    Press(dlg, kAdd);
    Press(dlg, ui::kIdOk);
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(script->MessageTexts(), QStringList{U("Ошибка создания файла Orvfrmt.stt")});
    EXPECT_EQ(Labels(dlg).size(), 2u);
    EXPECT_EQ(ReadBytes(kFormatFileName), before);
}

// Damaged records are left out with one message; the first save keeps the old file as ".bak".
TEST_F(FormatDialogsTest, DamagedRecordsAreLeftOutCountedAndKeptInABackup) {
    DecimalFormat wide = test::Alt1Format();
    wide.label.Assign("WIDE");
    wide.msbBit = 300;  // would come back from its two columns as 30
    DecimalFormat tab = test::Alt1Format();
    tab.label.Assign("T\tB");
    ASSERT_TRUE(SaveFormats(std::vector<DecimalFormat>{wide, test::Alt1Format(), tab}));
    const auto before = ReadBytes(kFormatFileName);
    ui::ScopedScript script;
    CFormatTableDlg dlg;
    EXPECT_EQ(script->MessageTexts(), QStringList{U("В файле Orvfrmt.stt пропущено поврежденных записей: 2")});
    EXPECT_EQ(Labels(dlg), std::vector<std::string>{"ALT1    "});
    Press(dlg, ui::kIdOk);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ReadBytes(std::string(kFormatFileName) + ".bak"), before);
    EXPECT_EQ(ReadBytes(kFormatFileName).size(), 28u);
}

}  // namespace
}  // namespace orv
