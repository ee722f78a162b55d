#include "monitor/ui/CTitleView.h"

#include <algorithm>
#include <QPaintEvent>
#include <QPainter>

#include "resources/ui/cell_grid.h"
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

CTitleView::~CTitleView() = default;

TitleDrawing CTitleView::DrawingOf(const ProgramState& state) {
    TitleValues values;
    values.deviceState = state.Shell.DeviceState;
    values.acquisitionMode = state.Acquisition.AcquisitionMode;
    values.cycleCounter = state.Acquisition.CycleCounter;
    values.refreshPeriodMs = state.Shell.RefreshPeriodMs;
    values.displayListReady = state.Display.DisplayListReady;
    values.fileChannel = state.Capture.FileChannel;
    return DrawTitle(values);
}

TitleDrawing CTitleView::Current() const { return DrawingOf(state_); }

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

bool CTitleView::CellsOf(const TitleDrawing& drawing, std::vector<std::vector<uint64_t>>& rows) const {
    const int columns = width() / kCellWidth + 2;
    // The rows keep their storage from one refresh to the next: only their cells are cleared.
    rows.resize(std::size_t(height() / kRowHeight + 1));
    for (auto& row : rows) row.assign(std::size_t(columns), 0);
    for (const PlacedText& t : drawing.texts) {
        if (t.x < 0 || t.y < 0 || t.x % kCellWidth != 0 || t.y % kRowHeight != 0) return false;
        const auto r = std::size_t(t.y / kRowHeight);
        if (r >= rows.size()) continue;
        for (std::size_t i = 0; i < t.text.size(); ++i) {
            const std::size_t c = std::size_t(t.x / kCellWidth) + i;
            if (c >= std::size_t(columns)) break;
            if (rows[r][c] != 0) return false;
            rows[r][c] = CellOf(uint8_t(t.text[i]), 0x000000);
        }
    }
    return true;
}

QRegion CTitleView::Bring(const TitleDrawing& drawing) {
    QRegion dirty;
    bool whole = image_.size() != size() || drawing.lines != shown_.lines;
    // Nothing changed (the paint that follows a refresh): the image is up to date.
    if (!whole && drawing.fillWhite == shown_.fillWhite && drawing.texts == shown_.texts) return dirty;
    if (image_.size() != size()) image_ = QImage(size(), QImage::Format_RGB32);
    std::vector<std::vector<uint64_t>>& rows = cells_;
    if (CellsOf(drawing, rows)) {
        // Texts from the cell grid, then the lines over them, in the changed rectangles only.
        if (!grid_ || grid_->Columns() != int(rows[0].size()) || grid_->Rows() != int(rows.size())) {
            grid_ = std::make_unique<CellGrid>(GridFont(), int(rows[0].size()), int(rows.size()));
            whole = true;
        }
        if (grid_->Usable()) {
            for (std::size_t r = 0; r < rows.size(); ++r) dirty += grid_->Update(int(r), rows[r]);
            if (whole) dirty = QRegion(image_.rect());
            dirty &= QRegion(image_.rect());
            shown_ = drawing;
            if (dirty.isEmpty()) return dirty;
            QPainter painter(&image_);
            painter.setPen(Qt::black);
            for (const QRect& r : dirty) {
                painter.setClipRect(r);
                painter.drawImage(r.topLeft(), grid_->Image(), r);
                // Only the lines that reach into the rectangle: the clip would drop the others.
                for (const PlacedLine& l : drawing.lines)
                    if (QRect(QPoint(std::min(l.x1, l.x2), std::min(l.y1, l.y2)),
                              QPoint(std::max(l.x1, l.x2), std::max(l.y1, l.y2))).intersects(r))
                        painter.drawLine(l.x1, l.y1, l.x2, l.y2);
            }
            shown_ = drawing;
            return dirty;
        }
    }
    // Directly: the reference drawing, clipped to what changed. The grid no longer matches.
    grid_.reset();
    if (whole || drawing.texts.size() != shown_.texts.size()) {
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
