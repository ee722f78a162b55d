#include "session/ui/board_commands.h"

#include "session/board_control.h"
#include "session/ui/CDeviceSelectDlg.h"
#include "config/ui/CChannelFreqDlg.h"
#include "resources/shell_strings.h"
#include "resources/ui/modal.h"

namespace orv::ui {
namespace {

void RunChannelSettings(QWidget* parent, ProgramState& state) {
    CChannelFreqDlg dialog(state.Board.ChannelSettings, state.Board.InputChannelCount,
                           state.Board.OutputChannelCount, kChannelSettingsFileName, parent);
    RunModal(dialog);  // however it closes, the table as it now is goes to the board
}

}  // namespace

void SelectDeviceCommand(QWidget* parent, ProgramState& state) {
    CDeviceSelectDlg dialog(state, parent);
    RunModal(dialog);
    if (!dialog.Opened()) return;
    RunChannelSettings(parent, state);
    StartBoard(state);
    ClearBoardData(state);
}

void ChannelRatesCommand(QWidget* parent, ProgramState& state) {
    if (state.Shell.DeviceState == kNoDevice) {
        ShowMessage(parent, QString::fromUtf8(text::kRatesNeedBoard));
        return;
    }
    if (ShowMessage(parent, QString::fromUtf8(text::kRatesRestartQuestion), Buttons::OkCancel) !=
        Answer::Ok)
        return;
    BeginRestart(state);
    RunChannelSettings(parent, state);
    StartBoard(state);
}

}  // namespace orv::ui
