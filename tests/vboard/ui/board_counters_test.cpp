// The virtual board's counters window and the scenario file at start-up, headless.
#include <QComboBox>
#include <QTableWidget>
#include <cstdio>
#include <fstream>

#include "support/ui/widget_test.h"
#include "vboard/counter_rows.h"
#include "vboard/ui/CBoardCountersDlg.h"
#include "vboard/ui/scenario_commands.h"
#include "vboard/virtual_board_provider.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {


std::string WriteFile(const char* name, const std::string& text) {
    const std::string path = std::string("/tmp/") + name;
    std::ofstream(path) << text;
    return path;
}

TEST(ScenarioOptionTest, AFileThatCannotBePlayedIsReportedAndTheFlightGoesOn) {
    VirtualBoardProvider boards(BoardClock::Manual);
    ScopedScript script;
    const std::string bad = WriteFile("orv-bad-scenario.toml", "[board1.input5]\nhears = \"radio\"\n");
    EXPECT_FALSE(PlayScenarioFile(boards, bad, nullptr));
    EXPECT_FALSE(PlayScenarioFile(boards, "no-such-scenario.toml", nullptr));
    EXPECT_EQ(script->MessageTexts(),
              QStringList({U("Сценарий /tmp/orv-bad-scenario.toml не прочитан:\nстрока 2: board1.input5.hears: нужно "
                             "одно из значений loopback, nothing, flight, traffic, playback.\nПлаты играют встроенный полёт."),
                           U("Сценарий no-such-scenario.toml не прочитан:\nнет такого файла.\n"
                             "Платы играют встроенный полёт.")}));
    EXPECT_EQ(boards.Counters(1).hears[4], InputHears::Flight);

    const std::string good = WriteFile("orv-good-scenario.toml", "[board1.input5]\nhears = \"nothing\"\n");
    EXPECT_TRUE(PlayScenarioFile(boards, good, nullptr));
    EXPECT_EQ(boards.Counters(1).hears[4], InputHears::Nothing);
    EXPECT_EQ(script->messages.size(), 2u);
    std::remove(bad.c_str());
    std::remove(good.c_str());
}

TEST(BoardCountersDlgTest, ShowsEachBoardsCountersAndFollowsThem) {
    VirtualBoardProvider boards(BoardClock::Manual);
    CBoardCountersDlg dlg(boards);
    QTableWidget* table = dlg.Table();
    ASSERT_EQ(table->rowCount(), 8);
    ASSERT_EQ(table->columnCount(), int(kCounterColumns));
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), U("Передано в линию"));
    EXPECT_EQ(table->item(0, 1)->text(), U("выход 1"));
    EXPECT_EQ(table->item(4, 1)->text(), U("полёт"));
    EXPECT_EQ(table->item(4, 2)->text(), QStringLiteral("0"));

    boards.Advance(1'000'000);  // the flight is on the line whether or not anybody listens
    dlg.Refresh();
    const uint64_t sent = boards.Counters(1).lines[4].sent;
    EXPECT_GT(sent, 200u);
    EXPECT_EQ(table->item(4, 2)->text(), QString::number(sent));
    EXPECT_EQ(table->item(4, 4)->text(), QStringLiteral("0"));  // the input is not started

    // Board 2: four inputs, two outputs; channels the board lacks have empty cells.
    dlg.BoardChoice()->setCurrentIndex(1);
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->item(2, 1)->text(), U("полёт"));
    EXPECT_EQ(table->item(2, 7)->text(), QString());
    EXPECT_EQ(table->item(1, 7)->text(), QStringLiteral("0"));
}

}  // namespace
}  // namespace orv::ui
