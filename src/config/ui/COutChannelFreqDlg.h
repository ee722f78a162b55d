#pragma once
// Editor of one output channel: rate "12,5" / "50" / "100", completion to odd or even parity.

#include "config/ui/ChannelEditBase.h"

namespace orv {

class COutChannelFreqDlg : public ChannelEditBase {
    Q_OBJECT
public:
    COutChannelFreqDlg(int channelIndex, uint16_t& setting, QWidget* parent = nullptr);
};

}  // namespace orv
