#include "display/ui/CParamFormatDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/format_file.h"
#include "config/format_line.h"
#include "config/table_rules.h"
#include "config/ui/line_heads.h"
#include "config/ui/list_sync.h"
#include "display/table_ops.h"
#include "resources/display_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"
#include "state/program_state.h"

namespace orv {
namespace {

constexpr int kIdFormatParam = 1009;
constexpr int kIdFormatList = 1011;

using ui::U;

}  // namespace

CParamFormatDlg::CParamFormatDlg(DisplayState& display, int row, QWidget* parent)
    : QDialog(parent), display_(display), row_(row) {
    setWindowTitle(U(text::kParamFormatTitle));
    auto* param = ui::MakeEdit(this, kIdFormatParam, 0, true);
    formats_ = ui::WithId(new ui::ListBox(true, this), kIdFormatList);
    formats_->setMinimumWidth(ui::kCellWidth * 66);

    auto* paramRow = new QHBoxLayout;
    paramRow->addWidget(ui::MakeLabel(this, U(text::kParamFormatParamCaption)));
    paramRow->addWidget(param, 1);
    const ui::ButtonRow buttons = ui::MakeButtonRow(this, U(text::kDisplayApply), U(text::kDisplayCancel));
    auto* top = new QVBoxLayout(this);
    top->addLayout(paramRow);
    top->addWidget(ui::FormatListHead(formats_, this));
    top->addWidget(formats_, 1);
    top->addLayout(buttons.layout);
    connect(buttons.ok, &QPushButton::clicked, this, &CParamFormatDlg::OnApply);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);

    ui::ShowLines(*formats_, FormatLines(LoadFormats()));
    if (row_ >= 0 && row_ < kDisplayRows) {
        const DisplayEntry& e = display_.DisplayTable[std::size_t(row_)];
        param->setText(ui::FromCp1251(e.paramLabel.View()));
        formats_->Select(formats_->FindPrefix(e.formatLabel.View()));
    }
}

void CParamFormatDlg::OnApply() {
    const int sel = formats_->Selection();
    if (sel == LineList::kNone) {
        ui::ShowMessage(this, U(text::kDisplayPickFormat));
        return;
    }
    SetEntryFormat(display_, row_, ParseFormatLine(formats_->Text(sel)));
    accept();
}

}  // namespace orv
