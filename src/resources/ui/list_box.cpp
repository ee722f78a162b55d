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

void ListBox::SyncSelection() {
    syncing_ = true;
    const int sel = lines_.Selection();
    if (sel == LineList::kNone) {
        setCurrentRow(-1);
        clearSelection();
    } else {
        setCurrentRow(sel);
        scrollToItem(item(sel));
    }
    syncing_ = false;
}

}  // namespace orv::ui
