#include "monitor/ui/monitor_dialogs.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "monitor/refresh_period.h"
#include "resources/monitor_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {

// One bit of the mask: typing "0", "1", "x" or "X" replaces the bit's character, wherever the
// cursor stands and whatever is selected, and moves on to the next bit; any other typing is left
// to the edit (and to the dialog's change rule).
class MaskEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString typed = event->text();
        const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plain && typed.size() == 1 && QStringLiteral("01xX").contains(typed[0])) {
            setText(typed);
            focusNextChild();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

// The x, in the head, of the middle of each of the 23 places of the mask head (bit 31 first): a
// bit number's place is where `font` draws that number, a bit without a number is halfway
// between its neighbours.
std::array<qreal, kMaskBits> MaskHeadCentres(const QString& head, const QFont& font) {
    const QFontMetricsF metrics(font);
    std::array<qreal, kMaskBits> centres{};
    qsizetype from = 0;
    for (int k = 0; k < kMaskBits; k += 2) {
        const QString number = QString::number(31 - k);
        const qsizetype at = head.indexOf(number, from);
        if (at < 0) break;
        centres[std::size_t(k)] = metrics.horizontalAdvance(head.left(at)) + metrics.horizontalAdvance(number) / 2;
        from = at + number.size();
    }
    for (int k = 1; k < kMaskBits; k += 2)
        centres[std::size_t(k)] = (centres[std::size_t(k - 1)] + centres[std::size_t(k + 1)]) / 2;
    return centres;
}

}  // namespace

// ---- CInputMaskDlg ----

CInputMaskDlg::CInputMaskDlg(uint16_t channelIndex, QWidget* parent) : QDialog(parent), channelIndex_(channelIndex) {
    setObjectName(QStringLiteral("159"));
    setWindowTitle(U(text::kMaskTitle));
    auto* layout = new QVBoxLayout(this);
    auto* bitsRow = new QHBoxLayout;
    auto* caption = MakeLabel(this, U(text::kMaskRowCaption));
    caption->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    bitsRow->addWidget(caption);

    // The head and the edits under it, placed by where the head's own font draws the bit numbers:
    // bits 31, 29, .., 9 are centred under their numbers, each bit between two of them halfway
    // (under its "..").
    auto* row = new QWidget(this);
    head_ = MakeGridLabel(row, U(text::kMaskBitsHead));
    head_->setContentsMargins(0, 0, 0, 0);
    head_->setIndent(0);
    head_->setMargin(0);
    head_->adjustSize();
    const std::array<qreal, kMaskBits> centres = MaskHeadCentres(head_->text(), head_->font());
    const int width = std::max(12, int((centres[2] - centres[0]) / 2) - 1);
    // The first edit is wider than "31": head and edits move right together so that it fits.
    const int shift = std::max(0, int(std::lround(width / 2.0 - centres[0])));
    head_->move(shift, 0);
    const int top = head_->height() + 2;
    int right = shift + head_->width();
    int bottom = top;
    for (int k = 0; k < kMaskBits; ++k) {
        // Bits 31 and 30 have no length limit: their change rule turns longer text into "x".
        const int id = kMaskEditIds[std::size_t(k)];
        QLineEdit* edit = WithId(new MaskEdit(row), id);
        if (id < 1030) edit->setMaxLength(1);
        edit->setAlignment(Qt::AlignCenter);
        edit->setTextMargins(0, 0, 0, 0);
        edit->setFixedWidth(width);
        edit->setText(QStringLiteral("x"));
        const int left = shift + int(std::lround(centres[std::size_t(k)] - width / 2.0));
        edit->move(left, top);
        right = std::max(right, left + width);
        bottom = std::max(bottom, top + edit->sizeHint().height());
        edits_[std::size_t(k)] = edit;
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { OnEditChanged(edit); });
    }
    row->setFixedSize(right, bottom);
    bitsRow->addWidget(row);
    bitsRow->addStretch();
    layout->addLayout(bitsRow);
    const ButtonRow buttons = MakeButtonRow(this, U(text::kMaskApply), U(text::kMaskCancel));
    layout->addLayout(buttons.layout);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    edits_.front()->setFocus();
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
    const ButtonRow buttons = MakeButtonRow(this, U(text::kRefreshApply), U(text::kRefreshCancel));
    layout->addLayout(buttons.layout);
    connect(buttons.ok, &QPushButton::clicked, this, &CRefreshPeriodDlg::OnApply);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CRefreshPeriodDlg::OnApply() {
    // A text Windows-1251 cannot hold has no number in it either.
    ApplyRefreshPeriod(state_.Shell, state_.Timer, ToCp1251(period_->toPlainText()).value_or(std::string()));
    accept();
}

}  // namespace orv::ui
