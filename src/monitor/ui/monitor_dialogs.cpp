#include "monitor/ui/monitor_dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "monitor/refresh_period.h"
#include "resources/monitor_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// "Применить"/"выход" (id 1, default) and "Отмена"/"Cancel" (id 2) at the right.
QHBoxLayout* ButtonRow(QDialog* dialog, const char* okText, const char* cancelText, QPushButton** cancelOut = nullptr) {
    auto* ok = MakeButton(dialog, kIdOk, U(okText));
    ok->setDefault(true);
    auto* cancel = MakeButton(dialog, kIdCancel, U(cancelText));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    if (cancelOut) *cancelOut = cancel;
    return row;
}

}  // namespace

// ---- CInputMaskDlg ----

CInputMaskDlg::CInputMaskDlg(uint16_t channelIndex, QWidget* parent) : QDialog(parent), channelIndex_(channelIndex) {
    setObjectName(QStringLiteral("159"));
    setWindowTitle(U(text::kMaskTitle));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto* caption = MakeLabel(this, U(text::kMaskRowCaption));
    grid->addWidget(caption, 1, 0);
    auto* head = MakeGridLabel(this, U(text::kMaskBitsHead));
    grid->addWidget(head, 0, 1, 1, kMaskBits);
    for (int k = 0; k < kMaskBits; ++k) {
        // Bits 31 and 30 have no length limit: their change rule turns longer text into "x".
        const int id = kMaskEditIds[std::size_t(k)];
        QLineEdit* edit = MakeEdit(this, id, id >= 1030 ? 0 : 1);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(22);
        edit->setText(QStringLiteral("x"));
        edits_[std::size_t(k)] = edit;
        grid->addWidget(edit, 1, k + 1);
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { OnEditChanged(edit); });
    }
    layout->addLayout(grid);
    QPushButton* cancel = nullptr;
    layout->addLayout(ButtonRow(this, text::kMaskApply, text::kMaskCancel, &cancel));
    connect(Control<QPushButton>(*this, kIdOk), &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CInputMaskDlg::OnEditChanged(QLineEdit* edit) {
    const std::string now = ToCp1251(edit->text()).value_or(std::string("?"));
    const std::string kept = MaskEditText(now);
    if (kept != now) edit->setText(FromCp1251(kept));
}

std::string CInputMaskDlg::Bits() const {
    std::string bits;
    for (QLineEdit* edit : edits_) {
        const QString t = edit->text();
        bits += t.isEmpty() ? 'x' : char(t[0].toLatin1());
    }
    return bits;
}

// ---- CRefreshPeriodDlg ----

CRefreshPeriodDlg::CRefreshPeriodDlg(ProgramState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("139"));
    setWindowTitle(U(text::kRefreshTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, U(text::kRefreshPrompt)));
    // Multi-line: Enter inserts a line break instead of pressing the default button.
    period_ = WithId(new QPlainTextEdit(this), 1009);
    period_->setTabChangesFocus(true);
    period_->setFixedHeight(kRowHeight * 3);
    period_->setPlainText(FromCp1251(RefreshPeriodText(state_.Shell.RefreshPeriodMs)));
    layout->addWidget(period_);
    QPushButton* cancel = nullptr;
    layout->addLayout(ButtonRow(this, text::kRefreshApply, text::kRefreshCancel, &cancel));
    connect(Control<QPushButton>(*this, kIdOk), &QPushButton::clicked, this, &CRefreshPeriodDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CRefreshPeriodDlg::OnApply() {
    // A text Windows-1251 cannot hold has no number in it either.
    ApplyRefreshPeriod(state_.Shell, state_.Timer, ToCp1251(period_->toPlainText()).value_or(std::string()));
    accept();
}

}  // namespace orv::ui
