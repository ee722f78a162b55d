#pragma once
// "Выходные каналы": one line per output channel; the caller then opens the frame dialog for
// Channel().

#include "resources/ui/channel_chooser.h"

namespace orv {

class COutChannelChooserDlg : public ui::ChannelChooserDlg {
    Q_OBJECT
public:
    explicit COutChannelChooserDlg(uint16_t outputCount, QWidget* parent = nullptr);
};

}  // namespace orv
