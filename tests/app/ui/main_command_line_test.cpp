// The program's command line and the help window, headless on the virtual board.
#include <QAction>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "app/ui/CHelpWindow.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/main_command_line.h"
#include "session/board_control.h"
#include "support/scratch_dir.h"
#include "display/display_line_file.h"
#include "state/display_table.h"
#include "display/ui/CDisplayListDlg.h"
#include "monitor/table_rows.h"
#include "monitor/ui/COrvmonView.h"
#include "resources/board_strings.h"
#include "app/ui/sample_folder_frame.h"
#include "support/ui/widget_test.h"
#include "vboard/virtual_board_provider.h"

namespace orv::ui {
namespace {

QStringList Args(std::initializer_list<const char*> args) {
    QStringList list{QStringLiteral("orvmon")};
    for (const char* a : args) list << QString::fromUtf8(a);
    return list;
}

TEST(CommandLine, OptionsAreReadAndHelpVersionAndMistakesEndTheStart) {
    const CommandLine all = ParseCommandLine(Args({"--device", "arinc10", "--list=scenario.42i", "--period", "250"}));
    EXPECT_FALSE(all.exitCode);
    EXPECT_EQ(all.options.device, "arinc10");
    EXPECT_EQ(all.options.list, "scenario.42i");
    EXPECT_EQ(all.options.period, "250");
    EXPECT_FALSE(all.options.scenario);
    EXPECT_EQ(ParseCommandLine(Args({"--scenario", "scenarios/faults.toml"})).options.scenario,
              "scenarios/faults.toml");

    const CommandLine bare = ParseCommandLine(Args({}));
    EXPECT_FALSE(bare.exitCode);
    EXPECT_FALSE(bare.options.device || bare.options.list || bare.options.period);

    const CommandLine help = ParseCommandLine(Args({"--help"}));
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains(QStringLiteral("--device <NAME>")));
    EXPECT_TRUE(help.output.contains(QStringLiteral("--scenario <FILE>")));
    EXPECT_TRUE(help.output.startsWith(QStringLiteral("Usage: orvmon")));
    EXPECT_TRUE(AsksForHelpOrVersion(Args({"--list", "x", "-v"})));
    EXPECT_FALSE(AsksForHelpOrVersion(Args({"--list", "x"})));
    EXPECT_EQ(ParseCommandLine(Args({"--version"})).exitCode, 0);

    const CommandLine unknown = ParseCommandLine(Args({"--colour", "red"}));
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.output.contains(QStringLiteral("colour")));
    EXPECT_EQ(ParseCommandLine(Args({"--device"})).exitCode, 2);  // a value is missing
    EXPECT_EQ(ParseCommandLine(Args({"--scenario"})).exitCode, 2);
    EXPECT_EQ(ParseCommandLine(Args({"--playback", "f.ch10"})).options.playback, std::optional<std::string>("f.ch10"));
    const CommandLine both = ParseCommandLine(Args({"--playback", "f.ch10", "--scenario", "s.toml"}));
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_TRUE(both.output.startsWith(QStringLiteral("--playback cannot be combined with --scenario.")));
}

class StartOnVirtualBoard : public test::SampleFolderFrame {
protected:
    StartOnVirtualBoard() : SampleFolderFrame({"Orvfrmt.stt", "OrvparamList.stt", "scenario.42i"}) {}
};

