#include "resources/ui/grid_font.h"

#include <QFontMetrics>
#include <QPainter>

#include "resources/ui/text_codec.h"

namespace orv::ui {

QFont GridFont(bool underline) {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    font.setUnderline(underline);
    // Liberation Mono advances 0.6 em, 7.2 pixels at this size: narrow the spacing so that every
    // cell is exactly 7 pixels wide (and lists line up with the grid of the panes).
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('M'));
    if (advance > 0 && advance != kCellWidth)
        font.setLetterSpacing(QFont::AbsoluteSpacing, kCellWidth - advance);
    return font;
}

bool HasGridAdvance(const QFont& font) {
    return QFontMetricsF(font).horizontalAdvance(QStringLiteral("MMMMMMMMMM")) == 10 * kCellWidth;
}

namespace {

// Where the baseline lies in a row and whether whole lines keep the grid, for the last font drawn
// with (measuring them costs more than drawing a short text).
struct GridMetrics {
    QString fontKey;
    int baselineOffset = 0;
    bool gridAdvance = false;
};

const GridMetrics& MetricsOf(const QFont& font) {
    thread_local GridMetrics last;
    thread_local bool known = false;
    const QString key = font.key();
    if (!known || last.fontKey != key) {
        const QFontMetrics fm(font);
        last = {key, (kRowHeight + fm.ascent() - fm.descent()) / 2, HasGridAdvance(font)};
        known = true;
    }
    return last;
}

// True when the painter draws screen pixels at the grid's own scale.
bool OnScreenGrid(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (device == nullptr || device->devicePixelRatioF() != 1.0) return false;
    const int type = device->devType();
    if (type != QInternal::Image && type != QInternal::Pixmap && type != QInternal::Widget) return false;
    return painter.deviceTransform().type() <= QTransform::TxTranslate;
}

}  // namespace

GridRule GridUnderline(const QFont& font) {
    const QFontMetrics fm(font);
    return {MetricsOf(font).baselineOffset + fm.underlinePos(), std::max(1, fm.lineWidth())};
}

void DrawGridText(QPainter& painter, int x, int y, std::string_view cp1251) {
    const QString text = FromCp1251(cp1251);
    const GridMetrics& metrics = MetricsOf(painter.font());
    const int baseline = y + metrics.baselineOffset;
    if (metrics.gridAdvance && OnScreenGrid(painter)) {
        painter.drawText(x, baseline, text);
        return;
    }
    for (int c = 0; c < text.size(); ++c)
        painter.drawText(x + kCellWidth * c, baseline, QString(text[c]));
}

}  // namespace orv::ui
