#pragma once
// Editor of one input channel: rate "12...14,5" / "36...60" / "100", parity check on or off.

#include "config/ui/ChannelEditBase.h"

namespace orv {

class CInChannelFreqDlg : public ChannelEditBase {
    Q_OBJECT
public:
    CInChannelFreqDlg(int channelIndex, uint16_t& setting, QWidget* parent = nullptr);
};

}  // namespace orv
