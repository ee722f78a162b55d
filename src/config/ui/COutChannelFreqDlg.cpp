#include "config/ui/COutChannelFreqDlg.h"

#include "resources/board_strings.h"

namespace orv {

namespace {
const ChannelEditLayout kOutputLayout{
    text::kOutputChannelNumber,
    text::kRateGroup,
    {1002, 1003, 1041},
    {text::kOutputRate0, text::kOutputRate1, text::kOutputRate2},
    text::kParityFillGroup,
    {1004, 1005},
    {text::kParityOdd, text::kParityEven}};
}  // namespace

COutChannelFreqDlg::COutChannelFreqDlg(int channelIndex, uint16_t& setting, QWidget* parent)
    : ChannelEditBase(kOutputLayout, channelIndex, setting, parent) {}

}  // namespace orv
