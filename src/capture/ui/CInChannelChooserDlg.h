#pragma once
// "Входные каналы": one line per input channel; the caller then opens the file reception dialog
// for Channel().

#include "resources/ui/channel_chooser.h"

namespace orv {

class CInChannelChooserDlg : public ui::ChannelChooserDlg {
    Q_OBJECT
public:
    explicit CInChannelChooserDlg(uint16_t inputCount, QWidget* parent = nullptr);
};

}  // namespace orv
