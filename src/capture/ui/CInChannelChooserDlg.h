#pragma once
// "Входные каналы": one line " %2d" per input channel; a double click picks the channel and ends
// the chooser with OK. The caller then opens the file reception dialog for Channel().

#include <QDialog>
#include <cstdint>

namespace orv {

namespace ui {
class ListBox;
}

class CInChannelChooserDlg : public QDialog {
    Q_OBJECT
public:
    // `inputCount` lines, at most 8.
    explicit CInChannelChooserDlg(uint16_t inputCount, QWidget* parent = nullptr);
    unsigned Channel() const { return channel_; }  // 0 until a line was double-clicked

private:
    ui::ListBox* list_;
    unsigned channel_ = 0;
};

}  // namespace orv
