// The displayed-parameter editor, the row format dialog, the list dialog and the pick dialog,
// driven through their controls.
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <gtest/gtest.h>

#include "state/program_state.h"
#include "support/scripted_device.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "support/scratch_dir.h"
#include "display/table_ops.h"
#include "display/ui/display_commands.h"
#include "display/ui/CDisplayListDlg.h"
#include "display/ui/CDisplayParamDlg.h"
#include "resources/display_strings.h"
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv {
namespace {

using test::Find;
using test::Press;
using test::Type;

// Editor.
constexpr int kParams = 1000, kFormats = 1011, kClearFormat = 1021, kAddress = 1022, kChannel = 1023,
              kFormatLabel = 1024, kLabel = 1025;
// List dialog.
constexpr int kList = 1000, kRestore = 1003, kSave = 1004, kDelete = 1019, kAdd = 1020, kEdit = 1021,
              kInsert = 1022, kAddList = 1023;
// Pick dialog.
constexpr int kPickChannel = 1002;

using ui::U;

DecimalFormat Format(const char* label, float weight) {
    DecimalFormat f;
    f.label.Assign(label);
    f.msbBit = 28;
    f.lsbBit = 12;
    f.msbWeight = weight;
    f.units.Assign("ft");
    return f;
}

ParamRecord Param(const char* label, uint16_t address, const char* format = "") {
    ParamRecord p;
    p.paramLabel.Assign(label);
    p.address = address;
    p.formatLabel.Assign(format);
    return p;
}

DisplayLineRecord Record(const char* label, uint16_t channel, uint16_t address, const char* format = "") {
    DisplayLineRecord r;
    r.paramLabel.Assign(label);
    r.channel = channel;
    r.address = address;
    r.formatLabel.Assign(format);
    return r;
}

// The editor, answered by picking dictionary line `param` (sorted order), typing `channel` and
// pressing "Применить".
std::function<void(QDialog&)> PickInEditor(int param, const char* channel) {
    return [param, channel](QDialog& d) {
        EXPECT_NE(qobject_cast<CDisplayParamDlg*>(&d), nullptr);
        test::DoubleClick(d, kParams, param);
        Type(d, kChannel, channel);
        Press(d, ui::kIdOk);
    };
}

const std::vector<std::string>& Lines(const QWidget& dlg) { return Find<ui::ListBox>(dlg, kList)->Lines().Lines(); }
int Selection(const QWidget& dlg) { return Find<ui::ListBox>(dlg, kList)->Selection(); }

class DisplayDialogsTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        ASSERT_TRUE(SaveFormats(std::vector<DecimalFormat>{Format("ALT", 65536.0f), Format("HDG", 90.0f)}));
        // Sorted in the lists: ALT (203), HDG (320), IAS (206), VS (212).
        ASSERT_TRUE(SaveParams(std::vector<ParamRecord>{Param("VS", 0212), Param("HDG", 0320, "HDG"),
                                                         Param("ALT", 0203, "ALT"), Param("IAS", 0206)}));
    }
    void Table(std::initializer_list<DisplayLineRecord> records) {
        int row = 0;
        for (const auto& r : records) ASSERT_EQ(AssignEntry(state.Display, row++, r), AssignResult::Assigned);
    }
    ProgramState state;
};

