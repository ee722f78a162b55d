#include "transmit/ui/word_dialogs.h"

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
#include "config/ui/line_heads.h"
#include "config/ui/list_sync.h"
#include "resources/transmit_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"
#include "transmit/word_editor.h"
#include "config/format_line.h"

namespace orv {
namespace {

constexpr int kIdParamLabel = 1025;
constexpr int kIdAddress = 1022;
constexpr int kIdFormatLabel = 1024;
constexpr int kIdCode = 1013;
constexpr int kIdParams = 1000;
constexpr int kIdFormats = 1011;
constexpr int kIdCheck = 1001;
constexpr int kIdDecimal = 1014;
constexpr int kIdM = 1016;
constexpr int kIdClearFormat = 1021;
constexpr int kIdPauseLength = 1009;

using ui::U;

std::string Cp1251Of(const QLineEdit* edit) { return ui::ToCp1251(edit->text()).value_or(std::string()); }

void ShowView(const CodeView& view, QLineEdit* m, QLineEdit* decimal) {
    m->setText(ui::FromCp1251(view.m));
    if (view.decimal) decimal->setText(ui::FromCp1251(*view.decimal));
}

QHBoxLayout* ApplyCancelRow(QDialog* dlg, QPushButton*& ok, QPushButton*& cancel) {
    const ui::ButtonRow row = ui::MakeButtonRow(dlg, U(text::kApplyButton), U(text::kCancelButton));
    ok = row.ok;
    cancel = row.cancel;
    return row.layout;
}

}  // namespace

// ---- Word editor ----

COutputWordDlg::COutputWordDlg(FrameEntry& current, QWidget* parent) : QDialog(parent), current_(current) {
    setWindowTitle(U(text::kWordTitle));
    auto* dataBox = new QGroupBox(U(text::kWordDataGroup), this);
    label_ = ui::MakeEdit(dataBox, kIdParamLabel, 8, true);
    address_ = ui::MakeEdit(dataBox, kIdAddress, 3, true);
    formatLabel_ = ui::MakeEdit(dataBox, kIdFormatLabel, 0, true);
    code_ = ui::MakeEdit(dataBox, kIdCode, 6);
    auto* form = new QFormLayout(dataBox);
    form->addRow(ui::MakeLabel(dataBox, U(text::kWordLabelCaption)), label_);
    form->addRow(ui::MakeLabel(dataBox, U(text::kWordAddressCaption)), address_);
    form->addRow(ui::MakeLabel(dataBox, U(text::kWordFormatCaption)), formatLabel_);
    form->addRow(ui::MakeLabel(dataBox, U(text::kCodeCaption)), code_);

    auto* check = ui::MakeButton(this, kIdCheck, U(text::kWordCheck));
    decimal_ = ui::MakeEdit(this, kIdDecimal, 0, true);
    decimal_->setFont(ui::GridFont());
    m_ = ui::MakeEdit(this, kIdM, 2, true);
    auto* clearFormat = ui::MakeButton(this, kIdClearFormat, U(text::kWordClearFormat));
    auto* checkForm = new QFormLayout;
    checkForm->addRow(nullptr, check);
    checkForm->addRow(ui::MakeLabel(this, U(text::kWordDecimalCaption)), decimal_);
    checkForm->addRow(ui::MakeLabel(this, U(text::kWordMCaption)), m_);
    checkForm->addRow(nullptr, clearFormat);

    params_ = ui::WithId(new ui::ListBox(true, this), kIdParams);
    params_->setMinimumWidth(ui::kCellWidth * 36);
    formats_ = ui::WithId(new ui::ListBox(true, this), kIdFormats);
    formats_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    formats_->setMinimumWidth(ui::kCellWidth * 66);

    auto* paramColumn = new QVBoxLayout;
    paramColumn->addWidget(ui::ParamListHead(params_, this));
    paramColumn->addWidget(params_, 1);
    paramColumn->addWidget(ui::MakeLabel(this, U(text::kWordParamHint)));
    auto* formatColumn = new QVBoxLayout;
    formatColumn->addWidget(ui::MakeLabel(this, U(text::kWordFormatsCaption)));
    formatColumn->addWidget(ui::FormatListHead(formats_, this));
    formatColumn->addWidget(formats_, 1);
    formatColumn->addWidget(ui::MakeLabel(this, U(text::kWordFormatHint)));

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    auto* buttons = ApplyCancelRow(this, ok, cancel);
    auto* upper = new QHBoxLayout;
    upper->addWidget(dataBox, 1);
    upper->addLayout(checkForm, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(paramColumn, 1);
    lists->addLayout(formatColumn, 2);
    auto* top = new QVBoxLayout(this);
    top->addLayout(upper);
    top->addLayout(lists, 1);
    top->addLayout(buttons);

    connect(params_, &ui::ListBox::lineActivated, this, &COutputWordDlg::OnParamPicked);
    connect(formats_, &ui::ListBox::lineActivated, this, &COutputWordDlg::OnFormatPicked);
    connect(check, &QPushButton::clicked, this, &COutputWordDlg::OnCheck);
    connect(clearFormat, &QPushButton::clicked, this, [this] { formatLabel_->setText(QString(8, QLatin1Char(' '))); });
    connect(ok, &QPushButton::clicked, this, &COutputWordDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Missing files leave the lists empty.
    ui::ShowLines(*formats_, FormatLines(LoadFormats()));
    ui::ShowLines(*params_, ParamLines(LoadParams()));
}

void COutputWordDlg::SetTexts(const FrameLineTexts& texts) {
    address_->setText(ui::FromCp1251(texts.address));
    label_->setText(ui::FromCp1251(texts.paramLabel));
    formatLabel_->setText(ui::FromCp1251(texts.formatLabel));
    code_->setText(ui::FromCp1251(texts.code));
}

std::string COutputWordDlg::Cp(const QLineEdit* edit) const { return Cp1251Of(edit); }

void COutputWordDlg::OnParamPicked(int index) {
    if (index < 0 || index >= params_->Count()) return;
    const std::string_view line = params_->Text(index);
    label_->setText(ui::FromCp1251(line.substr(0, 8)));
    address_->setText(ui::FromCp1251(line.substr(15, 3)));
    formatLabel_->setText(ui::FromCp1251(line.substr(24, 8)));
}

void COutputWordDlg::OnFormatPicked(int index) {
    if (index < 0 || index >= formats_->Count()) return;
    formatLabel_->setText(ui::FromCp1251(std::string_view(formats_->Text(index)).substr(0, 8)));
}

// The scan of the format list selects each line in turn: the match stays
// selected, and without a match the last line does.
void COutputWordDlg::SelectFormatLine(int index) {
    if (index == LineList::kNone) index = formats_->Count() - 1;
    if (index >= 0) formats_->Select(index);
}

void COutputWordDlg::OnCheck() {
    const std::string format = Cp(formatLabel_);
    const CodeView view = CheckCodeWithList(Cp(code_), format, formats_->Lines());
    if (!IsNoFormatText(format)) SelectFormatLine(view.formatLine);
    if (view.error) ui::ShowMessage(this, U(view.error));
    ShowView(view, m_, decimal_);
}

void COutputWordDlg::OnApply() {
    const WordEditorTexts texts{Cp(address_), Cp(label_), Cp(code_), Cp(formatLabel_)};
    const WordEditorOutcome out = ApplyWordEditor(texts, formats_->Lines(), current_);
    if (!out.ok()) {
        ui::ShowMessage(this, U(out.error));
        return;
    }
    if (!IsNoFormatText(texts.formatLabel)) SelectFormatLine(out.formatLine);
    if (out.formatMissing) ui::ShowMessage(this, U(text::kFormatMissing));
    accept();
}

// ---- Pause ----

CPauseDlg::CPauseDlg(FrameEntry& current, QWidget* parent) : QDialog(parent), current_(current) {
    setWindowTitle(U(text::kPauseTitle));
    length_ = ui::MakeEdit(this, kIdPauseLength);
    length_->setText(QStringLiteral("1"));
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    auto* buttons = ApplyCancelRow(this, ok, cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(ui::MakeLabel(this, U(text::kPausePrompt)));
    top->addWidget(length_);
    top->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CPauseDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &CPauseDlg::reject);
}

void CPauseDlg::OnApply() {
    const auto length = ReadPauseLength(Cp1251Of(length_));
    if (!length) {
        ui::ShowMessage(this, U(text::kBadPause));
        return;
    }
    current_.pause = *length;
    accept();
}

void CPauseDlg::reject() {
    current_.pause = 0;
    QDialog::reject();
}

// ---- Code change ----

CCodeChangeDlg::CCodeChangeDlg(FrameEntry& current, QWidget* parent) : QDialog(parent), current_(current) {
    setWindowTitle(U(text::kCodeChangeTitle));
    auto* input = new QGroupBox(U(text::kCodeInputGroup), this);
    code_ = ui::MakeEdit(input, kIdCode, 6);
    auto* inputForm = new QFormLayout(input);
    inputForm->addRow(ui::MakeLabel(input, U(text::kCodeCaption)), code_);

    auto* control = new QGroupBox(U(text::kCodeCheckGroup), this);
    auto* update = ui::MakeButton(control, kIdCheck, U(text::kCodeUpdate));
    decimal_ = ui::MakeEdit(control, kIdDecimal, 0, true);
    decimal_->setFont(ui::GridFont());
    m_ = ui::MakeEdit(control, kIdM, 0, true);
    auto* controlForm = new QFormLayout(control);
    controlForm->addRow(nullptr, update);
    controlForm->addRow(ui::MakeLabel(control, U(text::kCodeDecimalCaption)), decimal_);
    controlForm->addRow(ui::MakeLabel(control, U(text::kCodeMCaption)), m_);

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    auto* buttons = ApplyCancelRow(this, ok, cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(input);
    top->addWidget(control);
    top->addLayout(buttons);
    connect(update, &QPushButton::clicked, this, &CCodeChangeDlg::OnUpdate);
    connect(ok, &QPushButton::clicked, this, &CCodeChangeDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CCodeChangeDlg::SetTexts(const std::string& code, const std::string& formatLabel) {
    code_->setText(ui::FromCp1251(code));
    formatLabel_ = formatLabel;
}

void CCodeChangeDlg::OnUpdate() {
    ShowView(CheckCodeWithFormat(Cp1251Of(code_), formatLabel_, current_.format), m_, decimal_);
}

void CCodeChangeDlg::OnApply() {
    if (const char* error = ApplyCodeChange(Cp1251Of(code_), current_)) {
        ui::ShowMessage(this, U(error));
        return;
    }
    accept();
}

}  // namespace orv
