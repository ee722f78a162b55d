#include "config/ui/CChannelFreqDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "config/ui/CInChannelFreqDlg.h"
#include "config/ui/COutChannelFreqDlg.h"
#include "files/settings_guard.h"
#include "resources/board_strings.h"
#include "resources/file_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"

namespace orv {
CChannelFreqDlg::CChannelFreqDlg(ChannelSettingTable& settings, int inputCount, int outputCount,
                                 std::string settingsFile, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      inputCount_(std::clamp(inputCount, 0, kSettingsPerKind)),
      outputCount_(std::clamp(outputCount, 0, kSettingsPerKind)),
      settingsFile_(std::move(settingsFile)) {
    setWindowTitle(QString::fromUtf8(text::kChannelFreqTitle));

    inputs_ = ui::WithId(new ui::ListBox(true, this), 1033);
    outputs_ = ui::WithId(new ui::ListBox(true, this), 1034);
    // Room for eight lines of about 32 columns.
    for (ui::ListBox* list : {inputs_, outputs_})
        list->setMinimumSize(36 * ui::kCellWidth, 9 * ui::kRowHeight);

    auto* lists = new QGridLayout;
    lists->addWidget(ui::MakeLabel(this, QString::fromUtf8(text::kInputChannelsTitle)), 0, 0);
    lists->addWidget(ui::MakeLabel(this, QString::fromUtf8(text::kOutputChannelsTitle)), 0, 1);
    lists->addWidget(new ui::ListHead(inputs_, {QString::fromUtf8(text::kInputListHead)}, this), 1, 0);
    lists->addWidget(new ui::ListHead(outputs_, {QString::fromUtf8(text::kOutputListHead)}, this), 1, 1);
    lists->addWidget(inputs_, 2, 0);
    lists->addWidget(outputs_, 2, 1);

    QPushButton* save = ui::MakeButton(this, 1004, QString::fromUtf8(text::kSaveToFile));
    QPushButton* restore = ui::MakeButton(this, 1003, QString::fromUtf8(text::kRestoreFromFile));
    QPushButton* apply = ui::MakeButton(this, ui::kIdOk, QString::fromUtf8(text::kApplyButton));
    apply->setDefault(true);
    QPushButton* cancel = ui::MakeButton(this, ui::kIdCancel, QString::fromUtf8(text::kHiddenCancel));
    cancel->setEnabled(false);
    cancel->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(restore);
    buttons->addStretch();
    buttons->addWidget(apply);

    auto* top = new QVBoxLayout(this);
    top->addLayout(lists);
    top->addWidget(ui::MakeLabel(this, QString::fromUtf8(text::kDoubleClickHint)));
    top->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, &CChannelFreqDlg::OnSave);
    connect(restore, &QPushButton::clicked, this, &CChannelFreqDlg::OnRestore);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(inputs_, &ui::ListBox::lineActivated, this, [this] { EditInput(inputs_->Selection()); });
    connect(outputs_, &ui::ListBox::lineActivated, this, [this] { EditOutput(outputs_->Selection()); });

    FillLists();
}

void CChannelFreqDlg::FillLists() {
    inputs_->ClearLines();
    for (int c = 1; c <= inputCount_; ++c)
        inputs_->AddLine(InputChannelLine(c, settings_[std::size_t(InputSettingIndex(c))]));
    outputs_->ClearLines();
    for (int c = 1; c <= outputCount_; ++c)
        outputs_->AddLine(OutputChannelLine(c, settings_[std::size_t(OutputSettingIndex(c))]));
}

// The sorted lists keep channel order (every line begins with its number), so a line's position
// is its channel index; the rebuilt line goes back to the same place.
void CChannelFreqDlg::EditInput(int position) {
    if (position < 0 || position >= inputCount_) return;
    uint16_t& word = settings_[std::size_t(InputSettingIndex(position + 1))];
    CInChannelFreqDlg editor(position, word, this);
    ui::RunModal(editor);
    inputs_->DeleteLine(position);
    inputs_->AddLine(InputChannelLine(position + 1, word));
}

void CChannelFreqDlg::EditOutput(int position) {
    if (position < 0 || position >= outputCount_) return;
    uint16_t& word = settings_[std::size_t(OutputSettingIndex(position + 1))];
    COutChannelFreqDlg editor(position, word, this);
    ui::RunModal(editor);
    outputs_->DeleteLine(position);
    outputs_->AddLine(OutputChannelLine(position + 1, word));
}

void CChannelFreqDlg::OnSave() {
    if (const std::string message = SaveChannelSettingsGuarded(settings_, settingsFile_); !message.empty())
        ui::ShowMessage(this, QString::fromStdString(message));
}

void CChannelFreqDlg::OnRestore() {
    const ChannelSettingsRead read = ReadChannelSettings(settings_, settingsFile_);
    FillLists();
    const SettingsFileGuard file = GuardOfRead(settingsFile_, read.status, read.damaged.size());
    if (!file.openMessage.empty()) ui::ShowMessage(this, QString::fromStdString(file.openMessage));
}

}  // namespace orv
