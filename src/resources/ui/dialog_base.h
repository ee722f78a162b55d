#pragma once
// Helpers for building the program's dialogs: controls are found by their numeric id, which is
// each control's object name ("1011"); captions and texts are the program's own.

#include <QDialog>
#include <QString>

class QPushButton;
class QLineEdit;
class QLabel;

namespace orv::ui {

// Gives a control its numeric id as object name.
template <typename W>
W* WithId(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// Finds a control of a dialog by id (nullptr if absent).
template <typename W>
W* Control(const QWidget& dialog, int id) {
    return dialog.findChild<W*>(QString::number(id));
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text);
QLineEdit* MakeEdit(QWidget* parent, int id, int maxLength = 0, bool readOnly = false);
QLabel* MakeLabel(QWidget* parent, const QString& text);

// Standard dialog ids.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

}  // namespace orv::ui
