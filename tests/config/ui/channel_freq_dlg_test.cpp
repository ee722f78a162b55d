#include <QRadioButton>
#include <QStyle>
#include <filesystem>
#include <fstream>

#include "text/code_page.h"
#include "config/ui/CChannelFreqDlg.h"
#include "config/ui/CInChannelFreqDlg.h"
#include "config/ui/COutChannelFreqDlg.h"
#include "support/ui/widget_test.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const QWidget& dlg, int id) {
    auto* list = Find<ui::ListBox>(dlg, id);
    return list ? list->Lines().Lines() : std::vector<std::string>{};
}

bool Checked(const QWidget& dlg, int id) {
    auto* b = Find<QRadioButton>(dlg, id);
    return b && b->isChecked();
}

void Click(const QWidget& dlg, int id) {
    if (auto* b = Find<QAbstractButton>(dlg, id)) b->click();
}

class ChannelFreqDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("orv_chfreq_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = (dir / kChannelSettingsFileName).string();
    }
    void TearDown() override { fs::remove_all(dir); }
    ChannelSettingTable settings{};
    fs::path dir;
    std::string file;
};

TEST_F(ChannelFreqDlgTest, ListsShowTheBoardsChannelsInOrder) {
    CChannelFreqDlg dlg(settings, 8, 4, file);
    const auto in = Lines(dlg, 1033);
    const auto out = Lines(dlg, 1034);
    ASSERT_EQ(in.size(), 8u);
    ASSERT_EQ(out.size(), 4u);
    for (int c = 1; c <= 8; ++c) EXPECT_EQ(in[c - 1], InputChannelLine(c, 0));
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(out[c - 1], OutputChannelLine(c, 0));
    EXPECT_EQ(in[0], " 1      12...14,5      " + Cp1251("вкл."));
    EXPECT_EQ(out[3], " 4        12,5      " + Cp1251("до нечетности"));

    auto* hidden = Find<QAbstractButton>(dlg, 2);
    ASSERT_NE(hidden, nullptr);
    EXPECT_FALSE(hidden->isEnabled());
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Рабочие частоты каналов и контроль нечетности"));

    CChannelFreqDlg many(settings, 15, 9, file);  // counts from 4-bit fields: at most 8 shown
    EXPECT_EQ(Lines(many, 1033).size(), 8u);
    EXPECT_EQ(Lines(many, 1034).size(), 8u);
}

// Each head is two lines: both are drawn, one under the other, from the list's first column.
TEST_F(ChannelFreqDlgTest, HeadsDrawBothOfTheirLinesOverTheListColumns) {
    CChannelFreqDlg dlg(settings, 8, 8, file);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    const struct {
        int list;
        QStringList lines;
    } heads[] = {{1033, {QString::fromUtf8(" №      частота     контроль"), QString::fromUtf8("канала    КГц       нечетности")}},
                 {1034, {QString::fromUtf8(" №      частота      дополнение"), QString::fromUtf8("канала    КГц       ")}}};
    for (const auto& h : heads) {
        ui::ListHead* head = HeadOver(dlg, h.list);
        ASSERT_NE(head, nullptr);
        EXPECT_EQ(head->HeadLines(), h.lines) << h.list;
        const std::vector<std::string> ink = InkCells(*head, 34);
        ASSERT_EQ(ink.size(), 2u) << h.list;
        for (int row = 0; row < 2; ++row) EXPECT_EQ(ink[std::size_t(row)], InkOf(h.lines[row], 34)) << h.list << " row " << row;
        // The head's first cell is the first cell of the list's lines.
        ui::ListBox* list = head->List();
        const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        EXPECT_EQ(head->mapTo(&dlg, QPoint(head->TextX(), 0)).x(),
                  list->viewport()->mapTo(&dlg, QPoint(list->visualItemRect(list->item(0)).left() + margin, 0)).x());
    }
}

