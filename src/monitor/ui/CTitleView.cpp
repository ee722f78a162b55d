#include "monitor/ui/CTitleView.h"

#include <QPaintEvent>
#include <QPainter>

#include "resources/ui/grid_font.h"

namespace orv::ui {
namespace {

// Where a text may leave ink: its cells, a cell either side for overhanging glyphs, and a margin
// above and below its row.
QRect TextReach(const PlacedText& t) {
    return QRect(t.x - kCellWidth, t.y - kRowHeight / 2, kCellWidth * (int(t.text.size()) + 2), 2 * kRowHeight);
}

}  // namespace

CTitleView::CTitleView(ProgramState& state, QWidget* parent) : QWidget(parent), state_(state) {
    // Paints copy the image over everything they expose: no background fill first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setFont(GridFont());
}

TitleDrawing CTitleView::Current() const {
    TitleValues values;
    values.deviceState = state_.Shell.DeviceState;
    values.acquisitionMode = state_.Acquisition.AcquisitionMode;
    values.cycleCounter = state_.Acquisition.CycleCounter;
    values.refreshPeriodMs = state_.Shell.RefreshPeriodMs;
    values.displayListReady = state_.Display.DisplayListReady;
    values.fileChannel = state_.Capture.FileChannel;
    return DrawTitle(values);
}

void CTitleView::DrawTitlePane(QPainter& painter, const TitleDrawing& drawing, const QRect& area) {
    painter.save();
    // The background is erased white in every case; a white fill is all some states draw.
    painter.fillRect(area, Qt::white);
    painter.setFont(GridFont());
    painter.setPen(Qt::black);
    for (const PlacedText& t : drawing.texts)
        if (TextReach(t).intersects(area)) DrawGridText(painter, t.x, t.y, t.text);
    for (const PlacedLine& l : drawing.lines) painter.drawLine(l.x1, l.y1, l.x2, l.y2);
    painter.restore();
}

QRegion CTitleView::Bring(const TitleDrawing& drawing) {
    QRegion dirty;
    if (image_.size() != size() || drawing.lines != shown_.lines || drawing.texts.size() != shown_.texts.size()) {
        if (image_.size() != size()) image_ = QImage(size(), QImage::Format_RGB32);
        dirty = QRegion(image_.rect());
    } else {
        for (std::size_t i = 0; i < drawing.texts.size(); ++i)
            if (drawing.texts[i] != shown_.texts[i]) dirty += TextReach(drawing.texts[i]) | TextReach(shown_.texts[i]);
        dirty &= QRegion(image_.rect());
    }
    if (!dirty.isEmpty()) {
        QPainter painter(&image_);
        for (const QRect& r : dirty) {
            painter.setClipRect(r);
            DrawTitlePane(painter, drawing, r);
        }
    }
    shown_ = drawing;
    return dirty;
}

void CTitleView::Refresh() {
    if (!isVisible() || image_.size() != size()) {
        update();
        return;
    }
    const QRegion dirty = Bring(Current());
    if (!dirty.isEmpty()) update(dirty);
}

void CTitleView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const TitleDrawing drawing = Current();
    if (painter.device()->devicePixelRatioF() != 1.0) {
        DrawTitlePane(painter, drawing, rect());
        return;
    }
    // What changed without a refresh is brought in too; parts of it outside this paint follow.
    const QRegion dirty = Bring(drawing);
    const QRegion rest = dirty - event->region();
    if (!rest.isEmpty()) update(rest);
    for (const QRect& r : event->region()) painter.drawImage(r.topLeft(), image_, r);
}

}  // namespace orv::ui
