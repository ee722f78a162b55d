#include "monitor/ui/CTitleView.h"

#include <QPainter>

#include "monitor/title_text.h"
#include "resources/ui/grid_font.h"

namespace orv::ui {

CTitleView::CTitleView(ProgramState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setFont(GridFont());
}

void CTitleView::paintEvent(QPaintEvent*) {
    TitleValues values;
    values.deviceState = state_.Shell.DeviceState;
    values.acquisitionMode = state_.Acquisition.AcquisitionMode;
    values.cycleCounter = state_.Acquisition.CycleCounter;
    values.refreshPeriodMs = state_.Shell.RefreshPeriodMs;
    values.displayListReady = state_.Display.DisplayListReady;
    values.fileChannel = state_.Capture.FileChannel;
    const TitleDrawing drawing = DrawTitle(values);

    QPainter painter(this);
    // The background is erased white in every case; a white fill is all some states draw.
    painter.fillRect(rect(), Qt::white);
    painter.setFont(GridFont());
    painter.setPen(Qt::black);
    for (const PlacedText& t : drawing.texts) DrawGridText(painter, t.x, t.y, t.text);
    for (const PlacedLine& l : drawing.lines) painter.drawLine(l.x1, l.y1, l.x2, l.y2);
}

}  // namespace orv::ui
