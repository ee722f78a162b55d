#pragma once
// Helpers for building the program's dialogs: controls are found by their numeric id, which is
// each control's object name ("1011"); captions and texts are the program's own.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class QHBoxLayout;
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
// A label in the grid font, for column heads that must line up over a list's columns.
QLabel* MakeGridLabel(QWidget* parent, const QString& text);

// The closing buttons of a dialog, at the right of one row: `okText` (id 1, the default button)
// and then `cancelText` (id 2). The caller says what a click on each does.
struct ButtonRow {
    QHBoxLayout* layout;
    QPushButton* ok;
    QPushButton* cancel;
};
ButtonRow MakeButtonRow(QDialog* dialog, const QString& okText, const QString& cancelText);

// A button of a dialog: id, caption and what a click does.
struct DialogButton {
    int id;
    QString text;
    std::function<void()> onClick;
};

// The layout of a table dialog: the column heads (grid font) over `list` on the left; on the right
// a frame titled `frameTitle` with `frameButtons` in their order, then `ok` (the default button,
// id 1) and a cancel button (id 2) that rejects the dialog.
void LayOutTableDialog(QDialog& dialog, QWidget* list, const QStringList& heads, const QString& frameTitle,
                       const std::vector<DialogButton>& frameButtons, const DialogButton& ok,
                       const QString& cancelText);

// Standard dialog ids.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

}  // namespace orv::ui
