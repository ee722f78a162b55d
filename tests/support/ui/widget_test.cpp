#include "support/ui/widget_test.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>

#include "resources/ui/grid_font.h"

namespace orv::test {

void DoubleClick(const QWidget& dialog, int id, int index) {
    auto* list = Find<ui::ListBox>(dialog, id);
    if (!list || index < 0 || index >= list->count()) {
        ADD_FAILURE() << "cannot double-click line " << index << " of list " << id;
        return;
    }
    list->Select(index);
    emit list->itemDoubleClicked(list->item(index));
}

bool ShowAndFocus(QWidget& window, QWidget* widget) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window, 2000)) return false;
    if (!widget) return true;
    widget->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    return widget->hasFocus();
}

ui::ListHead* HeadOver(const QWidget& dialog, int id) {
    for (ui::ListHead* head : dialog.findChildren<ui::ListHead*>())
        if (head->List() && head->List()->objectName() == QString::number(id)) return head;
    ADD_FAILURE() << "no head over list " << id;
    return nullptr;
}

std::vector<std::string> InkCells(ui::ListHead& head, int columns) {
    const QImage image = head.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The head has no ink in its last pixel column: the background.
    const int background = qGray(image.pixel(image.width() - 1, image.height() - 1));
    const int x0 = head.TextX();
    std::vector<std::string> rows;
    for (int top = 0; top + ui::kRowHeight <= image.height(); top += ui::kRowHeight) {
        std::string cells(std::size_t(columns), ' ');
        for (int c = 0; c < columns; ++c)
            for (int y = top; y < top + ui::kRowHeight; ++y)
                for (int x = std::max(0, x0 + ui::kCellWidth * c); x < x0 + ui::kCellWidth * (c + 1) && x < image.width();
                     ++x)
                    if (std::abs(qGray(image.pixel(x, y)) - background) > 96) cells[std::size_t(c)] = '#';
        rows.push_back(cells);
    }
    return rows;
}

std::string InkOf(const QString& text, int columns) {
    std::string cells(std::size_t(columns), ' ');
    for (int i = 0; i < text.size() && i < columns; ++i)
        if (text[i] != QLatin1Char(' ')) cells[std::size_t(i)] = '#';
    return cells;
}

}  // namespace orv::test
