#include "transmit/ui/COutChannelChooserDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "arinc/text.h"
#include "resources/transmit_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/list_box.h"

namespace orv {

COutChannelChooserDlg::COutChannelChooserDlg(uint16_t outputCount, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(text::kOutChooserTitle));
    list_ = ui::WithId(new ui::ListBox(false, this), 1000);
    auto* ok = ui::MakeButton(this, ui::kIdOk, QString::fromUtf8(text::kChooserOkButton));
    ok->hide();
    ok->setEnabled(false);
    auto* cancel = ui::MakeButton(this, ui::kIdCancel, QString::fromUtf8(text::kChooserCancelButton));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(list_, 1);
    top->addWidget(ui::MakeLabel(this, QString::fromUtf8(text::kOutChooserHint)));
    top->addLayout(buttons);

    const int count = std::min<int>(outputCount, 8);
    for (int c = 1; c <= count; ++c) list_->AddLine(" " + FormatDec(c, 2));

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &ui::ListBox::lineActivated, this, [this](int index) {
        if (index < 0 || index >= list_->Count()) return;
        channel_ = unsigned(index + 1);
        accept();
    });
}

}  // namespace orv
