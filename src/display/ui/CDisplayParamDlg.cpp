#include "display/ui/CDisplayParamDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/format_file.h"
#include "config/format_line.h"
#include "config/param_file.h"
#include "config/table_rules.h"
#include "config/ui/line_heads.h"
#include "config/ui/list_sync.h"
#include "resources/display_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"
#include "text/scanf_forms.h"

namespace orv {
namespace {

constexpr int kIdParams = 1000;
constexpr int kIdFormats = 1011;
constexpr int kIdClearFormat = 1021;
constexpr int kIdAddress = 1022;
constexpr int kIdChannel = 1023;
constexpr int kIdFormatLabel = 1024;
constexpr int kIdLabel = 1025;

QString ColumnText(const std::string& line, std::size_t col, std::size_t width) {
    return ui::FromCp1251(Columns(line, col, width));
}

using ui::U;

}  // namespace

CDisplayParamDlg::CDisplayParamDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(U(text::kDisplayParamTitle));
    label_ = ui::MakeEdit(this, kIdLabel, 8, true);
    channel_ = ui::MakeEdit(this, kIdChannel, 2);
    address_ = ui::MakeEdit(this, kIdAddress, 3, true);
    formatLabel_ = ui::MakeEdit(this, kIdFormatLabel, 8, true);
    auto* clear = ui::MakeButton(this, kIdClearFormat, U(text::kDisplayClearFormat));
    params_ = ui::WithId(new ui::ListBox(true, this), kIdParams);
    params_->setMinimumWidth(ui::kCellWidth * 36);
    formats_ = ui::WithId(new ui::ListBox(true, this), kIdFormats);
    formats_->setMinimumWidth(ui::kCellWidth * 66);

    auto* form = new QFormLayout;
    form->addRow(ui::MakeLabel(this, U(text::kDisplayParamLabelCaption)), label_);
    form->addRow(ui::MakeLabel(this, U(text::kDisplayChannelCaption)), channel_);
    form->addRow(ui::MakeLabel(this, U(text::kDisplayAddressCaption)), address_);
    form->addRow(ui::MakeLabel(this, U(text::kDisplayFormatCaption)), formatLabel_);
    form->addRow(nullptr, clear);

    auto* paramColumn = new QVBoxLayout;
    paramColumn->addWidget(ui::MakeLabel(this, U(text::kDisplayParamsHead)));
    paramColumn->addWidget(ui::ParamListHead(params_, this));
    paramColumn->addWidget(params_, 1);
    paramColumn->addWidget(ui::MakeLabel(this, U(text::kDisplayDoubleClickParam)));
    auto* formatColumn = new QVBoxLayout;
    formatColumn->addWidget(ui::MakeLabel(this, U(text::kDisplayFormatsHead)));
    formatColumn->addWidget(ui::FormatListHead(formats_, this));
    formatColumn->addWidget(formats_, 1);
    formatColumn->addWidget(ui::MakeLabel(this, U(text::kDisplayDoubleClickFormat)));
    auto* lists = new QHBoxLayout;
    lists->addLayout(paramColumn);
    lists->addLayout(formatColumn);

    const ui::ButtonRow buttons = ui::MakeButtonRow(this, U(text::kDisplayApply), U(text::kDisplayCancel));
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(lists, 1);
    top->addLayout(buttons.layout);

    connect(clear, &QPushButton::clicked, this, [this] { formatLabel_->setText(QString(8, QLatin1Char(' '))); });
    connect(params_, &ui::ListBox::lineActivated, this, [this](int index) {
        if (index < 0 || index >= params_->Count()) return;
        const std::string& line = params_->Text(index);
        label_->setText(ColumnText(line, 0, 8));
        address_->setText(ColumnText(line, 15, 3));
        formatLabel_->setText(ColumnText(line, 24, 8));
    });
    connect(formats_, &ui::ListBox::lineActivated, this, [this](int index) {
        if (index < 0 || index >= formats_->Count()) return;
        formatLabel_->setText(ColumnText(formats_->Text(index), 0, 8));
    });
    connect(buttons.ok, &QPushButton::clicked, this, &CDisplayParamDlg::OnApply);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);

    ui::ShowLines(*params_, ParamLines(LoadParams()));
    ui::ShowLines(*formats_, FormatLines(LoadFormats()));
}

void CDisplayParamDlg::SetFields(const DisplayParamFields& fields) {
    label_->setText(ui::FromCp1251(TrimRightBlanks(fields.paramLabel.value_or(std::string()))));
    channel_->setText(fields.channel ? ui::FromCp1251(*fields.channel) : QString());
    address_->setText(fields.address ? ui::FromCp1251(*fields.address) : QString());
    formatLabel_->setText(ui::FromCp1251(TrimRightBlanks(fields.formatLabel.value_or(std::string()))));
}

void CDisplayParamDlg::OnApply() {
    const DisplayParamCheck check =
        CheckDisplayParamFields({ui::ToCp1251(label_->text()), ui::ToCp1251(channel_->text()),
                                 ui::ToCp1251(address_->text()), ui::ToCp1251(formatLabel_->text())});
    if (!check.ok()) {
        ui::ShowMessage(this, U(check.error));
        return;
    }
    result_ = check.record;
    accept();
}

}  // namespace orv
