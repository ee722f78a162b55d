#pragma once
// Common part of the two channel editors: a read-only channel number, a rate radio group of three
// buttons and a parity radio group of two; "Применить" stores the rate index + 4 x the parity
// index into the channel's setting word.

#include <QDialog>
#include <array>
#include <cstdint>

class QButtonGroup;
class QLineEdit;

namespace orv {

struct ChannelEditLayout {
    const char* numberLabel;
    const char* rateGroup;
    std::array<int, 3> rateIds;
    std::array<const char*, 3> rateTexts;
    const char* parityGroup;
    std::array<int, 2> parityIds;
    std::array<const char*, 2> parityTexts;
};

class ChannelEditBase : public QDialog {
    Q_OBJECT
public:
    // Edits `setting`, the word of channel index `channelIndex` (0..7).
    ChannelEditBase(const ChannelEditLayout& layout, int channelIndex, uint16_t& setting,
                    QWidget* parent);

    uint8_t ChannelIndex() const { return channelIndex_; }
    const QString& ChannelNumberText() const { return channelNumber_; }
    // Checked radio of each group, -1 while none is.
    int RateIndex() const;
    int ParityIndex() const;

private:
    void OnApply();

    uint8_t channelIndex_;
    QString channelNumber_;
    uint16_t& setting_;
    QButtonGroup* rate_;
    QButtonGroup* parity_;
};

}  // namespace orv
