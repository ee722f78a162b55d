#include "resources/ui/dialog_base.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"

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

QLabel* MakeGridLabel(QWidget* parent, const QString& text) {
    QLabel* label = MakeLabel(parent, text);
    label->setFont(GridFont());
    return label;
}

ButtonRow MakeButtonRow(QDialog* dialog, const QString& okText, const QString& cancelText) {
    QPushButton* ok = MakeButton(dialog, kIdOk, okText);
    ok->setDefault(true);
    QPushButton* cancel = MakeButton(dialog, kIdCancel, cancelText);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return {row, ok, cancel};
}

void LayOutTableDialog(QDialog& dialog, QWidget* list, const QStringList& heads, const QString& frameTitle,
                       const std::vector<DialogButton>& frameButtons, const DialogButton& ok,
                       const QString& cancelText) {
    auto* frame = new QGroupBox(frameTitle, &dialog);
    auto* frameLayout = new QVBoxLayout(frame);
    for (const DialogButton& spec : frameButtons) {
        QPushButton* b = MakeButton(frame, spec.id, spec.text);
        QObject::connect(b, &QPushButton::clicked, &dialog, spec.onClick);
        frameLayout->addWidget(b);
    }
    frameLayout->addStretch();

    QPushButton* apply = MakeButton(&dialog, ok.id, ok.text);
    apply->setDefault(true);
    QObject::connect(apply, &QPushButton::clicked, &dialog, ok.onClick);
    QPushButton* cancel = MakeButton(&dialog, kIdCancel, cancelText);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    auto* listColumn = new QVBoxLayout;
    if (auto* box = qobject_cast<ListBox*>(list); box && !heads.isEmpty())
        listColumn->addWidget(new ListHead(box, heads, &dialog));
    else
        for (const QString& head : heads) listColumn->addWidget(MakeGridLabel(&dialog, head));
    listColumn->addWidget(list);
    auto* side = new QVBoxLayout;
    side->addWidget(frame);
    side->addStretch();
    side->addWidget(apply);
    side->addWidget(cancel);
    auto* top = new QHBoxLayout(&dialog);
    top->addLayout(listColumn, 1);
    top->addLayout(side);
}

}  // namespace orv::ui
