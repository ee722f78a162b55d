#include "resources/ui/list_box.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include "resources/ui/grid_font.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {

ListBox::ListBox(bool sorted, QWidget* parent) : QListWidget(parent), lines_(sorted) {
    setFont(GridFont());
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Lines are shown whole: no eliding, and each item is as wide as its own text, so that the
    // horizontal scroll bar reaches the end of the longest line.
    setUniformItemSizes(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A line is chosen only by the engineer: a click, a key that moves in the list, or the
    // program's Select(). The current row alone (which the view sets when the list gets focus)
    // chooses nothing.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (syncing_) return;
        if (MultipleSelection()) {
            lines_.Select(currentRow());
            return;
        }
        const QList<QListWidgetItem*> chosen = selectedItems();
        lines_.Select(chosen.isEmpty() ? LineList::kNone : row(chosen.front()));
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int r = row(item);
        lines_.Select(r);
        SyncSelection();
        emit lineActivated(r);
    });
}

int ListBox::AddLine(std::string line) {
    const QString text = FromCp1251(line);
    const int index = lines_.Add(std::move(line));
    syncing_ = true;
    insertItem(index, text);
    syncing_ = false;
    SyncSelection();
    return index;
}

int ListBox::InsertLine(int index, std::string line) {
    const QString text = FromCp1251(line);
    const int at = lines_.Insert(index, std::move(line));
    syncing_ = true;
    insertItem(at, text);
    syncing_ = false;
    SyncSelection();
    return at;
}

void ListBox::ReplaceLine(int index, std::string line) {
    if (index < 0 || index >= Count()) return;
    item(index)->setText(FromCp1251(line));
    lines_.Replace(index, std::move(line));
}

void ListBox::DeleteLine(int index) {
    if (index < 0 || index >= Count()) return;
    lines_.Delete(index);
    syncing_ = true;
    delete takeItem(index);
    syncing_ = false;
    SyncSelection();
}

void ListBox::ClearLines() {
    lines_.Clear();
    syncing_ = true;
    clear();
    syncing_ = false;
}

void ListBox::Select(int index) {
    lines_.Select(index);
    SyncSelection();
}

void ListBox::SetMultipleSelection(bool on) {
    setSelectionMode(on ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
}

std::vector<int> ListBox::SelectedLines() const {
    std::vector<int> rows;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->isSelected()) rows.push_back(i);
    }
    return rows;
}

void ListBox::SetLineSelected(int index, bool selected) {
    if (index < 0 || index >= Count()) return;
    item(index)->setSelected(selected);
}

void ListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    // The view makes the first line current on focus; with nothing chosen there is no current
    // line either, so that the first key that moves in the list chooses the first line.
    if (!MultipleSelection() && lines_.Selection() == LineList::kNone && currentIndex().isValid()) {
        syncing_ = true;
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        syncing_ = false;
    }
}

void ListBox::SyncSelection() {
    syncing_ = true;
    const int sel = lines_.Selection();
    if (MultipleSelection()) {
        // Only the current line follows; the selected set is the user's.
        if (sel != LineList::kNone) selectionModel()->setCurrentIndex(model()->index(sel, 0), QItemSelectionModel::NoUpdate);
    } else if (sel == LineList::kNone) {
        setCurrentRow(-1);
        clearSelection();
    } else {
        setCurrentRow(sel);
        scrollToItem(item(sel));
    }
    syncing_ = false;
}

// ---- ListHead ----

ListHead::ListHead(ListBox* list, const QStringList& lines, QWidget* parent)
    : QWidget(parent), list_(list) {
    // A head text may hold several lines ("\n" between them): each gets its own row, from the
    // list's first column, as a multi-line static text draws them.
    for (const QString& text : lines) lines_ << text.split(QLatin1Char('\n'));
    setFont(GridFont());
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    connect(list_->horizontalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
}

int ListHead::TextX() const {
    // The list draws an item's text after the view's frame and the item's text margin.
    const int margin = list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    const QWidget* viewport = list_->viewport();
    const int viewportX = viewport->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
    return viewportX + margin - list_->horizontalScrollBar()->value();
}

QSize ListHead::sizeHint() const { return {kCellWidth * 10, kRowHeight * int(lines_.size()) + 2}; }

QSize ListHead::minimumSizeHint() const { return {0, sizeHint().height()}; }

void ListHead::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    // Only over the list's viewport: a head scrolled sideways does not run over the frame.
    const QWidget* viewport = list_->viewport();
    const int left = viewport->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
    painter.setClipRect(QRect(left, 0, viewport->width(), height()));
    const int x = TextX();
    const int ascent = painter.fontMetrics().ascent();
    for (int i = 0; i < int(lines_.size()); ++i) painter.drawText(x, kRowHeight * i + 1 + ascent, lines_[i]);
}

}  // namespace orv::ui
