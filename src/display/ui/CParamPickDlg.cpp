#include "display/ui/CParamPickDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/param_file.h"
#include "config/table_rules.h"
#include "config/ui/line_heads.h"
#include "config/ui/list_sync.h"
#include "display/list_rules.h"
#include "resources/display_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"
#include "state/program_state.h"

namespace orv {
namespace {

constexpr int kIdPickParams = 1000;
constexpr int kIdPickChannel = 1002;

using ui::U;

}  // namespace

CParamPickDlg::CParamPickDlg(const ProgramState& state, int listLines, QWidget* parent)
    : QDialog(parent), listLines_(listLines) {
    setWindowTitle(U(text::kParamPickTitle));
    channel_ = ui::WithId(new QComboBox(this), kIdPickChannel);
    channel_->setEditable(true);
    channel_->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& item : ChannelItems(state.Shell.DeviceState != kNoDevice, state.Board.InputChannelCount))
        channel_->addItem(ui::FromCp1251(item));  // "%2d" items come in sorted order
    channel_->setCurrentIndex(channel_->count() > 0 ? 0 : -1);
    params_ = ui::WithId(new ui::ListBox(true, this), kIdPickParams);
    params_->SetMultipleSelection(true);
    params_->setMinimumWidth(ui::kCellWidth * 36);

    auto* channelRow = new QHBoxLayout;
    channelRow->addWidget(ui::MakeLabel(this, U(text::kParamPickChannelCaption)));
    channelRow->addWidget(channel_);
    channelRow->addStretch();
    const ui::ButtonRow buttons = ui::MakeButtonRow(this, U(text::kDisplayApply), U(text::kDisplayCancel));
    auto* top = new QVBoxLayout(this);
    top->addLayout(channelRow);
    top->addWidget(ui::ParamListHead(params_, this));
    top->addWidget(params_, 1);
    top->addLayout(buttons.layout);
    connect(buttons.ok, &QPushButton::clicked, this, &CParamPickDlg::OnApply);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);

    ui::ShowLines(*params_, ParamLines(LoadParams()));
}

void CParamPickDlg::OnApply() {
    // The channel is the one the box names, chosen or typed; a text that names none of its channels
    // is refused rather than read as some other channel.
    const std::optional<uint16_t> channel =
        PickedChannel(ui::ToCp1251(channel_->currentText()).value_or(std::string()), unsigned(channel_->count()));
    if (!channel) {
        ui::ShowMessage(this, U(text::kDisplayBadChannel));
        return;
    }
    const std::vector<int> selected = params_->SelectedLines();
    if (auto refusal = PickLimitMessage(listLines_, int(selected.size()))) {
        ui::ShowMessage(this, U(*refusal));
        return;
    }
    Pick pick;
    pick.channel = *channel;
    for (int index : selected) pick.lines.push_back(params_->Text(index));
    result_ = std::move(pick);
    accept();
}

}  // namespace orv