TEST_F(DisplayDialogsTest, TheEditorTakesTheParameterFromTheDictionaryAndChecksInOrder) {
    CDisplayParamDlg ed;
    ed.SetFields({});
    ed.show();
    EXPECT_EQ(ed.windowTitle(), U(text::kDisplayParamTitle));
    EXPECT_TRUE(Find<QLineEdit>(ed, kLabel)->isReadOnly());
    EXPECT_TRUE(Find<QLineEdit>(ed, kAddress)->isReadOnly());
    EXPECT_FALSE(Find<QLineEdit>(ed, kChannel)->isReadOnly());
    EXPECT_EQ(Find<ui::ListBox>(ed, kFormats)->Count(), 2);

    ui::ScopedScript script;
    Press(ed, ui::kIdOk);  // nothing picked: the address comes first
    test::DoubleClick(ed, kParams, 1);
    EXPECT_EQ(test::TextOf(ed, kLabel).trimmed(), "HDG");
    EXPECT_EQ(test::TextOf(ed, kAddress), "320");
    EXPECT_EQ(test::TextOf(ed, kFormatLabel).trimmed(), "HDG");
    Type(ed, kChannel, "9");
    Press(ed, ui::kIdOk);
    Type(ed, kChannel, "");
    Press(ed, ui::kIdOk);
    EXPECT_EQ(script->MessageTexts(),
              (QStringList{U(text::kDisplayBadAddress), U(text::kDisplayBadChannel), U(text::kDisplayBadChannel)}));
    EXPECT_TRUE(ed.isVisible());

    Press(ed, kClearFormat);
    Type(ed, kChannel, "8");
    Press(ed, ui::kIdOk);
    ASSERT_TRUE(ed.Result().has_value());
    EXPECT_EQ(*ed.Result(), Record("HDG", 8, 0320));
    EXPECT_EQ(ed.result(), QDialog::Accepted);
}

TEST_F(DisplayDialogsTest, AddInsertEditAndDeleteFollowTheSelection) {
    Table({Record("ALT", 5, 0203, "ALT")});
    CDisplayListDlg dlg(state);
    EXPECT_EQ(Lines(dlg), (std::vector<std::string>{"ALT             5        203       ALT     "}));
    EXPECT_FALSE(Find<QPushButton>(dlg, ui::kIdOk)->isEnabled());  // no board

    ui::ScopedScript script;
    Press(dlg, kEdit);
    Press(dlg, kInsert);
    Press(dlg, kDelete);
    EXPECT_EQ(script->MessageTexts(), QStringList(3, U(text::kDisplayPickParam)));
    EXPECT_TRUE(script->dialogClasses.isEmpty());

    script->OnDialog(PickInEditor(3, "5"));  // VS on 5
    Press(dlg, kAdd);
    EXPECT_EQ(Lines(dlg).back(), "VS             05        212               ");
    EXPECT_EQ(Selection(dlg), 1);
    script->OnDialog(PickInEditor(0, "5"));  // ALT on 5 again: refused
    Press(dlg, kAdd);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kDisplayDuplicate));
    EXPECT_EQ(Lines(dlg).size(), 2u);

    Find<ui::ListBox>(dlg, kList)->Select(0);
    script->OnDialog(PickInEditor(0, "6"));  // ALT on 6, inserted above line 0
    Press(dlg, kInsert);
    EXPECT_EQ(Lines(dlg)[0], "ALT            06        203       ALT     ");
    EXPECT_EQ(Selection(dlg), 0);

    // Editing line 1 keeps its own address and channel; moving it onto line 0's is refused.
    Find<ui::ListBox>(dlg, kList)->Select(1);
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(test::TextOf(d, kLabel), "ALT");
        EXPECT_EQ(test::TextOf(d, kChannel), " 5");
        EXPECT_EQ(test::TextOf(d, kAddress), "203");
        Press(d, kClearFormat);
        Press(d, ui::kIdOk);
    });
    Press(dlg, kEdit);
    EXPECT_EQ(Lines(dlg)[1], "ALT            05        203               ");
    EXPECT_EQ(Selection(dlg), 1);
    script->OnDialog([](QDialog& d) {
        Type(d, kChannel, "6");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kEdit);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kDisplayDuplicate));
    EXPECT_EQ(Lines(dlg)[1], "ALT            05        203               ");

    // Deleting asks first; Cancel keeps the line, OK deletes it and selects the one that moved up.
    Press(dlg, kDelete);
    EXPECT_EQ(Lines(dlg).size(), 3u);
    script->Answer(ui::Answer::Ok);
    Press(dlg, kDelete);
    EXPECT_EQ(script->MessageTexts().last(), U(text::kDisplayDeleteQuestion));
    ASSERT_EQ(Lines(dlg).size(), 2u);
    EXPECT_EQ(Lines(dlg)[1].substr(0, 2), "VS");
    EXPECT_EQ(Selection(dlg), 1);
    script->Answer(ui::Answer::Ok);
    Press(dlg, kDelete);  // the last line: the new last one is selected
    EXPECT_EQ(Selection(dlg), 0);
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());

    // Cancel leaves the table as it was.
    Press(dlg, ui::kIdCancel);
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), 1);
}

