#pragma once
// A channel chooser: one line " %2d" per channel; a double click picks the channel and ends the
// dialog with OK (its hidden OK button is never pressed).

#include <QDialog>
#include <cstdint>

namespace orv::ui {

class ListBox;

class ChannelChooserDlg : public QDialog {
    Q_OBJECT
public:
    // `count` lines, at most 8.
    ChannelChooserDlg(const QString& title, const QString& hint, uint16_t count, QWidget* parent);
    unsigned Channel() const { return channel_; }  // 0 until a line was double-clicked

private:
    ListBox* list_;
    unsigned channel_ = 0;
};

}  // namespace orv::ui
