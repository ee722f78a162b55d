#include "support/ui/widget_test.h"

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

}  // namespace orv::test
