#include "resources/ui/list_box.h"

#include "resources/ui/grid_font.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {

ListBox::ListBox(bool sorted, QWidget* parent) : QListWidget(parent), lines_(sorted) {
    setFont(GridFont());
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) lines_.Select(row);
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

}  // namespace orv::ui
