#pragma once
// The virtual board's own counters, in a small window that stays open beside the monitor: per
// channel what the input hears, what its line carried, what the input received and dropped, and
// what the output sent. It reads the board again every half second.

#include <QDialog>

class QComboBox;
class QTableWidget;
class QTimer;

namespace orv {
class VirtualBoardProvider;
}

namespace orv::ui {

class CBoardCountersDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 500;

    CBoardCountersDlg(VirtualBoardProvider& boards, QWidget* parent = nullptr);

    QTableWidget* Table() const { return table_; }
    QComboBox* BoardChoice() const { return board_; }

public slots:
    // Reads the chosen board's counters into the table.
    void Refresh();

private:
    VirtualBoardProvider& boards_;
    QComboBox* board_ = nullptr;
    QTableWidget* table_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace orv::ui
