#pragma once
// Where the board keeps each channel's words, and what the bits of those words mean: the one
// description that the program and the virtual board both read, so that no layer above the driver
// works out an address or a bit from raw numbers.
//
// Channels are numbered from 1; a channel code is 0..7 for inputs 1..8 and 8..15 for outputs 1..8
// (InputChannelCode, OutputChannelCode in board_image.h).

#include <cstdint>

#include "driver/board_image.h"

namespace orv {

// Words per channel in the per-channel regions.
inline constexpr uint32_t kTableWordsPerChannel = 256;  // InputLabelTable, OutputSlotTable
inline constexpr uint32_t kBlockWordsPerChannel = 512;  // ReceiveArea

// The channel setting word of channel code `code` (ChannelSettingWords).
constexpr uint32_t ChannelSettingAddress(unsigned code) { return BoardImage::ChannelSettingWords + code; }
// The mode word of channel code `code` (ChannelControlWords).
constexpr uint32_t ChannelModeAddress(unsigned code) { return BoardImage::ChannelControlWords + code; }
// The InputLabelTable word of `label` on input channel `channel`.
constexpr uint32_t LabelTableAddress(unsigned channel, unsigned label) {
    return BoardImage::InputLabelTable + kTableWordsPerChannel * (channel - 1) + label;
}
// The OutputSlotTable word of slot `slot` of output channel `channel`.
constexpr uint32_t SlotTableAddress(unsigned channel, unsigned slot) {
    return BoardImage::OutputSlotTable + kTableWordsPerChannel * (channel - 1) + slot;
}
// The first word of input channel `channel`'s block of ReceiveArea (its label slots, or its stream).
constexpr uint32_t ReceiveBlockAddress(unsigned channel) {
    return BoardImage::ReceiveArea + kBlockWordsPerChannel * (channel - 1);
}

// Where output channel `channel`'s frame lies in OutputFrameArea: the program writes it there, and
// a board reports the same places in OutputFrameOffsets at its start. Two words a slot.
inline constexpr uint32_t kFrameWordsPerChannel = 512;
constexpr uint16_t FrameOffset(unsigned channel) { return uint16_t(kFrameWordsPerChannel * (channel - 1)); }
constexpr uint32_t FrameSlotAddress(unsigned channel, unsigned slot) {
    return BoardImage::OutputFrameArea + FrameOffset(channel) + 2 * slot;
}

// True when the two words from `address` are one 32-bit slot of ReceiveArea: an even address
// inside the area.
constexpr bool IsReceiveSlotAddress(uint32_t address) {
    return address >= BoardImage::ReceiveArea && address + 1 < BoardImage::ReceiveArea + BoardImage::ReceiveAreaWords &&
           (address & 1) == 0;
}
// True when the two words from `address` are one 32-bit slot of OutputFrameArea.
constexpr bool IsFrameSlotAddress(uint32_t address) {
    return address >= BoardImage::OutputFrameArea &&
           address + 1 < BoardImage::OutputFrameArea + BoardImage::OutputFrameAreaWords && (address & 1) == 0;
}
// The input channel and the label of a slot of ReceiveArea (IsReceiveSlotAddress): the inverse of
// LabelSlotAddress.
constexpr unsigned ReceiveSlotChannel(uint32_t address) {
    return (address - BoardImage::ReceiveArea) / kBlockWordsPerChannel + 1;
}
constexpr unsigned ReceiveSlotLabel(uint32_t address) {
    return ((address - BoardImage::ReceiveArea) % kBlockWordsPerChannel) / 2;
}

// A channel setting word: the rate code in bits 0-1 and the parity choice in bit 2 (input: 0 parity
// check on, 1 off; output: 0 complete to odd parity, 1 to even). The board takes bits 0-2 only.
struct ChannelSetting {
    static constexpr uint16_t kRateBits = 0x0003;
    static constexpr uint16_t kParityBit = 0x0004;
    static constexpr uint16_t kBoardBits = kRateBits | kParityBit;

    static constexpr unsigned RateCode(uint16_t setting) { return setting & kRateBits; }
    // Input: true when the parity check is off. Output: true for even parity.
    static constexpr bool ParityChoice(uint16_t setting) { return (setting & kParityBit) != 0; }
    static constexpr uint16_t BoardWord(uint16_t setting) { return uint16_t(setting & kBoardBits); }
};

// Bits of a channel mode word (ChannelControlWords) that a board looks at.
enum ChannelModeBits : uint16_t {
    kInputEnable = 0x0100,     // input start: receiver on
    kInputFileMode = 0x8000,   // input start: stream into the block instead of label slots
    kOutputEnable = 0x8000,    // output start: transmitter on
    kOutputOneShot = 0x0200,   // output start: send the frame once
};

// Bits of an InputLabelTable word.
enum LabelControlBits : uint16_t {
    kLabelEvent = 0x8000,       // raise the channel's event bit on each arrival
    kLabelStopCapture = 0x0001, // stream capture stops after this label's first word
};

// Bits of an OutputSlotTable word marking the last slot of a frame.
inline constexpr uint16_t kLastSlotMark = 0x8001;

}  // namespace orv
