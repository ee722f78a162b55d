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

bool ShowAndFocus(QWidget& window, QWidget* widget) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window, 2000)) return false;
    if (!widget) return true;
    widget->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    return widget->hasFocus();
}

}  // namespace orv::test
