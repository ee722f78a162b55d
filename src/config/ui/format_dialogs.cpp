#include "text/scanf_forms.h"
#include "config/ui/format_dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/format_file.h"
#include "config/table_rules.h"
#include "config/ui/list_sync.h"
#include "resources/config_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"
#include "config/format_line.h"

namespace orv {
namespace {

// Ids of the controls.
constexpr int kIdFormatList = 1011;
constexpr int kIdAdd = 1020;
constexpr int kIdDelete = 1021;
constexpr int kIdEdit = 1022;
constexpr int kIdLabel = 1018;
constexpr int kIdRole = 1016;
constexpr int kIdMsb = 1015;
constexpr int kIdLsb = 1014;
constexpr int kIdWeight = 1013;
constexpr int kIdUnits = 1012;

using ui::U;

}  // namespace

// ---- Editor ----

CFormatEditDlg::CFormatEditDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(U(text::kFormatEditTitle));
    label_ = ui::MakeEdit(this, kIdLabel, 8);
    role_ = ui::WithId(new QComboBox(this), kIdRole);
    role_->addItem(U(text::kRoleSign));
    role_->addItem(U(text::kRoleData));
    msb_ = ui::MakeEdit(this, kIdMsb, 2);
    lsb_ = ui::MakeEdit(this, kIdLsb, 2);
    weight_ = ui::MakeEdit(this, kIdWeight);
    units_ = ui::MakeEdit(this, kIdUnits, 4);

    auto* form = new QFormLayout;
    form->addRow(ui::MakeLabel(this, U(text::kFormatLabelCaption)), label_);
    form->addRow(ui::MakeLabel(this, U(text::kRoleCaption)), role_);
    form->addRow(ui::MakeLabel(this, U(text::kMsbCaption)), msb_);
    form->addRow(ui::MakeLabel(this, U(text::kLsbCaption)), lsb_);
    form->addRow(ui::MakeLabel(this, U(text::kWeightCaption)), weight_);
    form->addRow(ui::MakeLabel(this, U(text::kUnitsCaption)), units_);

    const ui::ButtonRow buttons = ui::MakeButtonRow(this, U(text::kApply), U(text::kCancel));
    connect(buttons.ok, &QPushButton::clicked, this, &CFormatEditDlg::OnApply);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons.layout);
}

void CFormatEditDlg::SetFields(const FormatFields& fields) {
    label_->setText(ui::FromCp1251(TrimRightBlanks(fields.label.value_or(std::string()))));
    msb_->setText(fields.msb ? ui::FromCp1251(*fields.msb) : QString());
    lsb_->setText(fields.lsb ? ui::FromCp1251(*fields.lsb) : QString());
    weight_->setText(fields.weight ? ui::FromCp1251(*fields.weight) : QString());
    units_->setText(ui::FromCp1251(TrimRightBlanks(fields.units.value_or(std::string()))));
    role_->setCurrentIndex(fields.role == 1 ? 1 : 0);
}

void CFormatEditDlg::OnApply() {
    FormatFields fields;
    fields.label = ui::ToCp1251(label_->text());
    fields.msb = ui::ToCp1251(msb_->text());
    fields.lsb = ui::ToCp1251(lsb_->text());
    fields.weight = ui::ToCp1251(weight_->text());
    fields.units = ui::ToCp1251(units_->text());
    fields.role = role_->currentIndex() == 1 ? 1 : 0;
    const FormatCheck check = CheckFormatFields(fields);
    if (!check.ok()) {
        ui::ShowMessage(this, U(check.error));
        return;
    }
    result_ = check.format;
    accept();
}

// ---- Table ----

CFormatTableDlg::CFormatTableDlg(QWidget* parent)
    : TableDialog(parent, {text::kFormatTableTitle,
                           kIdFormatList,
                           72,
                           true,
                           {ui::FromCp1251(kFormatLineHead1), ui::FromCp1251(kFormatLineHead2)},
                           text::kFormatFrame,
                           {{Action::Add, kIdAdd, text::kFormatAdd},
                            {Action::Edit, kIdEdit, text::kFormatEdit},
                            {Action::Delete, kIdDelete, text::kFormatDelete}},
                           text::kPickFormat,
                           text::kDeleteFormatQuestion}) {
    const auto read = ReadFormatFile();
    ShowRead(FormatLines(read.records), GuardOf(read, kFormatFileName));
}

std::optional<TableDialog::Edited> CFormatTableDlg::RunEditor(LineList& lines, int row) {
    CFormatEditDlg editor(this);
    editor.SetFields(row == LineList::kNone ? FormatFields{"", "", "", "", "", 0}
                                            : FieldsOfFormatLine(lines.At(row)));
    if (ui::RunModal(editor) != QDialog::Accepted || !editor.Result()) return std::nullopt;
    if (row == LineList::kNone) return Edited{AddFormatLine(lines, *editor.Result())};
    return Edited{ReplaceFormatLine(lines, row, *editor.Result())};
}

SaveError CFormatTableDlg::Store(const LineList& lines, bool keepBackup) {
    return StoreFormats(FormatsOfLines(lines), kFormatFileName, keepBackup);
}

}  // namespace orv
