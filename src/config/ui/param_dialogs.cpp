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
#include "config/ui/line_heads.h"
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

using ui::U;

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

    const ui::ButtonRow buttons = ui::MakeButtonRow(this, U(text::kApply), U(text::kCancel));

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(ui::MakeLabel(this, U(text::kFormatsForReference)));
    top->addWidget(ui::FormatListHead(formats_, this));
    top->addWidget(formats_);
    top->addWidget(ui::MakeLabel(this, U(text::kDoubleClickFormat)));
    top->addLayout(buttons.layout);

    connect(clear, &QPushButton::clicked, this, [this] { formatLabel_->setText(QString(8, QLatin1Char(' '))); });
    connect(formats_, &ui::ListBox::lineActivated, this, [this](int index) {
        if (index < 0 || index >= formats_->Count()) return;
        formatLabel_->setText(ui::FromCp1251(std::string_view(formats_->Text(index)).substr(0, 8)));
    });
    connect(buttons.ok, &QPushButton::clicked, this, &CParamEditDlg::OnApply);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);

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

CParamDictDlg::CParamDictDlg(QWidget* parent)
    : TableDialog(parent, {text::kParamDictTitle,
                           kIdParamList,
                           36,
                           false,
                           {ui::FromCp1251(kParamLineHead1), ui::FromCp1251(kParamLineHead2)},
                           text::kParamFrame,
                           {{Action::Add, kIdAdd, text::kParamAdd},
                            {Action::Delete, kIdDelete, text::kParamDelete},
                            {Action::Edit, kIdEdit, text::kParamEdit}},
                           text::kPickParam,
                           text::kDeleteParamQuestion}) {
    const auto read = ReadParamFile();
    ShowRead(ParamLines(read.records), GuardOf(read, kParamFileName));
}

std::optional<TableDialog::Edited> CParamDictDlg::RunEditor(LineList& lines, int row) {
    CParamEditDlg editor(this);
    editor.SetFields(row == LineList::kNone ? ParamFields{"", "", ""} : FieldsOfParamLine(lines.At(row)));
    if (ui::RunModal(editor) != QDialog::Accepted || !editor.Result()) return std::nullopt;
    if (row == LineList::kNone) return Edited{AddParamLine(lines, *editor.Result())};
    // The refusal asks a question, but either answer leaves the list as it is.
    return Edited{ReplaceParamLine(lines, row, *editor.Result()), ui::Buttons::OkCancel};
}

SaveError CParamDictDlg::Store(const LineList& lines, bool keepBackup) {
    return StoreParams(ParamsOfLines(lines), kParamFileName, keepBackup);
}

}  // namespace orv
