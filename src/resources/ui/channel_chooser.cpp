#include "resources/ui/channel_chooser.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "text/printf_forms.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/list_box.h"

namespace orv::ui {

ChannelChooserDlg::ChannelChooserDlg(const QString& title, const QString& hint, uint16_t count,
                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    list_ = WithId(new ListBox(false, this), 1000);
    auto* ok = MakeButton(this, kIdOk, QStringLiteral("OK"));
    ok->hide();
    ok->setEnabled(false);
    auto* cancel = MakeButton(this, kIdCancel, QString::fromUtf8("Отмена"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(list_, 1);
    top->addWidget(MakeLabel(this, hint));
    top->addLayout(buttons);

    const int n = std::min<int>(count, 8);
    for (int c = 1; c <= n; ++c) list_->AddLine(" " + FormatDec(c, 2));

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &ListBox::lineActivated, this, [this](int index) {
        if (index < 0 || index >= list_->Count()) return;
        channel_ = unsigned(index + 1);
        accept();
    });
}

}  // namespace orv::ui
