#pragma once
// The 28-byte display line record, the record of ".42i" display list files.
//
// Layout (little-endian): 0 reserved (4), 4 address (2), 6 channel (2), 8 formatLabel (8) + zero,
// 17 paramLabel (8) + zero, 26 two zero bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "display/display_line.h"
#include "files/record_fields.h"
#include "files/record_read.h"

namespace orv {

inline constexpr std::size_t kDisplayLineRecordSize = 28;

// The record's fields (the layout above), in the order orvtool gives them.
inline constexpr FieldDef<DisplayLineRecord> kDisplayLineFields[] = {
    {"label", FieldForm::Text, 17, &DisplayLineRecord::paramLabel},
    {"channel", FieldForm::Dec, 6, &DisplayLineRecord::channel},
    {"address", FieldForm::Oct, 4, &DisplayLineRecord::address},
    {"format", FieldForm::Text, 8, &DisplayLineRecord::formatLabel},
    {"reserved", FieldForm::Hidden, 0, &DisplayLineRecord::reserved},
};

std::array<uint8_t, kDisplayLineRecordSize> EncodeDisplayLine(const DisplayLineRecord& record);
// `record` holds at least kDisplayLineRecordSize bytes.
DisplayLineRecord DecodeDisplayLine(std::span<const uint8_t> record);

// Why a stored display line may not be shown as data, or nullptr when it may: it is damaged only
// when a label holds a control character or its display line does not read back to the same
// fields (a channel wider than two columns, an address wider than three octal columns). A line
// with no label slot (channel outside 1..8, address above 0377) is kept in the list and refused
// when the list is loaded (DisplayLineLoadRefusal).
const char* DisplayLineDefect(const DisplayLineRecord& record);

// The records of a ".42i" file's bytes / of the file: the sound ones in file order, the damaged
// ones left out and counted, the bytes of a trailing partial record, and whether it could be read.
RecordFileRead<DisplayLineRecord> DecodeDisplayLineFile(std::span<const uint8_t> bytes);
RecordFileRead<DisplayLineRecord> ReadDisplayLineFile(const std::string& path);

// The records of a whole file's bytes, in order, damaged ones included; a trailing partial record
// is dropped.
std::vector<DisplayLineRecord> DecodeDisplayLines(std::span<const uint8_t> bytes);
std::vector<uint8_t> EncodeDisplayLines(std::span<const DisplayLineRecord> records);

}  // namespace orv
