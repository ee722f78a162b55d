#pragma once
// The editor of one displayed parameter.

#include <QDialog>
#include <optional>

#include "display/list_rules.h"

class QLineEdit;

namespace orv::ui {
class ListBox;
}

namespace orv {

// "Характеристики отображаемого входного параметра": the parameter is picked from the dictionary by
// a double click (label, address and format label), the format may be picked from the formats or
// cleared, the channel is typed.
class CDisplayParamDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDisplayParamDlg(QWidget* parent = nullptr);

    void SetFields(const DisplayParamFields& fields);
    const std::optional<DisplayLineRecord>& Result() const { return result_; }

private:
    void OnApply();

    QLineEdit* label_;
    QLineEdit* channel_;
    QLineEdit* address_;
    QLineEdit* formatLabel_;
    ui::ListBox* params_;
    ui::ListBox* formats_;
    std::optional<DisplayLineRecord> result_;
};

}  // namespace orv