TEST_F(ChannelFreqDlgTest, EditingInputAndOutputChannels) {
    CChannelFreqDlg dlg(settings, 8, 2, file);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& editor) {
        EXPECT_EQ(TextOf(editor, 1009), QStringLiteral(" 3"));
        EXPECT_TRUE(Checked(editor, 1002));
        EXPECT_TRUE(Checked(editor, 1005));
        EXPECT_EQ(editor.windowTitle(), QString::fromUtf8("Настройка частоты и контроля нечетности "));
        Click(editor, 1004);  // 100
        Click(editor, 1024);  // parity check off
        Press(editor, 1);
    });
    DoubleClick(dlg, 1033, 2);
    EXPECT_EQ(settings[2], 6);
    auto in = Lines(dlg, 1033);
    ASSERT_EQ(in.size(), 8u);
    EXPECT_EQ(in[2], " 3      100            " + Cp1251("выкл."));
    EXPECT_EQ(in[1], InputChannelLine(2, 0));
    EXPECT_EQ(in[3], InputChannelLine(4, 0));

    script->OnDialog([](QDialog& editor) {
        EXPECT_STREQ(editor.metaObject()->className(), "orv::COutChannelFreqDlg");
        Click(editor, 1003);  // 50
        Click(editor, 1005);  // to even parity
        Press(editor, 1);
    });
    DoubleClick(dlg, 1034, 0);
    EXPECT_EQ(settings[8], 5);
    EXPECT_EQ(Lines(dlg, 1034)[0], " 1        50        " + Cp1251("до четности"));
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());

    // The editor opens on the stored word.
    script->OnDialog([](QDialog& editor) {
        EXPECT_TRUE(Checked(editor, 1003));
        EXPECT_TRUE(Checked(editor, 1005));
        EXPECT_FALSE(Checked(editor, 1041));
        Press(editor, 2);
    });
    DoubleClick(dlg, 1034, 0);
    EXPECT_EQ(settings[8], 5);
}

TEST_F(ChannelFreqDlgTest, CancelledEditorChangesNothing) {
    settings[1] = 1;
    CChannelFreqDlg dlg(settings, 4, 0, file);
    const auto before = Lines(dlg, 1033);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& editor) {
        Click(editor, 1004);
        Click(editor, 1024);
        Press(editor, 2);
    });
    DoubleClick(dlg, 1033, 1);
    EXPECT_EQ(settings[1], 1);
    EXPECT_EQ(Lines(dlg, 1033), before);
    // With no output channels there is nothing to edit.
    EXPECT_TRUE(Lines(dlg, 1034).empty());
    dlg.EditOutput(0);
    EXPECT_TRUE(script->dialogClasses.size() == 1);
}

TEST_F(ChannelFreqDlgTest, ForeignRateCodeIsKeptWhenOnlyParityChanges) {
    settings[0] = 3;  // rate code 3: no rate button
    CChannelFreqDlg dlg(settings, 1, 0, file);
    ui::ScopedScript script;
    script->OnDialog([](QDialog& editor) {
        EXPECT_FALSE(Checked(editor, 1002) || Checked(editor, 1003) || Checked(editor, 1004));
        Click(editor, 1024);
        Press(editor, 1);
    });
    DoubleClick(dlg, 1033, 0);
    EXPECT_EQ(settings[0], 7);
}

TEST_F(ChannelFreqDlgTest, SaveAndRestoreThroughTheButtons) {
    settings[0] = 2;
    settings[15] = 5;
    {
        CChannelFreqDlg dlg(settings, 0, 0, file);  // no channels shown: all 32 bytes saved
        Press(dlg, 1004);
    }
    ASSERT_EQ(fs::file_size(file), 32u);

    ChannelSettingTable other{};
    other[3] = 4;
    CChannelFreqDlg dlg(other, 8, 8, file);
    Press(dlg, 1003);
    EXPECT_EQ(other, settings);
    EXPECT_EQ(Lines(dlg, 1033)[0], InputChannelLine(1, 2));
    EXPECT_EQ(Lines(dlg, 1033)[3], InputChannelLine(4, 0));
    EXPECT_EQ(Lines(dlg, 1034)[7], OutputChannelLine(8, 5));

    // A missing file leaves the table, and the lists are refilled from it all the same.
    fs::remove(file);
    other[4] = 1;
    Press(dlg, 1003);
    EXPECT_EQ(other[4], 1);
    EXPECT_EQ(Lines(dlg, 1033)[4], InputChannelLine(5, 1));
}

TEST_F(ChannelFreqDlgTest, ARefusedSaveAndADamagedRestoreAreTold) {
    std::ofstream(file, std::ios::binary).write("\x03\x00\x01\x00", 4);
    fs::permissions(file, fs::perms::owner_read);
    ChannelSettingTable table{};
    table[0] = 2;
    CChannelFreqDlg dlg(table, 8, 8, file);
    ui::ScopedScript script;
    Press(dlg, 1004);  // a read-only file is not replaced, not even by root
    EXPECT_EQ(fs::file_size(file), 4u);
    Press(dlg, 1003);  // rate code 3 in the first word: left out, the second word taken
    EXPECT_EQ(table[0], 2);
    EXPECT_EQ(table[1], 1);
    EXPECT_EQ(script->MessageTexts(),
              QStringList({QString::fromStdString("Ошибка создания файла " + file),
                           QString::fromStdString("В файле " + file + " пропущено поврежденных записей: 1")}));
}

}  // namespace
}  // namespace orv::test
