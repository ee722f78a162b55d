#pragma once
// The format of one table row.

#include <QDialog>

namespace orv {
struct DisplayState;
namespace ui {
class ListBox;
}
}  // namespace orv

namespace orv {

// "Задание формата для параметра": picks the format of one table row; "Применить" sets it.
class CParamFormatDlg : public QDialog {
    Q_OBJECT
public:
    CParamFormatDlg(DisplayState& display, int row, QWidget* parent = nullptr);

private:
    void OnApply();

    DisplayState& display_;
    int row_;
    ui::ListBox* formats_;
};

}  // namespace orv
