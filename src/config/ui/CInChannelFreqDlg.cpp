#include "config/ui/CInChannelFreqDlg.h"

#include "resources/board_strings.h"

namespace orv {

namespace {
const ChannelEditLayout kInputLayout{
    text::kInputChannelNumber,
    text::kRateGroup,
    {1002, 1003, 1004},
    {text::kInputRate0, text::kInputRate1, text::kInputRate2},
    text::kParityCheckGroup,
    {1005, 1024},
    {text::kParityCheckOn, text::kParityCheckOff}};
}  // namespace

CInChannelFreqDlg::CInChannelFreqDlg(int channelIndex, uint16_t& setting, QWidget* parent)
    : ChannelEditBase(kInputLayout, channelIndex, setting, parent) {}

}  // namespace orv
