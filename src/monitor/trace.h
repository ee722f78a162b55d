#pragma once
// The parameter trace: the words of a masked label recorded in its channel's ring by the
// acquisition thread, listed oldest first with the interval since the word before.

#include <cstdint>
#include <string>
#include <vector>

#include "arinc/word.h"
#include "config/decimal_format.h"
#include "state/acquisition_state.h"

namespace orv {

inline constexpr std::size_t kTraceLineWidth = 69;

// The caption "Метка: %8s       № канала: %d" (Windows-1251).
std::string TraceCaption(const Label8& paramLabel, uint16_t channel);

// The slots of channel index `channelIndex` in listing order: from the next slot to write round
// to the one before it when the ring has wrapped, else from slot 0 to the last one written. A
// slot counts as written when its word or its time is not 0 (a zero word is a word like any
// other; StoreMaskPattern clears both).
std::vector<int> TraceSlots(const AcquisitionState& acquisition, int channelIndex);

// One line: "%03d   0x%08x   %012o   %02s " with slot, word, word and M, the first 21 columns of
// the word's DECIMAL, then " %10d" with the interval.
std::string TraceLine(int slot, ArincWord word, const DecimalFormat& format, int32_t intervalMs);

// The listed lines, a snapshot of the ring taken now. Intervals are differences of consecutive
// tick times as signed 32-bit numbers, 0 for the first line.
std::vector<std::string> TraceLines(const AcquisitionState& acquisition, int channelIndex, const DecimalFormat& format);

}  // namespace orv
