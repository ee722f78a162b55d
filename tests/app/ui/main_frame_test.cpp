// The main window headless: its frame, menus, command guards and the close confirmation.
#include <QAction>
#include <QMenuBar>
#include <QStatusBar>

#include "app/ui/CMainFrame.h"
#include "monitor/ui/COrvmonView.h"
#include "support/scripted_device.h"
#include "resources/shell_strings.h"
#include "resources/vboard_strings.h"
#include "vboard/ui/CBoardCountersDlg.h"
#include "vboard/virtual_board_provider.h"
#include "resources/ui/grid_font.h"
#include <QFontMetricsF>
#include "support/ui/widget_test.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {


class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest() {
        state.Devices = &devices;
        frame = std::make_unique<CMainFrame>(state);
    }
    void Trigger(int id) {
        QAction* a = frame->Command(id);
        ASSERT_NE(a, nullptr) << id;
        a->trigger();
    }

    RecordingProvider devices{{"arinc10"}};
    ProgramState state;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, FrameIsAFixedCentredWindowWithTheProgramTitle) {
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Monitor Orvel"));
    EXPECT_EQ(frame->size(), QSize(960, 768));
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(CMainFrame::CentredPosition({1024, 768}), QPoint(32, 0));
    EXPECT_EQ(CMainFrame::CentredPosition({800, 600}), QPoint(-80, -84));
    EXPECT_EQ(CMainFrame::CentredPosition({961, 769}), QPoint(0, 0));  // truncates toward zero
    for (const char* indicator : {"CAP", "NUM", "SCRL"})
        EXPECT_NE(frame->statusBar()->findChild<QWidget*>(QString::fromLatin1(indicator)), nullptr);
    // The start-up values.
    EXPECT_EQ(state.Shell.DeviceState, -1);
    EXPECT_EQ(state.Shell.RefreshPeriodMs, 1000);
    EXPECT_EQ(state.Shell.RefreshTimerId, 0u);
}