TEST_F(DisplayDialogsTest, AFullListRefusesEveryAddition) {
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(AssignEntry(state.Display, i, Record("P", uint16_t(1 + i / 128), uint16_t(i % 128))),
                  AssignResult::Assigned);
    }
    CDisplayListDlg dlg(state);
    ASSERT_EQ(Lines(dlg).size(), 256u);
    Find<ui::ListBox>(dlg, kList)->Select(3);
    ui::ScopedScript script;
    Press(dlg, kAdd);
    Press(dlg, kInsert);
    Press(dlg, kAddList);
    EXPECT_EQ(script->MessageTexts(), QStringList(3, U(text::kDisplayListFull)));
    EXPECT_TRUE(script->dialogClasses.isEmpty());

    // The table pane's add command on a full table.
    EXPECT_FALSE(EditDisplayEntry(nullptr, state, 0, true));
    EXPECT_EQ(script->MessageTexts().last(), U(text::kDisplayTableFull));
    EXPECT_TRUE(script->dialogClasses.isEmpty());
}

TEST_F(DisplayDialogsTest, ThePickDialogRefusesMoreThanTheListCanTake) {
    for (int i = 0; i < 248; ++i) {
        ASSERT_EQ(AssignEntry(state.Display, i, Record("P", 1, uint16_t(i))), AssignResult::Assigned);
    }
    // Three more dictionary entries: seven in all.
    ASSERT_TRUE(SaveParams(std::vector<ParamRecord>{Param("VS", 0212), Param("HDG", 0320, "HDG"), Param("ALT", 0203),
                                                     Param("IAS", 0206), Param("A1", 1), Param("A2", 2),
                                                     Param("A3", 3)}));
    CDisplayListDlg dlg(state);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {  // a board-less "Добавить" and "Добавить" to make 250 lines
        test::DoubleClick(d, kParams, 0);
        Type(d, kChannel, "2");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAdd);
    script->OnDialog([](QDialog& d) {
        test::DoubleClick(d, kParams, 1);
        Type(d, kChannel, "2");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAdd);
    ASSERT_EQ(Lines(dlg).size(), 250u);

    script->OnDialog([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), U(text::kParamPickTitle));
        auto* channels = Find<QComboBox>(d, kPickChannel);
        EXPECT_EQ(channels->count(), 8);  // no board: 1 to 8
        EXPECT_EQ(channels->itemText(0), " 1");
        EXPECT_EQ(channels->currentIndex(), 0);
        channels->setCurrentIndex(2);
        auto* params = Find<ui::ListBox>(d, 1000);
        ASSERT_EQ(params->Count(), 7);
        for (int i = 0; i < 7; ++i) params->SetLineSelected(i, true);
        Press(d, ui::kIdOk);
        EXPECT_EQ(script->MessageTexts().last(), "В списке может быть выделено не более 6 параметров.");
        EXPECT_TRUE(d.isVisible());
        params->SetLineSelected(0, false);  // A1 left out
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAddList);
    EXPECT_EQ(script->messages.size(), 1u);
    ASSERT_EQ(Lines(dlg).size(), 256u);
    EXPECT_EQ(Lines(dlg)[250], "A2             03        002               ");
    EXPECT_EQ(Lines(dlg)[255], "VS             03        212               ");
}

TEST_F(DisplayDialogsTest, AddingAListReportsTheLabelThatIsAlreadyShownAndAddsTheOthers) {
    Table({Record("ALTX", 2, 0203)});
    CDisplayListDlg dlg(state);
    Find<ui::ListBox>(dlg, kList)->Select(0);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {
        Find<QComboBox>(d, kPickChannel)->setCurrentIndex(1);
        auto* params = Find<ui::ListBox>(d, 1000);
        for (int i : {0, 1, 3}) params->SetLineSelected(i, true);  // ALT, HDG, VS
        Press(d, ui::kIdOk);
    });
    Press(dlg, kAddList);
    EXPECT_EQ(script->MessageTexts(), QStringList{U("ОШИБКА: дублирование параметра ALT     ")});
    EXPECT_EQ(Lines(dlg), (std::vector<std::string>{"ALTX            2        203               ",
                                                     "HDG            02        320       HDG     ",
                                                     "VS             02        212               "}));
    EXPECT_EQ(Selection(dlg), 0);
}

