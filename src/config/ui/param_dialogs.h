#pragma once
// The parameter dictionary dialog and the entry editor it opens.

#include <QDialog>
#include <optional>

#include "files/settings_guard.h"
#include "config/param_line.h"
#include "config/param_edit.h"
#include "config/ui/table_dialog.h"

class QLineEdit;

namespace orv {

namespace ui {
class ListBox;
}

// "Характеристики параметра": label and octal address typed, format label picked from the list of
// formats by a double click or cleared.
class CParamEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit CParamEditDlg(QWidget* parent = nullptr);

    // Initial texts; the labels are shown without trailing blanks.
    void SetFields(const ParamFields& fields);
    const std::optional<ParamRecord>& Result() const { return result_; }

private:
    void OnApply();

    QLineEdit* label_;
    QLineEdit* address_;
    QLineEdit* formatLabel_;
    ui::ListBox* formats_;
    std::optional<ParamRecord> result_;
};

// "Параметры": the dictionary of "OrvparamList.stt" as a sorted list of parameter lines; the file
// is rewritten from the list by "Применить" only.
class CParamDictDlg : public TableDialog {
    Q_OBJECT
public:
    explicit CParamDictDlg(QWidget* parent = nullptr);

private:
    std::optional<Edited> RunEditor(LineList& lines, int row) override;
    SaveError Store(const LineList& lines, bool keepBackup) override;
};

}  // namespace orv
