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

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

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

    auto* ok = ui::MakeButton(this, ui::kIdOk, U(text::kApply));
    ok->setDefault(true);
    auto* cancel = ui::MakeButton(this, ui::kIdCancel, U(text::kCancel));
    connect(ok, &QPushButton::clicked, this, &CFormatEditDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);
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

CFormatTableDlg::CFormatTableDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(U(text::kFormatTableTitle));
    list_ = ui::WithId(new ui::ListBox(true, this), kIdFormatList);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setMinimumWidth(ui::kCellWidth * 72);

    ui::LayOutTableDialog(*this, list_,
                          {ui::FromCp1251(kFormatLineHead1), ui::FromCp1251(kFormatLineHead2)},
                          U(text::kFormatFrame),
                          {{kIdAdd, U(text::kFormatAdd), [this] { OnAdd(); }},
                           {kIdEdit, U(text::kFormatEdit), [this] { OnEdit(); }},
                           {kIdDelete, U(text::kFormatDelete), [this] { OnDelete(); }}},
                          {ui::kIdOk, U(text::kApply), [this] { OnApply(); }}, U(text::kCancel));

    const auto read = ReadFormatFile();
    ui::ShowLines(*list_, FormatLines(read.records));
    file_ = GuardOf(read, kFormatFileName);
    // Told before the dialog shows: over the window that opened it.
    if (!file_.openMessage.empty())
        ui::ShowMessage(parentWidget() ? parentWidget() : this, U(file_.openMessage.c_str()));
}

void CFormatTableDlg::OnAdd() {
    CFormatEditDlg editor(this);
    editor.SetFields(FormatFields{"", "", "", "", "", 0});
    if (ui::RunModal(editor) != QDialog::Accepted || !editor.Result()) return;
    LineList lines = list_->Lines();
    const char* refusal = AddFormatLine(lines, *editor.Result());
    ui::ShowLines(*list_, lines);
    if (refusal) ui::ShowMessage(this, U(refusal));
}

void CFormatTableDlg::OnEdit() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) {
        ui::ShowMessage(this, U(text::kPickFormat));
        return;
    }
    CFormatEditDlg editor(this);
    editor.SetFields(FieldsOfFormatLine(list_->Text(sel)));
    if (ui::RunModal(editor) != QDialog::Accepted || !editor.Result()) return;
    LineList lines = list_->Lines();
    const char* refusal = ReplaceFormatLine(lines, sel, *editor.Result());
    ui::ShowLines(*list_, lines);
    if (refusal) ui::ShowMessage(this, U(refusal));
}

void CFormatTableDlg::OnDelete() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) {
        ui::ShowMessage(this, U(text::kPickFormat));
        return;
    }
    if (ui::ShowMessage(this, U(text::kDeleteFormatQuestion), ui::Buttons::OkCancel) != ui::Answer::Ok) return;
    LineList lines = list_->Lines();
    DeleteAndSelectNext(lines, sel);
    ui::ShowLines(*list_, lines);
}

void CFormatTableDlg::OnApply() {
    // A file that was not read is not saved over, and one that cannot be written is left as it
    // was; the dialog then stays open with the list, so the engineer's edits are not lost unseen.
    if (const std::string refusal = file_.SaveRefusal(); !refusal.empty())
        return void(ui::ShowMessage(this, U(refusal.c_str())));
    if (StoreFormats(FormatsOfLines(list_->Lines()), kFormatFileName, file_.keepBackup) != SaveError::None)
        return void(ui::ShowMessage(this, U(file_.SaveFailure().c_str())));
    accept();
}

}  // namespace orv
