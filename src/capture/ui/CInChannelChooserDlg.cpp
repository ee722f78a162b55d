#include "capture/ui/CInChannelChooserDlg.h"

#include "resources/reception_strings.h"

namespace orv {

CInChannelChooserDlg::CInChannelChooserDlg(uint16_t inputCount, QWidget* parent)
    : ChannelChooserDlg(QString::fromUtf8(text::kInChooserTitle), QString::fromUtf8(text::kInChooserHint),
                        inputCount, parent) {}

}  // namespace orv
