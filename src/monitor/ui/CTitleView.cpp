#include "monitor/ui/CTitleView.h"

#include <QPainter>

#include "arinc/text.h"
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
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (state_.Shell.DeviceState == -1) return;
    painter.setFont(GridFont());
    painter.setPen(Qt::black);
    DrawGridText(painter, 0, 0, Cp1251(" Модуль Orvel"));
}

}  // namespace orv::ui
