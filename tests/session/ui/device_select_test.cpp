#include "session/ui/board_commands.h"

#include "session/board_control.h"
#include "session/board_fixture.h"
#include "session/ui/CDeviceSelectDlg.h"
#include "config/ui/CChannelFreqDlg.h"
#include "config/channel_settings.h"
#include "support/ui/widget_test.h"
#include "vboard/virtual_board_provider.h"

namespace orv::test {
namespace {

const QString kWarning = QString::fromUtf8("ПРЕДУПРЕЖДЕНИЕ: Рабочее устройство задано.");
const QString kOpenError = QString::fromUtf8("Ошибка открытия устройства.");
const QString kNeedBoard =
    QString::fromUtf8("Команда используется для изменения частот каналов работающего устройства.");
const QString kRestart = QString::fromUtf8(
    "При выполнении команды произойдет перезапуск устройства, после чего режимы каналов следует "
    "задать заново. Продолжить? ");

QString Question(const char* name) {
    return QString::fromUtf8("Пуск устройства  ") + QString::fromLatin1(name) +
           QString::fromUtf8(" \n Продолжить ?");
}

std::vector<std::string> Lines(const QWidget& dlg, int id) {
    auto* list = Find<ui::ListBox>(dlg, id);
    return list ? list->Lines().Lines() : std::vector<std::string>{};
}

using SelectTest = BoardTest;

TEST_F(SelectTest, DialogListsTheTwelveNamesSorted) {
    ui::ScopedScript script;
    CDeviceSelectDlg dlg(state);
    EXPECT_TRUE(script->messages.empty());
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Выбор устройства"));
    const std::vector<std::string> expected{"arinc10", "arinc11", "arinc12", "arinc20",
                                            "arinc21", "arinc22", "arinc30", "arinc31",
                                            "arinc32", "arinc40", "arinc41", "arinc42"};
    EXPECT_EQ(Lines(dlg, 1000), expected);
    EXPECT_EQ(Find<ui::ListBox>(dlg, 1000)->Selection(), 0);
}

TEST_F(SelectTest, FullSelectionWithCancelledRateDialogStartsAtLowestRates) {
    state.Board.ChannelSettings.fill(6);
    state.Display.DisplayTable[0].paramLabel = Label8("ALT");
    state.Transmit.StoredFrames[3][0].endFlag = 0;
    ui::ScopedScript script;
    script->OnDialog([](QDialog& dlg) {
        Find<ui::ListBox>(dlg, 1000)->Select(1);
        Press(dlg, 1);
    });
    script->Answer(ui::Answer::Ok);
    script->OnDialog([](QDialog& dlg) { dlg.reject(); });  // Esc in the rate dialog
    ui::SelectDeviceCommand(nullptr, state);

    EXPECT_EQ(script->MessageTexts(), QStringList{Question("arinc11")});
    EXPECT_EQ(script->dialogClasses,
              (QStringList{"orv::CDeviceSelectDlg", "orv::CChannelFreqDlg"}));
    ASSERT_EQ(provider.OpenedNames(), std::vector<std::string>{"arinc11"});
    EXPECT_EQ(Device().Codes(), (std::vector<uint32_t>{kReadMemory, kRegisterEvent, kStartBoard}));
    const auto start = RequestsOf(Device(), kStartBoard).at(0);
    for (int w = 0; w < 16; ++w) EXPECT_EQ(start.InputWord(2 * std::size_t(w)), 0) << w;
    EXPECT_EQ(state.Shell.DeviceState, 0);
    EXPECT_NE(state.Shell.RefreshTimerId, 0u);
    EXPECT_TRUE(state.Board.AcquisitionThread.Running());
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), 0);
    EXPECT_EQ(state.Transmit.StoredFrames[3][0].endFlag, 1);
}

TEST_F(SelectTest, CancelPathsLeaveRunningBoardAlone) {
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    StartBoard(state);
    const uint32_t timerId = state.Shell.RefreshTimerId;
    const int fds = OpenDescriptors();

    // Warning first, then "Отмена".
    {
        ui::ScopedScript script;
        script->OnDialog([](QDialog& dlg) { Press(dlg, 2); });
        ui::SelectDeviceCommand(nullptr, state);
        EXPECT_EQ(script->MessageTexts(), QStringList{kWarning});
        EXPECT_EQ(script->dialogClasses.size(), 1);
    }
    // Cancel in the start question.
    {
        ui::ScopedScript script;
        script->OnDialog([](QDialog& dlg) { Press(dlg, 1); });
        script->Answer(ui::Answer::Ok);      // the warning
        script->Answer(ui::Answer::Cancel);  // the question
        ui::SelectDeviceCommand(nullptr, state);
        EXPECT_EQ(script->MessageTexts(), (QStringList{kWarning, Question("arinc10")}));
        EXPECT_EQ(script->dialogClasses.size(), 1);
    }
    // A device that cannot be opened.
    {
        ui::ScopedScript script;
        script->OnDialog([](QDialog& dlg) {
            Find<ui::ListBox>(dlg, 1000)->Select(11);  // arinc42: not present
            Press(dlg, 1);
        });
        script->Answer(ui::Answer::Ok);
        script->Answer(ui::Answer::Ok);
        ui::SelectDeviceCommand(nullptr, state);
        EXPECT_EQ(script->MessageTexts(), (QStringList{kWarning, Question("arinc42"), kOpenError}));
        EXPECT_EQ(script->dialogClasses.size(), 1);
    }
    EXPECT_EQ(provider.Opened().size(), 1u);
    EXPECT_EQ(state.Shell.RefreshTimerId, timerId);
    EXPECT_TRUE(timer.stopped.empty());
    EXPECT_TRUE(state.Board.AcquisitionThread.Running());
    EXPECT_EQ(OpenDescriptors(), fds);
}