TEST_F(DisplayDialogsTest, AListOfFiveIsSavedAs140BytesAndRestoredWithZeroPaddedChannels) {
    Table({Record("ALT", 5, 0203, "ALT"), Record("HDG", 5, 0320, "HDG"), Record("IAS", 6, 0206),
           Record("VS", 7, 0212), Record("ALT", 8, 0203, "ALT")});
    CDisplayListDlg dlg(state);
    const std::vector<std::string> before = Lines(dlg);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) {
        Type(d, 1009, "flight");
        Press(d, ui::kIdOk);
    });
    Press(dlg, kSave);
    EXPECT_EQ(state.Capture.DataFileHandle, nullptr);
    const auto bytes = ReadBytes("flight.42i");
    ASSERT_EQ(bytes.size(), 140u);
    EXPECT_EQ(bytes[4], 0203);
    EXPECT_EQ(bytes[6], 5);
    EXPECT_EQ(std::string(bytes.begin() + 17, bytes.begin() + 26), std::string("ALT     \0", 9));

    // A chooser that ends otherwise leaves the list alone.
    script->OnDialog([](QDialog& d) { Press(d, ui::kIdCancel); });
    Press(dlg, kRestore);
    EXPECT_EQ(Lines(dlg), before);

    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    Press(dlg, kRestore);
    ASSERT_EQ(Lines(dlg).size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        std::string expected = before[i];
        expected[15] = '0';  // the table writes " 5", a record "05"
        EXPECT_EQ(Lines(dlg)[i], expected);
    }
    EXPECT_EQ(state.Capture.DataFileHandle, nullptr);
    EXPECT_TRUE(script->MessageTexts().isEmpty());
}

TEST_F(DisplayDialogsTest, RestoringAForeignFileKeepsAtMost256Lines) {
    std::vector<DisplayLineRecord> records;
    records.push_back(Record("CH0", 0, 1));
    records.push_back(Record("CH12", 12, 1));
    for (int i = 0; i < 300; ++i) records.push_back(Record("P", uint16_t(1 + i / 256), uint16_t(i % 256)));
    std::vector<uint8_t> bytes;
    for (const auto& r : records) {
        std::array<uint8_t, 28> rec{};
        rec[4] = uint8_t(r.address);
        rec[6] = uint8_t(r.channel);
        for (std::size_t k = 0; k < 8; ++k) {
            rec[8 + k] = ' ';
            rec[17 + k] = uint8_t(r.paramLabel.Data()[k]);
        }
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    bytes.resize(bytes.size() + 5);  // a trailing partial record
    WriteBytes("big.42i", bytes);

    CDisplayListDlg dlg(state);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    Press(dlg, kRestore);
    ASSERT_EQ(Lines(dlg).size(), 256u);
    // Channels 0 and 12 read back from their columns: they are shown ("Применить" refuses them).
    EXPECT_EQ(Lines(dlg)[0], "CH0            00        001               ");
    EXPECT_EQ(Lines(dlg)[1], "CH12           12        001               ");
    EXPECT_EQ(Lines(dlg)[2], "P              01        000               ");
    EXPECT_EQ(Lines(dlg)[255], "P              01        375               ");
    // The partial record was left out, and the engineer is told once.
    EXPECT_EQ(script->MessageTexts(), QStringList{U("В файле big.42i пропущено поврежденных записей: 1")});

    // The first save over that file keeps it as big.42i.bak.
    script->OnDialog([](QDialog& d) {
        Type(d, 1009, "big");
        Press(d, ui::kIdOk);
    });
    script->Answer(ui::Answer::Ok);  // overwrite
    Press(dlg, kSave);
    EXPECT_EQ(ReadBytes("big.42i.bak"), bytes);
    EXPECT_EQ(ReadBytes("big.42i").size(), 256u * 28u);
}

class BoardListTest : public DisplayDialogsTest {
protected:
    void SetUp() override {
        DisplayDialogsTest::SetUp();
        state.Shell.DeviceState = 0;
        state.Board.InputChannelCount = 2;
        state.Board.Link.Attach(&device);
        device.SetReplyWord(kLoadInputChannel, 0);
        device.SetReplyWord(kStartInputChannel, 1);
    }
    void TearDown() override {
        state.Board.Link.Attach(nullptr);
        DisplayDialogsTest::TearDown();
    }
    ScriptedDevice device;
};

TEST_F(BoardListTest, ApplyLoadsTheListAndAnEmptyListStaysOpen) {
    CDisplayListDlg dlg(state);
    dlg.show();
    ASSERT_TRUE(Find<QPushButton>(dlg, ui::kIdOk)->isEnabled());
    ui::ScopedScript script;
    Press(dlg, ui::kIdOk);
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kDisplayListEmpty)});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(device.Requests().empty());

    script->OnDialog(PickInEditor(1, "2"));
    Press(dlg, kAdd);
    Press(dlg, ui::kIdOk);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(state.Acquisition.AcquisitionMode, 1);
    ASSERT_EQ(UsedEntries(state.Display.DisplayTable), 1);
    EXPECT_EQ(state.Display.SlotAddresses[0], LabelSlotAddress(2, 0320));
    EXPECT_EQ(state.Display.DisplayTable[0].format, Format("HDG", 90.0f));
    EXPECT_EQ(device.Count(kStartInputChannel), 2u);

    // The pick dialog offers the board's channels.
    CDisplayListDlg again(state);
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(Find<QComboBox>(d, kPickChannel)->count(), 2);
        Press(d, ui::kIdCancel);
    });
    Press(again, kAddList);
    EXPECT_EQ(Lines(again).size(), 1u);
}

