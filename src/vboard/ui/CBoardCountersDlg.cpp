#include "vboard/ui/CBoardCountersDlg.h"

#include <QComboBox>
#include <algorithm>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "resources/vboard_strings.h"
#include "vboard/counter_rows.h"
#include "vboard/virtual_board_provider.h"

namespace orv::ui {

CBoardCountersDlg::CBoardCountersDlg(VirtualBoardProvider& boards, QWidget* parent)
    : QDialog(parent), boards_(boards) {
    setWindowTitle(QString::fromUtf8(text::kBoardCountersTitle));
    setObjectName(QStringLiteral("CBoardCountersDlg"));

    board_ = new QComboBox(this);
    board_->setObjectName(QStringLiteral("board"));
    board_->addItem(QString::fromUtf8(text::kVirtualBoardOne));
    board_->addItem(QString::fromUtf8(text::kVirtualBoardTwo));

    table_ = new QTableWidget(0, int(kCounterColumns), this);
    table_->setObjectName(QStringLiteral("counters"));
    QStringList heads;
    for (const char* head : kCounterHeads) heads << QString::fromUtf8(head);
    table_->setHorizontalHeaderLabels(heads);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* note = new QLabel(QString::fromUtf8(text::kBoardCountersNote), this);
    note->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(board_);
    layout->addWidget(table_);
    layout->addWidget(note);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CBoardCountersDlg::Refresh);
    connect(board_, &QComboBox::currentIndexChanged, this, &CBoardCountersDlg::Refresh);
    timer_->start(kRefreshMs);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Refresh();
    // Room for every column and the eight rows of board 1, with counts of nine digits.
    table_->resizeColumnsToContents();
    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("999999999"));
    int width = 2 * table_->frameWidth();
    for (int c = 0; c < int(kCounterColumns); ++c) width += std::max(table_->columnWidth(c), c == 1 ? 0 : digits);
    const int height = 2 * table_->frameWidth() + table_->horizontalHeader()->height() +
                       8 * table_->verticalHeader()->defaultSectionSize();
    table_->setMinimumSize(width, height);
}

void CBoardCountersDlg::Refresh() {
    const unsigned number = board_->currentIndex() == 1 ? 2 : 1;
    const auto rows = CounterRows(boards_.Counters(number), boards_.Board(number).Layout());
    table_->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < int(kCounterColumns); ++c) {
            const QString text = QString::fromUtf8(rows[std::size_t(r)][std::size_t(c)]);
            QTableWidgetItem* item = table_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(c == 1 ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                              : Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
                table_->setItem(r, c, item);
            }
            if (item->text() != text) item->setText(text);
        }
    }
}

}  // namespace orv::ui
