#pragma once
// The dialogs of the table pane's mask and trace commands and of the refresh period command.

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "monitor/mask.h"
#include "monitor/ui/CParamTraceDlg.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace orv::ui {

class ListBox;

// "Маска входного параметра": 23 one-character edits for ARINC bits 31..9, each holding "0", "1",
// "x" or "X" (any other text turns into "x" as soon as it is typed). All start as "x". Typing one
// of the four characters into an edit replaces its character and moves to the next edit. The
// head's bit numbers stand over their edits at the head's font.
class CInputMaskDlg : public QDialog {
    Q_OBJECT
public:
    explicit CInputMaskDlg(uint16_t channelIndex, QWidget* parent = nullptr);

    uint16_t ChannelIndex() const { return channelIndex_; }
    // The first character of each edit, bit 31 first.
    std::string Bits() const;
    MaskPattern Pattern() const { return EncodeMask(Bits()); }
    const QLabel* Head() const { return head_; }

private:
    void OnEditChanged(QLineEdit* edit);

    uint16_t channelIndex_;
    QLabel* head_ = nullptr;
    std::array<QLineEdit*, kMaskBits> edits_{};
};

// "Период обновления экрана": one multi-line edit with the period in ms; "Применить" takes a
// number greater than 0 and restarts a running refresh timer with it, and closes in every case.
class CRefreshPeriodDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRefreshPeriodDlg(ProgramState& state, QWidget* parent = nullptr);

private:
    void OnApply();

    ProgramState& state_;
    QPlainTextEdit* period_;
};

}  // namespace orv::ui
