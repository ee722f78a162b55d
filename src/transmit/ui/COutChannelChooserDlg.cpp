#include "transmit/ui/COutChannelChooserDlg.h"

#include "resources/transmit_strings.h"

namespace orv {

COutChannelChooserDlg::COutChannelChooserDlg(uint16_t outputCount, QWidget* parent)
    : ChannelChooserDlg(QString::fromUtf8(text::kOutChooserTitle), QString::fromUtf8(text::kOutChooserHint),
                        outputCount, parent) {}

}  // namespace orv
