#include "app/ui/CAboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "orv_version.h"
#include "resources/ui/dialog_base.h"

namespace orv::ui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QString::fromUtf8("О программе Orvmon"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QString::fromUtf8("Orvmon, версия %1\n"
                                              "Монитор линий ARINC 429 для модуля Orvel\n"
                                              "(виртуальный модуль: arinc10..arinc12, arinc20..arinc22)")
                                .arg(QString::fromLatin1(kVersion)),
                            this);
    text->setObjectName(QStringLiteral("aboutText"));
    layout->addWidget(text);
    auto* ok = MakeButton(this, kIdOk, QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    layout->addLayout(row);
}

}  // namespace orv::ui
