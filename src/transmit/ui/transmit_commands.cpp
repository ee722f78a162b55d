#include "transmit/ui/transmit_commands.h"

#include "resources/ui/modal.h"
#include "transmit/ui/COutChannelChooserDlg.h"
#include "transmit/ui/COutputFrameDlg.h"

namespace orv {

void RunTransmit(QWidget* parent, ProgramState& state) {
    unsigned channel = 0;
    if (state.Shell.DeviceState != kNoDevice) {
        COutChannelChooserDlg chooser(state.Board.OutputChannelCount, parent);
        if (ui::RunModal(chooser) != QDialog::Accepted || chooser.Channel() == 0) return;
        channel = chooser.Channel();
    }
    COutputFrameDlg frame(state, channel, parent);
    ui::RunModal(frame);
}

}  // namespace orv
