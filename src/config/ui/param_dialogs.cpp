#include "text/scanf_forms.h"
#include "config/ui/param_dialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/format_file.h"
#include "config/param_file.h"
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

constexpr int kIdParamList = 1000;
constexpr int kIdAdd = 1020;
constexpr int kIdDelete = 1019;
constexpr int kIdEdit = 1021;
constexpr int kIdLabel = 1025;
constexpr int kIdAddress = 1022;
constexpr int kIdFormatLabel = 1005;
constexpr int kIdClearFormat = 1021;
constexpr int kIdFormatList = 1011;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

// ---- Editor ----

CParamEditDlg::CParamEditDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(U(text::kParamEditTitle));
    label_ = ui::MakeEdit(this, kIdLabel, 8);
    address_ = ui::MakeEdit(this, kIdAddress);
    formatLabel_ = ui::MakeEdit(this, kIdFormatLabel, 0, true);
    auto* clear = ui::MakeButton(this, kIdClearFormat, U(text::kClearFormat));
    formats_ = ui::WithId(new ui::ListBox(true, this), kIdFormatList);
    formats_->setMinimumWidth(ui::kCellWidth * 66);

    auto* form = new QFormLayout;
    form->addRow(ui::MakeLabel(this, U(text::kParamLabelCaption)), label_);
    form->addRow(ui::MakeLabel(this, U(text::kAddressCaption)), address_);
    form->addRow(ui::MakeLabel(this, U(text::kFormatLabelFieldCaption)), formatLabel_);
    form->addRow(nullptr, clear);

    auto* ok = ui::MakeButton(this, ui::kIdOk, U(text::kApply));
    ok->setDefault(true);
    auto* cancel = ui::MakeButton(this, ui::kIdCancel, U(text::kCancel));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(ui::MakeLabel(this, U(text::kFormatsForReference)));
    top->addWidget(
        new ui::ListHead(formats_, {ui::FromCp1251(kFormatLineHead1), ui::FromCp1251(kFormatLineHead2)}, this));
    top->addWidget(formats_);
    top->addWidget(ui::MakeLabel(this, U(text::kDoubleClickFormat)));
    top->addLayout(buttons);

    connect(clear, &QPushButton::clicked, this, [this] { formatLabel_->setText(QString(8, QLatin1Char(' '))); });
    connect(formats_, &ui::ListBox::lineActivated, this, [this](int index) {
        if (index < 0 || index >= formats_->Count()) return;
        formatLabel_->setText(ui::FromCp1251(std::string_view(formats_->Text(index)).substr(0, 8)));
    });
    connect(ok, &QPushButton::clicked, this, &CParamEditDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    ui::ShowLines(*formats_, FormatLines(LoadFormats()));
}

void CParamEditDlg::SetFields(const ParamFields& fields) {
    label_->setText(ui::FromCp1251(TrimRightBlanks(fields.label.value_or(std::string()))));
    address_->setText(fields.address ? ui::FromCp1251(*fields.address) : QString());
    formatLabel_->setText(ui::FromCp1251(TrimRightBlanks(fields.formatLabel.value_or(std::string()))));
}

void CParamEditDlg::OnApply() {
    const ParamCheck check = CheckParamFields(
        {ui::ToCp1251(label_->text()), ui::ToCp1251(address_->text()), ui::ToCp1251(formatLabel_->text())});
    if (!check.ok()) {
        ui::ShowMessage(this, U(check.error));
        return;
    }
    result_ = check.record;
    accept();
}

// ---- Dictionary ----

CParamDictDlg::CParamDictDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(U(text::kParamDictTitle));
    list_ = ui::WithId(new ui::ListBox(true, this), kIdParamList);
    list_->setMinimumWidth(ui::kCellWidth * 36);

    ui::LayOutTableDialog(*this, list_,
                          {ui::FromCp1251(kParamLineHead1), ui::FromCp1251(kParamLineHead2)},
                          U(text::kParamFrame),
                          {{kIdAdd, U(text::kParamAdd), [this] { OnAdd(); }},
                           {kIdDelete, U(text::kParamDelete), [this] { OnDelete(); }},
                           {kIdEdit, U(text::kParamEdit), [this] { OnEdit(); }}},
                          {ui::kIdOk, U(text::kApply), [this] { OnApply(); }}, U(text::kCancel));

    const auto read = ReadParamFile();
    ui::ShowLines(*list_, ParamLines(read.records));
    file_ = GuardOf(read, kParamFileName);
    // Told before the dialog shows: over the window that opened it.
    if (!file_.openMessage.empty())
        ui::ShowMessage(parentWidget() ? parentWidget() : this, U(file_.openMessage.c_str()));
}

void CParamDictDlg::OnAdd() {
    CParamEditDlg editor(this);
    editor.SetFields(ParamFields{"", "", ""});
    if (ui::RunModal(editor) != QDialog::Accepted || !editor.Result()) return;
    LineList lines = list_->Lines();
    const char* refusal = AddParamLine(lines, *editor.Result());
    ui::ShowLines(*list_, lines);
    if (refusal) ui::ShowMessage(this, U(refusal));
}

void CParamDictDlg::OnEdit() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) {
        ui::ShowMessage(this, U(text::kPickParam));
        return;
    }
    CParamEditDlg editor(this);
    editor.SetFields(FieldsOfParamLine(list_->Text(sel)));
    if (ui::RunModal(editor) != QDialog::Accepted || !editor.Result()) return;
    LineList lines = list_->Lines();
    const char* refusal = ReplaceParamLine(lines, sel, *editor.Result());
    ui::ShowLines(*list_, lines);
    // The refusal asks a question, but either answer leaves the list as it is.
    if (refusal) ui::ShowMessage(this, U(refusal), ui::Buttons::OkCancel);
}

void CParamDictDlg::OnDelete() {
    const int sel = list_->Selection();
    if (sel == LineList::kNone) {
        ui::ShowMessage(this, U(text::kPickParam));
        return;
    }
    if (ui::ShowMessage(this, U(text::kDeleteParamQuestion), ui::Buttons::OkCancel) != ui::Answer::Ok) return;
    LineList lines = list_->Lines();
    DeleteAndSelectNext(lines, sel);
    ui::ShowLines(*list_, lines);
}

void CParamDictDlg::OnApply() {
    // A file that was not read is not saved over, and one that cannot be written is left as it
    // was; the dialog then stays open with the list, so the engineer's edits are not lost unseen.
    if (const std::string refusal = file_.SaveRefusal(); !refusal.empty())
        return void(ui::ShowMessage(this, U(refusal.c_str())));
    if (StoreParams(ParamsOfLines(list_->Lines()), kParamFileName, file_.keepBackup) != SaveError::None)
        return void(ui::ShowMessage(this, U(file_.SaveFailure().c_str())));
    accept();
}

}  // namespace orv