TEST_F(StartOnVirtualBoard, DeviceAndListShowLiveRowsWithoutAnyDialog) {
    ScopedScript script;
    ApplyCommandLine(*frame, ParseCommandLine(Args({"--device", "arinc10", "--list", "scenario.42i"})).options);
    EXPECT_TRUE(script->messages.empty()) << script->MessageTexts().join(u'|').toStdString();
    EXPECT_TRUE(script->dialogClasses.isEmpty());
    EXPECT_EQ(state.Shell.DeviceState, 0);
    EXPECT_NE(state.Shell.RefreshTimerId, 0u);  // the window's timer runs the refresh

    devices.Advance(300'000);
    frame->TableView()->RefreshTick();
    int live = 0;
    for (int r = 0; r < UsedEntries(state.Display.DisplayTable); ++r)
        if (state.Display.DisplayTable[std::size_t(r)].receivedCycle == 1 &&
            WordLabel(RowValue(state.Display, state.Board.BoardImage, r)) == state.Display.DisplayTable[std::size_t(r)].address)
            ++live;
    EXPECT_GT(live, 0);
}

TEST_F(StartOnVirtualBoard, ABadDeviceGivesItsMessageAndTheProgramGoesOn) {
    ScopedScript script;
    ApplyCommandLine(*frame, ParseCommandLine(Args({"--device", "arinc77", "--period", "500"})).options);
    EXPECT_EQ(script->MessageTexts(), QStringList{QString::fromUtf8(text::kDeviceOpenError)});
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(state.Shell.DeviceState, -1);
    EXPECT_EQ(state.Shell.RefreshPeriodMs, 500);
    // The menu still works: the device can be chosen by hand afterwards.
    EXPECT_TRUE(frame->Command(32771)->isEnabled());
}

TEST_F(StartOnVirtualBoard, AnUnreadableScenarioGivesItsMessageAndTheDeviceStillStarts) {
    {
        ScopedScript script;
        ApplyCommandLine(*frame, ParseCommandLine(Args({"--scenario", "no-such.toml", "--device", "arinc10"})).options);
        ASSERT_EQ(script->MessageTexts().size(), 1);
        EXPECT_TRUE(script->MessageTexts()[0].startsWith(QStringLiteral("Сценарий no-such.toml не прочитан:\n")));
        EXPECT_EQ(state.Shell.DeviceState, 0);
        EXPECT_EQ(devices.Counters(1).hears[4], InputHears::Flight);
    }
    std::filesystem::copy_file(std::filesystem::path(ORV_SAMPLES_DIR) / "scenarios" / "faults.toml", "faults.toml");
    ScopedScript script;
    ApplyCommandLine(*frame, ParseCommandLine(Args({"--scenario", "faults.toml"})).options);
    EXPECT_TRUE(script->messages.empty());
    EXPECT_EQ(devices.Counters(1).hears[0], InputHears::Traffic);
}

// A name that is not UTF-8 (Windows-1251 "Список") comes out of the parser as the bytes given.
TEST(CommandLine, FileNamesComeOutAsTheBytesGiven) {
    const std::string cyrillic = "\xd1\xef\xe8\xf1\xee\xea.42i";
    const std::string stray = "a\xff\xc3(\xed\xa0\x80z.toml";  // a stray byte, a cut sequence, a surrogate
    const std::string valid = "\xd0\xa1\xd0\xbf.toml";               // UTF-8 "Сп" stays itself
    const std::string scenarioOption = "--scenario=" + stray;
    const char* argv[] = {"orvmon", "--list", cyrillic.c_str(), scenarioOption.c_str(), "--device", "arinc10"};
    const CommandLine parsed = ParseCommandLine(ArgumentsOf(6, argv));
    EXPECT_FALSE(parsed.exitCode);
    EXPECT_EQ(parsed.options.list, cyrillic);
    EXPECT_EQ(parsed.options.scenario, stray);
    EXPECT_EQ(parsed.options.device, "arinc10");
    const char* utf8[] = {"orvmon", "--scenario", valid.c_str()};
    const QStringList arguments = ArgumentsOf(3, utf8);
    EXPECT_EQ(arguments[2], QString::fromUtf8("Сп.toml"));
    EXPECT_EQ(ParseCommandLine(arguments).options.scenario, valid);
}

// "Восстановить из файла" and --list read a file through one reader: for each kind of damage the
// same lines and the same message.
TEST_F(StartOnVirtualBoard, ListOptionReadsAFileAsTheListDialogRestoresIt) {
    std::filesystem::remove("scenario.42i");
    ASSERT_EQ(ApplyDeviceOption(state, "arinc10"), nullptr);
    const auto record = [](const char* label, uint16_t channel, uint16_t address) {
        DisplayLineRecord r;
        r.paramLabel.Assign(label);
        r.formatLabel.Assign("ALT1");
        r.channel = channel;
        r.address = address;
        const auto bytes = EncodeDisplayLine(r);
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    };
    const auto file = [&](std::vector<std::vector<uint8_t>> records, std::size_t tail = 0) {
        std::vector<uint8_t> bytes;
        for (const auto& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
        bytes.resize(bytes.size() + tail, 0);
        return bytes;
    };
    struct Case {
        const char* kind;
        std::vector<uint8_t> bytes;
        int lines;
        const char* message;
    };
    const std::vector<Case> cases{
        {"control character", file({record("ALT", 1, 0203), record("A\tB", 1, 0204), record("IAS", 2, 0206)}), 2,
         "В файле damage.42i пропущено поврежденных записей: 1"},
        {"wider than its column", file({record("ALT", 1, 0203), record("WIDE", 100, 0204), record("HIGH", 1, 01000)}), 1,
         "В файле damage.42i пропущено поврежденных записей: 2"},
        {"partial record", file({record("ALT", 1, 0203), record("IAS", 2, 0206)}, 27), 2,
         "В файле damage.42i пропущено поврежденных записей: 1"},
        {"sound", file({record("ALT", 1, 0203)}), 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        std::ofstream("damage.42i", std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(c.bytes.data()), std::streamsize(c.bytes.size()));
        CDisplayListDlg dlg(state);
        ScopedScript script;
        script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
        test::Press(dlg, 1003);
        const LineList shown = test::Find<ListBox>(dlg, 1000)->Lines();
        ASSERT_EQ(shown.Count(), c.lines);
        const QStringList dialogSaid = script->MessageTexts();

        const std::vector<std::string> optionSaid = ApplyListOption(state, "damage.42i");
        QStringList said;
        for (const auto& m : optionSaid) said << QString::fromStdString(m);
        EXPECT_EQ(said, dialogSaid);
        EXPECT_EQ(dialogSaid, *c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{});
        ASSERT_EQ(UsedEntries(state.Display.DisplayTable), c.lines);
        for (int i = 0; i < c.lines; ++i) {
            const DisplayEntry& e = state.Display.DisplayTable[std::size_t(i)];
            const DisplayLineRecord r = ParseDisplayLine(shown.At(i));
            EXPECT_EQ(std::tie(e.paramLabel, e.channel, e.address, e.formatLabel),
                      std::tie(r.paramLabel, r.channel, r.address, r.formatLabel));
        }
    }

    // A line with no label slot is no damage: both show it, and loading refuses it with the
    // editor's message, leaving the table as it was.
    const auto high = file({record("ALT", 1, 0203), record("HIGH", 1, 0400)});
    std::ofstream("damage.42i", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(high.data()), std::streamsize(high.size()));
    CDisplayListDlg dlg(state);
    ScopedScript script;
    script->OnDialog([](QDialog& d) { test::DoubleClick(d, 1000, 0); });
    test::Press(dlg, 1003);
    EXPECT_EQ(test::Find<ListBox>(dlg, 1000)->Count(), 2);
    EXPECT_TRUE(script->messages.empty());
    EXPECT_EQ(ApplyListOption(state, "damage.42i"), std::vector<std::string>{"ОШИБКА: адрес параметра"});
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), 1);
    test::Press(dlg, kIdOk);
    EXPECT_EQ(script->MessageTexts(), QStringList{QString::fromUtf8("ОШИБКА: адрес параметра")});
}

TEST_F(StartOnVirtualBoard, HelpCommandOpensOneGuideWindow) {
    ScopedScript script;
    frame->Command(57667)->trigger();
    frame->Command(57667)->trigger();
    EXPECT_TRUE(script->messages.empty());
    const auto windows = frame->findChildren<CHelpWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_TRUE(windows[0]->isWindow());
    const QString text = windows[0]->toPlainText();
    for (const char* heading : {"Первые шаги", "Устаревшие значения", "Меню по правой кнопке", "Маска и трасса",
                                "Выдача кадров", "Прием файла", "Файлы и их записи", "Виртуальная плата"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;
    // The guide's column names are the title pane's own.
    EXPECT_TRUE(CHelpWindow::GuideText().contains(QString::fromUtf8("прием по маске")));
}

}  // namespace
}  // namespace orv::ui
