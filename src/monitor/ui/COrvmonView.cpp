#include "monitor/ui/COrvmonView.h"

#include <QPainter>

#include "board/acquisition.h"
#include "board/ui/board_commands.h"
#include "config/ui/config_commands.h"
#include "resources/shell_strings.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/modal.h"

namespace orv::ui {

COrvmonView::COrvmonView(ProgramState& state, QWidget* parent)
    : QAbstractScrollArea(parent), state_(state) {
    viewport()->setAutoFillBackground(true);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(p);
    setFont(GridFont(true));
    setFocusPolicy(Qt::StrongFocus);
}

void COrvmonView::RefreshTick() { orv::RefreshTick(state_); }

void COrvmonView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
}

void COrvmonView::OnSelectDevice() { SelectDeviceCommand(this, state_); }

void COrvmonView::OnReceiveParams() {
    if (state_.Shell.DeviceState < 0) ShowMessage(this, QString::fromUtf8(text::kNoBoardList));
}

void COrvmonView::OnReceiveFile() {
    if (state_.Shell.DeviceState == -1) {
        ShowMessage(this, QString::fromUtf8(text::kNoBoard));
        return;
    }
}

void COrvmonView::OnTransmit() {
    if (state_.Shell.DeviceState < 0) ShowMessage(this, QString::fromUtf8(text::kNoBoardFrame));
}

void COrvmonView::OnFormats() { RunFormatTable(this); }

void COrvmonView::OnParams() { RunParamDict(this); }

void COrvmonView::OnRefreshPeriod() {}

void COrvmonView::OnChannelRates() { ChannelRatesCommand(this, state_); }

}  // namespace orv::ui