TEST_F(MainFrameTest, MenusHoldTheCommandsInOrder) {
    QStringList lines;
    std::function<void(QMenu*, QString)> walk = [&](QMenu* menu, const QString& indent) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) lines << indent + "-";
            else if (a->menu()) {
                lines << indent + a->text();
                walk(a->menu(), indent + "  ");
            } else lines << indent + a->text() + " " + a->objectName();
        }
    };
    for (QAction* top : frame->menuBar()->actions()) {
        lines << top->text();
        walk(top->menu(), "  ");
    }
    const QStringList expected = {
        U("Файл"), U("  Выход 57665"),
        U("Устройства"), U("  Выбор рабочего устройства 32771"),
        U("Данные"), U("  Прием"), U("    параметров по всем каналам 32772"),
        U("    файла по одному каналу 32773"), U("  Выдача 32774"),
        U("Установки"), U("  Десятичные форматы 32775"), U("  Параметры 32776"),
        U("  Период обновления экрана 32777"), U("  Частоты каналов 32778"),
        U("Анализ"), U("  Сохранить таблицу параметров в CSV... 32900"),
        U("  Сохранить принятый блок в CSV... 32901"), U("  Счётчики виртуальной платы 32914"),
        U("  -"), U("  Запись шины в файл... 32915"), U("  Остановить запись 32916"),
        U("Справка"), U("  Справка 57667"), U("  -"), U("  О программе 57664"),
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(MainFrameTest, BoardCountersOpenOnTheVirtualBoardsOnly) {
    ScopedScript script;
    Trigger(CMainFrame::kBoardCountersCommand);  // the recording provider has no counters
    EXPECT_EQ(script->MessageTexts(), QStringList({U(text::kNoVirtualBoard)}));

    VirtualBoardProvider boards(BoardClock::Manual);
    state.Devices = &boards;
    Trigger(CMainFrame::kBoardCountersCommand);
    Trigger(CMainFrame::kBoardCountersCommand);  // raises the open window instead of a second one
    EXPECT_EQ(frame->findChildren<CBoardCountersDlg*>().size(), 1);
    EXPECT_TRUE(frame->findChild<CBoardCountersDlg*>()->isVisible());
    EXPECT_TRUE(script->dialogClasses.isEmpty());  // not modal: the monitor goes on beside it
    delete frame->findChild<CBoardCountersDlg*>();
    state.Devices = &devices;
}

TEST_F(MainFrameTest, BoardCommandsRefuseOrWarnWithoutABoard) {
    ScopedScript script;
    Trigger(32773);
    Trigger(32778);
    EXPECT_EQ(script->MessageTexts(), QStringList({U(text::kNoBoard), U(text::kRatesNeedBoard)}));
    // The refusing commands open nothing and send nothing.
    EXPECT_TRUE(script->dialogClasses.isEmpty());
    EXPECT_TRUE(devices.Opened().empty());
}

TEST_F(MainFrameTest, ListAndFrameCommandsWarnWithoutABoardAndStillOpenTheirDialogs) {
    ScopedScript script;
    Trigger(32772);
    Trigger(32774);
    EXPECT_EQ(script->MessageTexts(), QStringList({U(text::kNoBoardList), U(text::kNoBoardFrame)}));
    // Without a board the output channel chooser closes itself and the frame dialog opens at once.
    EXPECT_EQ(script->dialogClasses,
              QStringList({QStringLiteral("orv::CDisplayListDlg"), QStringLiteral("orv::COutputFrameDlg")}));
    EXPECT_TRUE(devices.Opened().empty());
}

TEST_F(MainFrameTest, ClosingAsksAndCancelKeepsTheWindow) {
    frame->show();
    {
        ScopedScript script;
        script->Answer(Answer::Cancel);
        EXPECT_FALSE(frame->close());
        EXPECT_EQ(script->MessageTexts(), QStringList({U(text::kExitQuestion)}));
        EXPECT_EQ(script->messages[0].buttons, Buttons::OkCancel);
    }
    EXPECT_TRUE(frame->isVisible());
    ScopedScript script;
    script->Answer(Answer::Ok);
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(devices.Opened().empty());  // no board: no request to any device
}

TEST_F(MainFrameTest, ClosingWithABoardStopsIt) {
    auto device = devices.Open("arinc10");
    state.Board.Link.Attach(device.get());
    state.Shell.DeviceState = 0;
    state.Shell.RefreshTimerId = frame->Start(1000);
    ScopedScript script;
    script->Answer(Answer::Cancel);
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(devices.Last()->Count(kStopBoard), 0u);
    EXPECT_NE(state.Shell.RefreshTimerId, 0u);  // cancelled: the timer keeps running

    script->Answer(Answer::Ok);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(devices.Last()->Codes(), std::vector<uint32_t>{kStopBoard});
    EXPECT_EQ(state.Shell.RefreshTimerId, 0u);
    state.Board.Link.Attach(nullptr);
}

TEST_F(MainFrameTest, AboutBoxOpensModally) {
    ScopedScript script;
    script->OnDialog([](QDialog& d) { test::Press(d, kIdOk); });
    Trigger(57664);
    EXPECT_EQ(script->dialogClasses, QStringList({QStringLiteral("orv::ui::CAboutDlg")}));
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());
}

}  // namespace
}  // namespace orv::ui

namespace orv::ui {
namespace {

// The panes place column c at x = 7c and draw separators by pixel: the grid font must advance
// exactly one 7-pixel cell per character, underlined or not, so whole lines can be drawn at once.
TEST(GridFontTest, EveryCharacterAdvancesOneCell) {
    EXPECT_TRUE(HasGridAdvance(GridFont()));
    EXPECT_TRUE(HasGridAdvance(GridFont(true)));
    const QFontMetricsF fm(GridFont());
    EXPECT_DOUBLE_EQ(fm.horizontalAdvance(QString::fromUtf8("Адрес Параметра")), 15 * kCellWidth);
}

}  // namespace
}  // namespace orv::ui
