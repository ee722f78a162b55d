#pragma once
// The decimal format table dialog and the format editor it opens.

#include <QDialog>
#include <optional>

#include "files/settings_guard.h"
#include "config/decimal_format.h"
#include "config/format_edit.h"
#include "config/ui/table_dialog.h"

class QComboBox;
class QLineEdit;

namespace orv {

namespace ui {
class ListBox;
}

// "Характеристики десятичного формата": validates the typed fields into one format.
class CFormatEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFormatEditDlg(QWidget* parent = nullptr);

    // Initial texts and role; label and units are shown without trailing blanks.
    void SetFields(const FormatFields& fields);
    // The format accepted by "Применить" (set only when the dialog ended with Accepted).
    const std::optional<DecimalFormat>& Result() const { return result_; }

private:
    void OnApply();

    QLineEdit* label_;
    QComboBox* role_;
    QLineEdit* msb_;
    QLineEdit* lsb_;
    QLineEdit* weight_;
    QLineEdit* units_;
    std::optional<DecimalFormat> result_;
};

// "Десятичные форматы": the table of "Orvfrmt.stt" as a sorted list of format lines; the file is
// rewritten from the list by "Применить" only.
class CFormatTableDlg : public TableDialog {
    Q_OBJECT
public:
    explicit CFormatTableDlg(QWidget* parent = nullptr);

private:
    std::optional<Edited> RunEditor(LineList& lines, int row) override;
    SaveError Store(const LineList& lines, bool keepBackup) override;
};

}  // namespace orv