TEST_F(DisplayDialogsTest, TablePaneCommandsEditAddAndChangeTheFormatOfOneRow) {
    Table({Record("ALT", 5, 0203, "ALT"), Record("HDG", 5, 0320, "HDG")});
    state.Display.DisplayTable[1].maskMode = 1;
    ui::ScopedScript script;

    // Edit row 1 onto row 0's address and channel: refused.
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(test::TextOf(d, kLabel), "HDG");
        EXPECT_EQ(test::TextOf(d, kChannel), "5");
        EXPECT_EQ(test::TextOf(d, kAddress), "320");
        test::DoubleClick(d, kParams, 0);
        Press(d, ui::kIdOk);
    });
    EXPECT_FALSE(EditDisplayEntry(nullptr, state, 1, false));
    EXPECT_EQ(script->MessageTexts(), QStringList{U(text::kDisplayDuplicate)});
    EXPECT_EQ(state.Display.DisplayTable[1].address, 0320);

    // Add goes to the first free row whatever row was clicked.
    script->OnDialog(PickInEditor(3, "7"));
    EXPECT_TRUE(EditDisplayEntry(nullptr, state, 40, true));
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), 3);
    EXPECT_EQ(state.Display.SlotAddresses[2], LabelSlotAddress(7, 0212));
    EXPECT_FALSE(EditDisplayEntry(nullptr, state, 5, false));  // an empty row cannot be edited

    // The format dialog opens on the row's format; without a selection it asks for one.
    script->OnDialog([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), U(text::kParamFormatTitle));
        EXPECT_EQ(test::TextOf(d, 1009), "HDG     ");
        auto* formats = Find<ui::ListBox>(d, kFormats);
        EXPECT_EQ(formats->Selection(), 1);
        formats->Select(LineList::kNone);
        Press(d, ui::kIdOk);
        EXPECT_TRUE(d.isVisible());
        formats->Select(0);
        Press(d, ui::kIdOk);
    });
    EXPECT_TRUE(ChangeEntryFormat(nullptr, state, 1));
    EXPECT_EQ(script->MessageTexts().last(), U(text::kDisplayPickFormat));
    EXPECT_EQ(state.Display.DisplayTable[1].formatLabel.View(), "ALT     ");
    EXPECT_EQ(state.Display.DisplayTable[1].format.msbWeight, 65536.0f);
    EXPECT_EQ(state.Display.DisplayTable[1].maskMode, 1);
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());
}

}  // namespace
}  // namespace orv
