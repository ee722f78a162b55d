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
    return font;
}

void DrawGridText(QPainter& painter, int x, int y, std::string_view cp1251) {
    const QString text = FromCp1251(cp1251);
    const QFontMetrics fm(painter.font());
    const int baseline = y + (kRowHeight + fm.ascent() - fm.descent()) / 2;
    if (fm.horizontalAdvance(QStringLiteral("M")) == kCellWidth) {
        painter.drawText(x, baseline, text);
        return;
    }
    for (int c = 0; c < text.size(); ++c)
        painter.drawText(x + kCellWidth * c, baseline, QString(text[c]));
}

}  // namespace orv::ui
