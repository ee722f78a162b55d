#include "capture/ui/CFileReceiveDlg.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QVBoxLayout>

#include "capture/reception.h"
#include "resources/reception_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"

namespace orv {
namespace {

constexpr int kIdChannel = 1027;
constexpr int kIdWithStop = 1001;
constexpr int kIdNoStop = 1002;
constexpr int kIdAddress = 1026;

using ui::U;

}  // namespace

CFileReceiveDlg::CFileReceiveDlg(ProgramState& state, unsigned channel, QWidget* parent)
    : QDialog(parent), state_(state), channel_(channel) {
    setWindowTitle(U(text::kReceiveTitle));
    channelText_ = ui::MakeEdit(this, kIdChannel, 0, true);
    channelText_->setText(QString::number(channel));
    withStop_ = ui::WithId(new QRadioButton(U(text::kReceiveWithStop), this), kIdWithStop);
    noStop_ = ui::WithId(new QRadioButton(U(text::kReceiveNoStop), this), kIdNoStop);
    auto* choice = new QButtonGroup(this);
    choice->addButton(withStop_, 0);
    choice->addButton(noStop_, 1);
    noStop_->setChecked(true);
    address_ = ui::WithId(new QPlainTextEdit(this), kIdAddress);
    address_->setTabChangesFocus(true);
    address_->setFixedHeight(address_->fontMetrics().height() * 3);
    // The edit holds at most three characters, line breaks included.
    connect(address_, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = address_->toPlainText();
        if (t.size() <= kAddressMaxChars) return;
        const QSignalBlocker block(address_);
        address_->setPlainText(t.left(kAddressMaxChars));
        address_->moveCursor(QTextCursor::End);
    });

    const ui::ButtonRow buttons = ui::MakeButtonRow(this, U(text::kReceiveStart), U(text::kReceiveCancel));

    auto* channelRow = new QHBoxLayout;
    channelRow->addWidget(ui::MakeLabel(this, U(text::kReceiveChannelCaption)));
    channelRow->addWidget(channelText_);
    auto* top = new QVBoxLayout(this);
    top->addLayout(channelRow);
    top->addWidget(withStop_);
    top->addWidget(address_);
    top->addWidget(noStop_);
    top->addLayout(buttons.layout);

    connect(buttons.ok, &QPushButton::clicked, this, &CFileReceiveDlg::OnStart);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CFileReceiveDlg::OnStart() {
    int16_t stopLabel = -1;
    if (!noStop_->isChecked()) {
        const auto label = ReadStopAddress(ui::ToCp1251(address_->toPlainText()).value_or(std::string()));
        if (!label) {
            ui::ShowMessage(this, U(text::kBadStopAddress));
            return;
        }
        stopLabel = *label;
    }
    state_.Capture.StopLabel = stopLabel;
    StartFileReception(state_.Board.Link, state_.Capture, state_.Acquisition, channel_);
    accept();
}

}  // namespace orv
