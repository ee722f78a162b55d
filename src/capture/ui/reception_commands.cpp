#include "capture/ui/reception_commands.h"

#include "capture/ui/CFileReceiveDlg.h"
#include "capture/ui/CInChannelChooserDlg.h"
#include "resources/ui/modal.h"

namespace orv {

void RunFileReception(QWidget* parent, ProgramState& state) {
    if (state.Shell.DeviceState == kNoDevice) return;
    CInChannelChooserDlg chooser(state.Board.InputChannelCount, parent);
    if (ui::RunModal(chooser) != QDialog::Accepted || chooser.Channel() == 0) return;
    CFileReceiveDlg dlg(state, chooser.Channel(), parent);
    ui::RunModal(dlg);
}

}  // namespace orv