TEST_F(SelectTest, RatesCommandGuardQuestionAndRestart) {
    {
        ui::ScopedScript script;
        ui::ChannelRatesCommand(nullptr, state);
        EXPECT_EQ(script->MessageTexts(), QStringList{kNeedBoard});
        EXPECT_TRUE(script->dialogClasses.isEmpty());
    }
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc12"));
    state.Board.ChannelSettings[0] = 6;
    StartBoard(state);
    Device().Clear();
    const uint32_t timerId = state.Shell.RefreshTimerId;
    {
        ui::ScopedScript script;
        script->Answer(ui::Answer::Cancel);
        ui::ChannelRatesCommand(nullptr, state);
        EXPECT_EQ(script->MessageTexts(), QStringList{kRestart});
        EXPECT_TRUE(Device().Codes().empty());
        EXPECT_EQ(state.Shell.RefreshTimerId, timerId);
    }
    {
        ui::ScopedScript script;
        script->Answer(ui::Answer::Ok);
        script->OnDialog([](QDialog& dlg) {
            // The current settings, not cleared.
            EXPECT_EQ(Lines(dlg, 1033).at(0), InputChannelLine(1, 6));
            Press(dlg, 1);
        });
        ui::ChannelRatesCommand(nullptr, state);
        EXPECT_EQ(Device().Codes(), (std::vector<uint32_t>{kReadMemory, kRegisterEvent, kStartBoard}));
        EXPECT_EQ(RequestsOf(Device(), kStartBoard).at(0).InputWord(0), 6);
        EXPECT_EQ(timer.stopped, std::vector<uint32_t>{timerId});
        EXPECT_NE(state.Shell.RefreshTimerId, 0u);
        EXPECT_TRUE(state.Board.AcquisitionThread.Running());
    }
}

TEST(SelectVirtualBoard, SmallerBoardThroughTheCommands) {
    VirtualBoardProvider devices(BoardClock::Manual);
    FakeTimer timer;
    ProgramState state;
    state.Devices = &devices;
    state.Timer = &timer;
    ui::ScopedScript script;
    script->OnDialog([](QDialog& dlg) {
        Find<ui::ListBox>(dlg, 1000)->Select(5);  // arinc22
        Press(dlg, 1);
    });
    script->Answer(ui::Answer::Ok);
    script->OnDialog([](QDialog& dlg) {
        EXPECT_EQ(Lines(dlg, 1033).size(), 4u);
        EXPECT_EQ(Lines(dlg, 1034).size(), 2u);
        DoubleClick(dlg, 1033, 3);
        Press(dlg, 1);
    });
    script->OnDialog([](QDialog& editor) {
        Find<QAbstractButton>(editor, 1003)->click();  // 36...60
        Press(editor, 1);
    });
    ui::SelectDeviceCommand(nullptr, state);
    EXPECT_TRUE(script->unexpectedDialogs.isEmpty());
    EXPECT_EQ(state.Board.ChannelSettings[3], 1);
    EXPECT_EQ(devices.Board(2).Word(BoardImage::ChannelSettingWords + 3), 1);
    EXPECT_GE(devices.Board(2).EventHandle(), 0);

    // Restart: the board gets the settings again, with the change made now.
    script->Answer(ui::Answer::Ok);
    script->OnDialog([](QDialog& dlg) {
        DoubleClick(dlg, 1034, 1);
        dlg.reject();
    });
    script->OnDialog([](QDialog& editor) {
        Find<QAbstractButton>(editor, 1005)->click();  // to even parity
        Press(editor, 1);
    });
    ui::ChannelRatesCommand(nullptr, state);
    EXPECT_EQ(devices.Board(2).Word(BoardImage::ChannelSettingWords + 3), 1);
    EXPECT_EQ(devices.Board(2).Word(BoardImage::ChannelSettingWords + 9), 4);
    EXPECT_TRUE(state.Board.AcquisitionThread.Running());
    ReleaseBoard(state);
}

}  // namespace
}  // namespace orv::test
