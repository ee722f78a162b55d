#pragma once
// The 28-byte display line record, the record of ".42i" display list files.
//
// Layout (little-endian): 0 reserved (4), 4 address (2), 6 channel (2), 8 formatLabel (8) + zero,
// 17 paramLabel (8) + zero, 26 two zero bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "arinc/word.h"

namespace orv {

inline constexpr std::size_t kDisplayLineRecordSize = 28;

std::array<uint8_t, kDisplayLineRecordSize> EncodeDisplayLine(const DisplayLineRecord& record);
// `record` holds at least kDisplayLineRecordSize bytes.
DisplayLineRecord DecodeDisplayLine(std::span<const uint8_t> record);

// The records of a whole file's bytes, in order; a trailing partial record is dropped.
std::vector<DisplayLineRecord> DecodeDisplayLines(std::span<const uint8_t> bytes);
std::vector<uint8_t> EncodeDisplayLines(std::span<const DisplayLineRecord> records);

}  // namespace orv
