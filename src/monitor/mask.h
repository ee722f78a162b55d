#pragma once
// The input parameter mask: a {0, 1, X} pattern over ARINC 429 bits 31..9 of one label on one
// input channel, at most one per channel. While it is set the board reports every arrival of the
// label, and the acquisition thread records the word in the channel's trace ring and counts the
// words that fit the pattern.
//
// Order of a set: CheckSetMask, the mask dialog, StoreMaskPattern, SetMask. The pattern and the
// cleared ring are stored while MaskActive is still 0; SetMask stores MaskLabel before it sets
// MaskActive (release), so the acquisition thread never sees a half-set mask.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "state/acquisition_state.h"
#include "driver/board_link.h"
#include "driver/board_words.h"
#include "state/display_table.h"

namespace orv {

inline constexpr int kMaskBits = 23;  // ARINC bits 31 down to 9

// The dialog's edit ids, left to right (bit 31, bit 30, then bits 29..9).
inline constexpr std::array<int, kMaskBits> kMaskEditIds = {1030, 1031, 1009, 1010, 1011, 1012, 1013, 1014,
                                                             1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022,
                                                             1023, 1024, 1025, 1026, 1027, 1028, 1029};
// ARINC bit number of the k-th edit from the left.
constexpr int MaskEditBit(int k) { return 31 - k; }

// The text an edit keeps after a change: "1", "0", "x" and "X" stay, anything else becomes "x".
std::string MaskEditText(std::string_view text);

struct MaskPattern {
    uint32_t orPattern = 0;   // MaskOrPattern
    uint32_t matchValue = 0;  // MaskMatchValue
    friend bool operator==(const MaskPattern&, const MaskPattern&) = default;
};

// The pattern of 23 characters for bits 31 down to 9 (left to right as the dialog shows them):
// "0" and "1" as such, any other character stands for X. Bits 1..8 are always X and bit 32 is 0.
// Missing characters count as X.
MaskPattern EncodeMask(std::string_view bits31to9);

// Whether a word fits a pattern, as the acquisition thread counts it.
constexpr bool MaskMatches(uint32_t word, const MaskPattern& p) { return (word | p.orPattern) == p.matchValue; }

enum class MaskCheck {
    Allowed,
    AlreadySet,  // the channel has a mask: "Для канала уже установлена маска параметра."
    NoSlot,      // the row is free or names no label slot of the input channels: nothing to do
};
MaskCheck CheckSetMask(const DisplayState& display, const AcquisitionState& acquisition, int row);

// The dialog's "Применить": the pattern of channel index `channelIndex` (0..7) stored, its trace
// ring emptied (index, words and times). Only while the channel has no mask.
void StoreMaskPattern(AcquisitionState& acquisition, int channelIndex, const MaskPattern& pattern);

// The label table word of (channel, label): the slot offset in the receive area, with bit 15 set
// while the board is to report the label.
constexpr uint16_t MaskTableWord(unsigned channel, unsigned label, bool reporting) {
    return uint16_t((reporting ? unsigned(kLabelEvent) : 0u) + (LabelSlotAddress(channel, label) - BoardImage::ReceiveArea));
}
constexpr uint16_t MaskTableAddress(unsigned channel, unsigned label) {
    return uint16_t(LabelTableAddress(channel, label));
}

// Sets the mask of row `row` on the board and in the tables: the label table word written with
// one write request, then the row's maskMode, MaskLabel and MaskActive. False (nothing done) when
// CheckSetMask does not allow it.
bool SetMask(DisplayState& display, AcquisitionState& acquisition, BoardLink& link, int row);

// Resets the mask of row `row`: maskMode 0, the label table word written back without bit 15,
// MaskActive and MaskMatchCount of the channel 0. False (nothing done) for a row that carries no
// mask or names no label slot.
bool ResetMask(DisplayState& display, AcquisitionState& acquisition, BoardLink& link, int row);

}  // namespace orv
