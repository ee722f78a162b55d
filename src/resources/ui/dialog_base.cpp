#include "resources/ui/dialog_base.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orv::ui {

QPushButton* MakeButton(QWidget* parent, int id, const QString& text) {
    auto* b = WithId(new QPushButton(text, parent), id);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* MakeEdit(QWidget* parent, int id, int maxLength, bool readOnly) {
    auto* e = WithId(new QLineEdit(parent), id);
    if (maxLength > 0) e->setMaxLength(maxLength);
    e->setReadOnly(readOnly);
    return e;
}

QLabel* MakeLabel(QWidget* parent, const QString& text) { return new QLabel(text, parent); }

}  // namespace orv::ui
