#include "session/ui/CDeviceSelectDlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/board_control.h"
#include "resources/board_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/modal.h"

namespace orv {

CDeviceSelectDlg::CDeviceSelectDlg(ProgramState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(QString::fromUtf8(text::kDeviceSelectTitle));
    list_ = ui::WithId(new ui::ListBox(true, this), 1000);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setMinimumSize(16 * ui::kCellWidth, 8 * ui::kRowHeight);
    QPushButton* select = ui::MakeButton(this, ui::kIdOk, QString::fromUtf8(text::kDeviceSelectButton));
    select->setDefault(true);
    QPushButton* cancel = ui::MakeButton(this, ui::kIdCancel, QString::fromUtf8(text::kCancelButton));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(select);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addWidget(list_);
    top->addLayout(buttons);
    connect(select, &QPushButton::clicked, this, &CDeviceSelectDlg::OnSelect);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (state_.Shell.DeviceState != kNoDevice)
        ui::ShowMessage(parent, QString::fromUtf8(text::kBoardAlreadySelected));
    for (std::string_view name : kDeviceNames) list_->AddLine(std::string(name));
    list_->Select(0);
}

void CDeviceSelectDlg::OnSelect() {
    const int selection = list_->Selection();
    if (selection < 0) return;
    const std::string name = list_->Text(selection);

    const QString question =
        QString::fromUtf8(text::kStartDeviceQuestion).replace(QStringLiteral("%s"), QString::fromLatin1(name));
    if (ui::ShowMessage(this, question, ui::Buttons::OkCancel) !=
        ui::Answer::Ok) {
        reject();
        return;
    }
    if (!OpenSelectedBoard(state_, name)) {
        ui::ShowMessage(this, QString::fromUtf8(text::kDeviceOpenError));
        reject();
        return;
    }
    deviceName_ = name;
    opened_ = true;
    accept();
}

}  // namespace orv
