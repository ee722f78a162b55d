#include "config/ui/ChannelEditBase.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "text/printf_forms.h"
#include "config/channel_settings.h"
#include "resources/board_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"

namespace orv {
namespace {

template <std::size_t N>
QButtonGroup* RadioGroup(QWidget* dialog, QVBoxLayout* into, const char* title,
                         const std::array<int, N>& ids, const std::array<const char*, N>& texts) {
    auto* box = new QGroupBox(QString::fromUtf8(title), dialog);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(dialog);
    group->setExclusive(true);
    for (std::size_t k = 0; k < N; ++k) {
        auto* radio = ui::WithId(new QRadioButton(QString::fromUtf8(texts[k]), box), ids[k]);
        group->addButton(radio, int(k));  // the group's id is the radio index
        layout->addWidget(radio);
    }
    into->addWidget(box);
    return group;
}

}  // namespace

ChannelEditBase::ChannelEditBase(const ChannelEditLayout& layout, int channelIndex,
                                 uint16_t& setting, QWidget* parent)
    : QDialog(parent),
      channelIndex_(uint8_t(channelIndex)),
      channelNumber_(QString::fromLatin1(FormatDec(channelIndex + 1, 2).c_str())),
      setting_(setting) {
    setWindowTitle(QString::fromUtf8(text::kChannelEditTitle));
    auto* top = new QVBoxLayout(this);

    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(ui::MakeLabel(this, QString::fromUtf8(layout.numberLabel)));
    QLineEdit* number = ui::MakeEdit(this, 1009, 0, /*readOnly=*/true);
    number->setFont(ui::GridFont());
    number->setText(channelNumber_);
    numberRow->addWidget(number);
    top->addLayout(numberRow);

    auto* groups = new QVBoxLayout;
    rate_ = RadioGroup(this, groups, layout.rateGroup, layout.rateIds, layout.rateTexts);
    parity_ = RadioGroup(this, groups, layout.parityGroup, layout.parityIds, layout.parityTexts);
    top->addLayout(groups);

    auto* buttons = new QHBoxLayout;
    QPushButton* apply = ui::MakeButton(this, ui::kIdOk, QString::fromUtf8(text::kApplyButton));
    apply->setDefault(true);
    QPushButton* cancel = ui::MakeButton(this, ui::kIdCancel, QString::fromUtf8(text::kCancelButton));
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(apply, &QPushButton::clicked, this, &ChannelEditBase::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // A rate code of 3 (only from a foreign file) checks no rate button.
    if (QAbstractButton* b = rate_->button(int(RateCode(setting_)))) b->setChecked(true);
    if (QAbstractButton* b = parity_->button(int(ParityChoice(setting_)))) b->setChecked(true);
}

int ChannelEditBase::RateIndex() const { return rate_->checkedId(); }
int ChannelEditBase::ParityIndex() const { return parity_->checkedId(); }

void ChannelEditBase::OnApply() {
    // A group left without a checked button keeps the field it had.
    const int rate = RateIndex() >= 0 ? RateIndex() : int(RateCode(setting_));
    const int parity = ParityIndex() >= 0 ? ParityIndex() : int(ParityChoice(setting_));
    setting_ = uint16_t(rate + 4 * parity);
    accept();
}

}  // namespace orv
