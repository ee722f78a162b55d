#pragma once
// "Выходные каналы": one line " %2d" per output channel; a double click picks the channel and
// ends the chooser with OK. The caller then opens the frame dialog for Channel().

#include <QDialog>
#include <cstdint>

namespace orv {

namespace ui {
class ListBox;
}

class COutChannelChooserDlg : public QDialog {
    Q_OBJECT
public:
    // `outputCount` lines, at most 8.
    explicit COutChannelChooserDlg(uint16_t outputCount, QWidget* parent = nullptr);
    unsigned Channel() const { return channel_; }  // 0 until a line was double-clicked

private:
    ui::ListBox* list_;
    unsigned channel_ = 0;
};

}  // namespace orv
