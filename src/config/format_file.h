#pragma once
// The decimal format table: the 28-byte format record and the file "Orvfrmt.stt" in the current
// directory that holds the whole table, in the order of the table dialog's list.
//
// Record layout (little-endian): 0 reserved (4), 4 msbWeight (float), 8 msbBit (2), 10 lsbBit (2),
// 12 bit29Role (1), 13 units (4) + zero, 18 label (8) + zero, 27 zero.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "arinc/word.h"

namespace orv {

inline constexpr std::size_t kFormatRecordSize = 28;
inline constexpr const char* kFormatFileName = "Orvfrmt.stt";

std::array<uint8_t, kFormatRecordSize> EncodeFormat(const DecimalFormat& format);
// `record` holds at least kFormatRecordSize bytes.
DecimalFormat DecodeFormat(std::span<const uint8_t> record);

// Every format of the file, in file order; empty when the file cannot be read.
std::vector<DecimalFormat> LoadFormats(const std::string& path = kFormatFileName);

// The first format of the file whose label equals `label`, trailing blanks removed on both sides
// and letter case significant; nullopt when there is none.
std::optional<DecimalFormat> FindFormat(std::string_view label, const std::string& path = kFormatFileName);

// Replaces the file with the formats in the given order. False when it could not be written (the
// old file is then left as it was).
bool SaveFormats(std::span<const DecimalFormat> formats, const std::string& path = kFormatFileName);

}  // namespace orv
